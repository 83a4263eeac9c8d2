// What saving makes of the edited text: the entries, by position in a text
// without markers, anchored to their markers in one with them.
#include "LocaleMerge.h"

#include <algorithm>

namespace LocaleMerge {

namespace {

template <typename Visit> void ForEachLine(std::string_view text, Visit visit)
{
	for (size_t at = 0; at < text.size();) {
		const TextLine line = LineFrom(text, at);
		visit(line);
		at = line.next;
	}
}

// A translation line that claims an entry.
struct Claim
{
	long entry;
	size_t line;    // where the line starts
	size_t marker;  // where the marker of the entry's block starts
	bool hasMarker; // false for lines above the first marker
	bool countsOn;  // a second or later line under the last marker
	std::string_view content;
};

} // namespace

std::vector<std::string> CollectEntries(std::string_view text)
{
	std::vector<std::string> entries;
	ForEachLine(text, [&](const TextLine& line) {
		if (line.IsTranslation())
			entries.push_back(EntryOfLine(line.content));
	});
	return entries;
}

bool EntriesForSaving(std::string_view text, std::vector<std::string>* entries,
                      SaveRefusal* refusal)
{
	entries->clear();
	// Every translation line with the entry it claims. Lines under the last
	// marker go on counting from its number, so the last block's lines are
	// numbered once the text is through.
	std::vector<Claim> claims;
	long marker = 0;
	long highestMarker = 0;
	size_t markerStart = 0;
	size_t lastBlock = 0; // the first claim of the last marker's block
	long aboveFirst = 0;
	bool anyMarker = false;
	// A comment that looks like a marker and is none, until the next marker.
	TextLine falseMarker;
	bool underFalseMarker = false;
	bool refusedFalse = false;
	bool underMarker = false; // the line before was a marker
	ForEachLine(text, [&](const TextLine& line) {
		const bool referenceLine = underMarker;
		underMarker = false;
		if (line.content.empty())
			return;
		if (line.IsComment()) {
			const long found = MarkerOf(line.content);
			if (found > 0) {
				underMarker = true;
				marker = found;
				highestMarker = std::max(highestMarker, found);
				markerStart = line.start;
				lastBlock = claims.size();
				anyMarker = true;
				underFalseMarker = false;
			} else if (!referenceLine && !underFalseMarker && LooksLikeMarker(line.content)) {
				falseMarker = line;
				underFalseMarker = true;
			}
			return;
		}
		if (underFalseMarker && !refusedFalse) {
			refusedFalse = true;
			refusal->kind = SaveRefusal::kFalseMarker;
			refusal->entry = 0;
			refusal->lines = 1;
			refusal->offset = falseMarker.start;
			refusal->line = falseMarker.content;
		}
		if (!anyMarker)
			claims.push_back({++aboveFirst, line.start, 0, false, false, line.content});
		else
			claims.push_back({marker, line.start, markerStart, true, false, line.content});
	});
	if (!anyMarker) {
		// Without markers a marker-like comment changes no number.
		for (const Claim& claim : claims)
			entries->push_back(EntryOfLine(claim.content));
		return true;
	}
	for (size_t i = lastBlock; i < claims.size(); i++) {
		claims[i].entry += (long)(i - lastBlock);
		claims[i].countsOn = i > lastBlock;
	}
	if (refusedFalse) {
		// The entry the false marker's first line would have gone to.
		for (const Claim& claim : claims) {
			if (claim.line > refusal->offset) {
				refusal->entry = claim.entry;
				break;
			}
		}
		return false;
	}

	// Two claims on one entry refuse the save; the one met first in the text
	// is named, at its marker (or its first line, without one). Where a line
	// that counts on under the last marker takes a number another block
	// holds, the last block is the one with too many lines.
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
			long entry = claims[order[i]].entry;
			long lines = (long)(j - i);
			size_t at = claims[order[i]].line;
			bool atMarker = false;
			for (size_t k = i; k < j; k++) {
				const Claim& claim = claims[order[k]];
				if (claim.countsOn) {
					entry = claims[lastBlock].entry;
					lines = (long)(claims.size() - lastBlock);
					at = claim.marker;
					atMarker = true;
					break;
				}
				if (claim.hasMarker && (!atMarker || claim.marker < at)) {
					at = claim.marker;
					atMarker = true;
				}
			}
			if (!refused || at < refusal->offset) {
				refusal->kind = SaveRefusal::kDoubledEntry;
				refusal->entry = entry;
				refusal->lines = lines;
				refusal->offset = at;
				refusal->line = {};
			}
			refused = true;
		}
		i = j;
	}
	if (refused)
		return false;

	// Entries up to the highest marker or claim; those between that no line
	// claims stay empty, so the library shows their default.
	long count = highestMarker;
	for (const Claim& claim : claims)
		count = std::max(count, claim.entry);
	entries->assign((size_t)count, std::string());
	for (const Claim& claim : claims)
		(*entries)[(size_t)claim.entry - 1] = EntryOfLine(claim.content);
	return true;
}

} // namespace LocaleMerge
