// Searching the locale text's bytes. Without match case, ASCII letters match
// either case; other characters match only as written (their UTF-8 bytes),
// so a match never starts or ends inside a character.
#ifndef TEXT_SEARCH_H
#define TEXT_SEARCH_H

#include <string>
#include <string_view>

namespace TextSearch {

// The first match at or after from, else the first from the start (the
// search wraps); npos when there is none or needle is empty.
size_t FindForward(std::string_view text, std::string_view needle, size_t from, bool matchCase);
// The last match that ends at or before before, else the last one in the
// text; npos when there is none.
size_t FindBackward(std::string_view text, std::string_view needle, size_t before, bool matchCase);
// Whether candidate is needle, as the search compares.
bool Matches(std::string_view candidate, std::string_view needle, bool matchCase);
// Whether [from, to) touches a comment line: one whose first byte other
// than a blank byte (0x00 to 0x20) is ';'. Entry markers and reference texts are such
// lines, and saving goes by the markers, so a replace must leave them alone.
bool TouchesCommentLine(std::string_view text, size_t from, size_t to);

// replacement as it goes in at offset at: where it begins a translation
// line and itself begins with a blank byte or ';', which the line would drop
// or make a comment of, those bytes are written as the "\xNN" escapes that a
// save turns back, so that the entry holds what was typed.
std::string ReplacementAt(std::string_view text, size_t at, std::string_view replacement);

struct Replaced
{
	std::string text;
	size_t replaced = 0;
	// Matches left as they were because they touch a comment line.
	size_t inComments = 0;
};
// The text with every match replaced, left to right, matches not
// overlapping, except those that touch a comment line.
Replaced ReplaceAll(std::string_view text, std::string_view needle, std::string_view replacement,
                    bool matchCase);

} // namespace TextSearch

#endif // TEXT_SEARCH_H
