// What saving makes of the edited text: the entries, by position in a text
// without markers, anchored to their markers in one with them.
#include "LocaleMerge.h"

#include <algorithm>

namespace LocaleMerge {

namespace {

bool IsBlank(unsigned char byte)
{
	return byte <= 0x20;
}

// One line of the text: where it starts and its bytes from the first
// non-blank one up to (not including) its line feed; empty for a blank line.
struct TextLine
{
	size_t start;
	std::string_view content;
};

template <typename Visit> void ForEachLine(std::string_view text, Visit visit)
{
	size_t start = 0;
	while (start < text.size()) {
		const size_t feed = text.find('\n', start);
		const size_t end = feed == std::string_view::npos ? text.size() : feed;
		size_t first = start;
		while (first < end && IsBlank((unsigned char)text[first]))
			first++;
		visit(TextLine{start, text.substr(first, end - first)});
		start = feed == std::string_view::npos ? text.size() : feed + 1;
	}
}

// A translation line that claims an entry.
struct Claim
{
	long entry;
	size_t line;    // where the line starts
	size_t marker;  // where the marker of the entry's block starts
	bool hasMarker; // false for lines above the first marker
	std::string_view content;
};

} // namespace

long MarkerOf(std::string_view content)
{
	if (content.substr(0, kEntryMarkerStartLength) != kEntryMarkerStart)
		return 0;
	size_t at = kEntryMarkerStartLength;
	long value = 0;
	while (at < content.size() && content[at] >= '0' && content[at] <= '9') {
		value = value * 10 + (content[at] - '0');
		if (value > kMaxMarkedEntry)
			return 0;
		at++;
	}
	if (at == kEntryMarkerStartLength || content[kEntryMarkerStartLength] == '0' ||
	    at >= content.size() || content[at] != ':')
		return 0;
	return value;
}

std::vector<std::string> CollectEntries(std::string_view text)
{
	std::vector<std::string> entries;
	ForEachLine(text, [&](const TextLine& line) {
		if (!line.content.empty() && line.content[0] != ';')
			entries.emplace_back(line.content);
	});
	return entries;
}

bool EntriesForSaving(std::string_view text, std::vector<std::string>* entries,
                      DoubledEntry* doubled)
{
	entries->clear();
	// Every translation line with the entry it claims. Lines under the last
	// marker go on counting from its number, so the last block's lines are
	// numbered once the text is through.
	std::vector<Claim> claims;
	long marker = 0;
	size_t markerStart = 0;
	size_t lastBlock = 0; // the first claim of the last marker's block
	long aboveFirst = 0;
	bool anyMarker = false;
	ForEachLine(text, [&](const TextLine& line) {
		if (line.content.empty())
			return;
		if (line.content[0] == ';') {
			const long found = MarkerOf(line.content);
			if (found > 0) {
				marker = found;
				markerStart = line.start;
				lastBlock = claims.size();
				anyMarker = true;
			}
			return;
		}
		if (!anyMarker)
			claims.push_back({++aboveFirst, line.start, 0, false, line.content});
		else
			claims.push_back({marker, line.start, markerStart, true, line.content});
	});
	if (!anyMarker) {
		for (const Claim& claim : claims)
			entries->emplace_back(claim.content);
		return true;
	}
	for (size_t i = lastBlock; i < claims.size(); i++)
		claims[i].entry += (long)(i - lastBlock);

	// Two claims on one entry refuse the save; the one met first in the text
	// is named, at its marker (or its first line, without one).
	std::vector<size_t> order(claims.size());
	for (size_t i = 0; i < order.size(); i++)
		order[i] = i;
	std::stable_sort(order.begin(), order.end(),
	                 [&](size_t a, size_t b) { return claims[a].entry < claims[b].entry; });
	bool refused = false;
	for (size_t i = 0; i < order.size();) {
		size_t j = i + 1;
		while (j < order.size() && claims[order[j]].entry == claims[order[i]].entry)
			j++;
		if (j - i > 1) {
			// At the entry's marker; at its first line when none of its
			// lines stands under one (lines above the first marker).
			size_t at = claims[order[i]].line;
			bool atMarker = false;
			for (size_t k = i; k < j; k++) {
				const Claim& claim = claims[order[k]];
				if (claim.hasMarker && (!atMarker || claim.marker < at)) {
					at = claim.marker;
					atMarker = true;
				}
			}
			if (!refused || at < doubled->offset) {
				doubled->entry = claims[order[i]].entry;
				doubled->lines = (long)(j - i);
				doubled->offset = at;
			}
			refused = true;
		}
		i = j;
	}
	if (refused)
		return false;

	// Entries up to the last that holds a translation; those between that
	// no line claims stay empty, so the library shows their default.
	long count = 0;
	for (const Claim& claim : claims)
		count = std::max(count, claim.entry);
	entries->assign((size_t)count, std::string());
	for (const Claim& claim : claims)
		(*entries)[(size_t)claim.entry - 1] = std::string(claim.content);
	return true;
}

} // namespace LocaleMerge
