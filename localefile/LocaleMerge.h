// The edited locale text and the entries of a locale file, without any
// view: lines are paragraphs (stretches ended by a line feed, or the rest
// after the last one), however a view wraps them. Blank bytes are 0x00 to
// 0x20; a line whose first non-blank byte is ';' is a comment.
#ifndef LOCALE_MERGE_H
#define LOCALE_MERGE_H

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace LocaleMerge {

// The highest entry a marker may name; a larger number is no marker but a
// comment, so that a typing slip cannot make a save of millions of empty
// entries.
inline constexpr long kMaxMarkedEntry = 1000000;

// Saving by position: each translation line in text order, from its first
// non-blank byte up to (not including) its line feed; trailing bytes stay.
// Blank and comment lines give no entry. Linear in the text.
std::vector<std::string> CollectEntries(std::string_view text);

// An entry that more than one translation line claims.
struct DoubledEntry
{
	long entry = 0;    // from 1
	long lines = 0;    // how many lines claim it
	size_t offset = 0; // where its marker's line starts (its first line's, without one)
};

// What saving stores. A text without markers saves by position, as
// CollectEntries. In a text with markers (comment lines that begin with
// "; #ID<n>:", n from 1 to kMaxMarkedEntry) the entry for marker n is the
// translation line between it and the next marker; a marker without one
// and a number no marker names save an empty entry (the library then shows
// the default text). Lines under the last marker go on counting from its
// number, lines above the first one count from entry 1. Empty entries at
// the end are left out. When two lines claim one entry nothing is stored:
// false, with the claim met first in the text in doubled. Linear in the
// text, up to sorting the claims.
bool EntriesForSaving(std::string_view text, std::vector<std::string>* entries,
                      DoubledEntry* doubled);

// What loading makes of the text: entry k (from 1) goes on the line two
// below the first occurrence of the marker "; #ID<k>:" anywhere in the
// current text (the line under the reference line), replacing a
// translation that starts in the first column there, else inserted above
// what stands there; an entry without a marker goes two lines below the
// line of the previous one (or at the end), as the load has always stepped.
// An entry placed by its marker also replaces a blank line there: that is
// the empty line the reference leaves for the translation. An empty entry
// goes in as an empty line. When an entry goes at the
// end of a text whose last line has no line feed, a line feed is added
// first, so that the entry begins a line of its own.
// Time linear in the text and the entries when the markers come in entry
// order (as in every text the editor writes), else up to a logarithmic
// factor in the number of lines, where a literal replay costs one search of
// the whole text per entry.
std::string MergeEntries(std::string_view text, const std::vector<std::string>& entries);
// The same with entries that stay where they are (in a message read from a
// file, say) instead of copies.
std::string MergeEntries(std::string_view text, std::span<const std::string_view> entries);

namespace Detail {

// The two ways MergeEntries takes, for tests. In order: one pass, which
// gives up (false) as soon as an entry would go above lines it has passed;
// in the tree: any text, with a sequence of lines in a balanced tree.
bool MergeEntriesInOrder(std::string_view text, std::span<const std::string_view> entries,
                         std::string* merged);
std::string MergeEntriesInTree(std::string_view text, std::span<const std::string_view> entries);
bool MergeEntriesInOrder(std::string_view text, const std::vector<std::string>& entries,
                         std::string* merged);
std::string MergeEntriesInTree(std::string_view text, const std::vector<std::string>& entries);

} // namespace Detail

// "; #ID<entry>:"
std::string EntryMarker(long entry);
// The entry number of a line (from its first non-blank byte) that begins
// with a marker, else 0.
long MarkerOf(std::string_view content);
// What every marker begins with.
inline constexpr char kEntryMarkerStart[] = "; #ID";
inline constexpr size_t kEntryMarkerStartLength = sizeof(kEntryMarkerStart) - 1;

} // namespace LocaleMerge

#endif // LOCALE_MERGE_H
