// Loading entries into the edited text, by their markers.
#include "LocaleMerge.h"

#include <algorithm>
#include <cstring>

#include "EntryBlocks.h"
#include "TextEscapes.h"

namespace LocaleMerge {

namespace {

bool IsBlank(unsigned char byte)
{
	return byte <= 0x20;
}

// The bytes a line cannot begin with as they are: blank bytes, which the
// line drops, ';', which makes it a comment, and the backslash, which would
// otherwise start one of these escapes.
bool NeedsEscapeAtStart(unsigned char byte)
{
	return IsBlank(byte) || byte == ';' || byte == '\\';
}

// The byte of an escape "\xNN" at text[at] that stands for such a byte, or -1.
int StartEscapeAt(std::string_view text, size_t at)
{
	if (at + 4 > text.size())
		return -1;
	if (text[at] != '\\' || text[at + 1] != 'x')
		return -1;
	const int high = HexDigitValue(text[at + 2]);
	const int low = HexDigitValue(text[at + 3]);
	if (high < 0 || low < 0)
		return -1;
	const int byte = high << 4 | low;
	return NeedsEscapeAtStart((unsigned char)byte) ? byte : -1;
}

// "; #ID<entry>:" and the line under it, each with its line feed.
std::string BlockOf(long entry, std::string_view line)
{
	std::string block = EntryMarker(entry);
	block += '\n';
	block += line;
	block += '\n';
	return block;
}

// The text with every entry in its block; the text has markers.
std::string MergeIntoBlocks(std::string_view text, std::span<const std::string_view> entries)
{
	std::vector<EntryBlocks::Splice> splices;
	splices.reserve(entries.size());
	EntryBlocks::ForEachNumber(
	    text, (long)entries.size(),
	    [&](long entry, const EntryBlocks::Block* block, size_t newBlockAt) {
		    std::string line = LineForEntry(entries[(size_t)entry - 1]);
		    if (block == nullptr) {
			    splices.push_back({newBlockAt, newBlockAt, BlockOf(entry, line), true, entry});
		    } else if (block->translationLine < text.size()) {
			    // The line's bytes up to its line feed give way to the entry.
			    splices.push_back({block->translationLine,
			                       EntryBlocks::LineEnd(text, block->translationLine),
			                       std::move(line), false, 0});
		    } else {
			    const size_t at =
			        block->translationLine == text.size() ? text.size() : block->afterReference;
			    line += '\n';
			    splices.push_back({at, at, std::move(line), true, 0});
		    }
	    });
	return EntryBlocks::ApplySplices(text, std::move(splices));
}

} // namespace

TextLine LineFrom(std::string_view text, size_t start)
{
	const void* feed = memchr(text.data() + start, '\n', text.size() - start);
	const size_t end = feed != nullptr ? (size_t)((const char*)feed - text.data()) : text.size();
	size_t first = start;
	while (first < end && IsBlank((unsigned char)text[first]))
		first++;
	return TextLine{start, feed != nullptr ? end + 1 : end, text.substr(first, end - first)};
}

bool AnchorClaims(std::string_view text, std::string* anchored)
{
	size_t lastMarker = std::string_view::npos;
	long lastNumber = 0;
	for (size_t at = 0; at < text.size();) {
		const TextLine line = LineFrom(text, at);
		if (line.IsComment()) {
			if (const long number = MarkerOf(line.content); number > 0) {
				lastMarker = line.start;
				lastNumber = number;
			}
		}
		at = line.next;
	}
	long next = 1;          // the number of the next line to anchor
	bool anchoring = true;  // above the first marker, or under the last one
	bool firstUnder = true; // the last block's first line keeps its marker's number
	bool changed = false;
	size_t copied = 0;
	for (size_t at = 0; at < text.size();) {
		const TextLine line = LineFrom(text, at);
		if (line.IsComment() && MarkerOf(line.content) > 0) {
			anchoring = line.start == lastMarker;
			next = lastNumber + 1;
		} else if (line.IsTranslation() && anchoring) {
			if (lastMarker != std::string_view::npos && line.start > lastMarker && firstUnder) {
				firstUnder = false;
			} else if (next <= kMaxMarkedEntry) {
				if (!changed)
					anchored->reserve(text.size() + text.size() / 4);
				anchored->append(text.substr(copied, line.start - copied));
				*anchored += EntryMarker(next++);
				*anchored += '\n';
				copied = line.start;
				changed = true;
			}
		}
		at = line.next;
	}
	if (changed)
		anchored->append(text.substr(copied));
	return changed;
}

std::string EntryMarker(long entry)
{
	return kEntryMarkerStart + std::to_string(entry) + ":";
}

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

bool LooksLikeMarker(std::string_view content)
{
	if (content.empty() || content[0] != ';')
		return false;
	size_t at = 1;
	while (at < content.size() && IsBlank((unsigned char)content[at]))
		at++;
	const std::string_view rest = content.substr(at, 4);
	if (rest.size() < 4 || rest[0] != '#' || (rest[1] != 'i' && rest[1] != 'I') ||
	    (rest[2] != 'd' && rest[2] != 'D'))
		return false;
	// A number or a sign follows, as in a marker; "#identifier" is a word.
	const char next = rest[3];
	return (next >= '0' && next <= '9') || next == '-' || next == '+' ? MarkerOf(content) == 0
	                                                                  : false;
}

bool HasMarkers(std::string_view text)
{
	for (size_t at = text.find(kEntryMarkerStart); at != std::string_view::npos;
	     at = text.find(kEntryMarkerStart, at + 1)) {
		size_t start = at;
		while (start > 0 && text[start - 1] != '\n')
			start--;
		const TextLine line = LineFrom(text, start);
		if (line.content.data() == text.data() + at && MarkerOf(line.content) > 0)
			return true;
	}
	return false;
}

std::string LineForEntry(std::string_view entry)
{
	std::string line;
	size_t at = 0;
	for (; at < entry.size(); at++) {
		const unsigned char byte = (unsigned char)entry[at];
		if (IsBlank(byte) || (at == 0 && byte == ';')) {
			AppendByteEscape(byte, &line);
		} else if (StartEscapeAt(entry, at) >= 0) {
			// Only the backslash: what follows is no escape any more.
			AppendByteEscape('\\', &line);
			at++;
			break;
		} else {
			break;
		}
	}
	if (at == 0)
		return std::string(entry);
	line.append(entry.substr(at));
	return line;
}

std::string_view EntryOfLine(std::string_view content, std::string* storage)
{
	const bool carriageReturn = !content.empty() && content.back() == '\r';
	if (carriageReturn)
		content.remove_suffix(1);
	if (content.empty() || content[0] != '\\' || StartEscapeAt(content, 0) < 0)
		return content;
	storage->clear();
	size_t at = 0;
	for (int byte; (byte = StartEscapeAt(content, at)) >= 0; at += 4)
		*storage += (char)byte;
	storage->append(content.substr(at));
	return *storage;
}

std::string EntryOfLine(std::string_view content)
{
	std::string storage;
	const std::string_view entry = EntryOfLine(content, &storage);
	return entry.data() == storage.data() ? storage : std::string(entry);
}

std::string MergeEntries(std::string_view text, const std::vector<std::string>& entries)
{
	const std::vector<std::string_view> views(entries.begin(), entries.end());
	return MergeEntries(text, views);
}

std::string MergeEntries(std::string_view text, std::span<const std::string_view> entries)
{
	if (entries.empty())
		return std::string(text);
	std::string anchored;
	if (AnchorClaims(text, &anchored))
		return MergeIntoBlocks(anchored, entries);
	return MergeIntoBlocks(text, entries);
}

} // namespace LocaleMerge
