#ifndef EDITED_TEXT_H
#define EDITED_TEXT_H

#include <string>
#include <string_view>
#include <vector>

// The layout of the edited locale text, independent of any view: lines are
// stretches ended by a line feed (or the rest after the last one), however a
// view wraps them.
namespace EditedText {

// The translation lines in text order, each from its first non-blank byte
// (blank: 0x00 to 0x20) up to its line feed. Blank lines and lines whose
// first non-blank byte is ';' give no entry.
std::vector<std::string> CollectEntries(std::string_view text);

// Puts entry k (from 1) on the line under the reference line that follows
// the marker "; #ID<k>:", replacing a translation that starts in the first
// column there; entries without a marker follow the previous one. Stops at
// the first empty entry. Every entry begins a line of its own.
std::string MergeEntries(std::string_view text, const std::vector<std::string>& entries);

// The smallest single replacement that turns before into after: the bytes
// [from, to) of before are replaced by replacement.
struct Replacement
{
	size_t from;
	size_t to;
	std::string replacement;
};
Replacement SmallestReplacement(std::string_view before, std::string_view after);

} // namespace EditedText

#endif // EDITED_TEXT_H
