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

// One line of the text: where it starts, where the next one starts (or the
// text's length), and its bytes from the first non-blank one up to (not
// including) its line feed; empty for a blank line.
struct TextLine
{
	size_t start = 0;
	size_t next = 0;
	std::string_view content;

	bool IsComment() const { return !content.empty() && content[0] == ';'; }
	bool IsTranslation() const { return !content.empty() && content[0] != ';'; }
};
TextLine LineFrom(std::string_view text, size_t start);

// Saving by position: each translation line in text order, as EntryOfLine
// reads it. Blank and comment lines give no entry. Linear in the text.
std::vector<std::string> CollectEntries(std::string_view text);

// Why a text cannot be saved.
struct SaveRefusal
{
	enum Kind {
		kDoubledEntry, // more than one translation line claims entry
		kFalseMarker   // a comment that looks like a marker governs a translation line
	};
	Kind kind = kDoubledEntry;
	long entry = 0;        // from 1; with kFalseMarker, the entry its lines would go to
	long lines = 0;        // how many lines claim entry
	size_t offset = 0;     // where the line to show starts: the entry's marker (its
	                       // first line, without one), or the false marker
	std::string_view line; // with kFalseMarker: that comment line's content, in the text
};
// What saving stores. A text without markers saves by position, as
// CollectEntries. In a text with markers (comment lines that begin with
// "; #ID<n>:", n from 1 to kMaxMarkedEntry) the entry for marker n is the
// translation line between it and the next marker; a marker without one
// and a number no marker names save an empty entry (the library then shows
// the default text). Lines under the last marker go on counting from its
// number, lines above the first one count from entry 1. The entries run up
// to the highest marker or claimed number, so empty entries at the end keep
// their place. The save is refused (false, and why in refusal, for the
// problem met first in the text) when two lines claim one entry, or when a
// comment that looks like a marker but is none ("; #ID02:", "; #id2:",
// "; #ID-1:", a number too large, no colon) has a translation line under
// it: its lines would otherwise go to another entry without a word. The
// line right under a marker is its reference, whatever it says.
// Linear in the text, up to sorting the claims.
bool EntriesForSaving(std::string_view text, std::vector<std::string>* entries,
                      SaveRefusal* refusal);

// Gives a marker to every translation line that claims an entry without
// one of its own (see EntriesForSaving): in a text without markers every
// line, by position; otherwise the lines above the first marker, and the
// second and later lines under the last one, which count on from its
// number. What a save stores stays the same; whoever places entries or
// references then only has blocks to go by. False, and anchored untouched,
// when there is nothing to give.
bool AnchorClaims(std::string_view text, std::string* anchored);

// Whether any line of the text is an entry marker.
bool HasMarkers(std::string_view text);

// What loading makes of the text: every entry stands in the block of its
// marker, so that saving gives it back at its number whatever the text held.
// Entry k replaces the translation line of the first block "; #ID<k>:"
// (its first translation line, else the first blank line after the
// reference, else a line made under the reference or the marker); an empty
// entry leaves an empty line there. An entry without a block gets a new one,
// "; #ID<k>:" and the entry's line, right after the block with the highest
// lower number (ahead of every block when there is none), so that blocks
// stay in number order. Lines that claim an entry without a marker of their
// own (every translation line of a text without markers, lines above the
// first marker, the second and later lines under the last one) get the
// marker of the number a save gives them first, so that loading replaces
// what a save would have stored there. Blocks beyond the entries and every
// other line stay as they are. A line
// made at the end of a text whose last line has no line feed gets one first.
// Linear in the text and the entries, up to sorting the missing ones.
std::string MergeEntries(std::string_view text, const std::vector<std::string>& entries);
// The same with entries that stay where they are (in a message read from a
// file, say) instead of copies.
std::string MergeEntries(std::string_view text, std::span<const std::string_view> entries);

// The translation line that carries an entry as it is. A line drops its
// leading blank bytes and is a comment when it begins with ';', so an entry
// that begins with a blank byte or ';' shows those bytes as "\xNN" escapes
// ("\x20px" for " px"); the backslash of an escape of that kind already at
// its start is written "\x5c" so that it stays as it is.
std::string LineForEntry(std::string_view entry);
// The entry a translation line's content (from its first non-blank byte)
// carries: the escapes LineForEntry writes at its start turn back into their
// bytes, and a carriage return at its end, left by a text with CRLF line
// ends, is dropped. Returns content itself when nothing changes, else the
// entry in storage.
std::string_view EntryOfLine(std::string_view content, std::string* storage);
std::string EntryOfLine(std::string_view content);

// "; #ID<entry>:"
std::string EntryMarker(long entry);
// The entry number of a line (from its first non-blank byte) that begins
// with a marker, else 0.
long MarkerOf(std::string_view content);
// Whether a comment line (from its first non-blank byte) looks like a marker
// without being one: ';', blanks, "#id" in any case, then a digit or a sign.
bool LooksLikeMarker(std::string_view content);
// What every marker begins with.
inline constexpr char kEntryMarkerStart[] = "; #ID";
inline constexpr size_t kEntryMarkerStartLength = sizeof(kEntryMarkerStart) - 1;

} // namespace LocaleMerge

#endif // LOCALE_MERGE_H
