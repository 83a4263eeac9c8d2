// Bytes of locale texts that a line of text cannot carry as they are, and the
// "\xNN" escapes that carry them in the text form of a locale file.
#ifndef TEXT_ESCAPES_H
#define TEXT_ESCAPES_H

#include <cstddef>
#include <string>
#include <string_view>

// The value of a hex digit (either case), or -1.
int HexDigitValue(char c);
// Appends "\xNN" for byte, in lower case.
void AppendByteEscape(unsigned char byte, std::string* out);

// Length of the valid UTF-8 sequence at text[at] (no overlong forms, no
// surrogates, nothing beyond U+10FFFF), or 0.
size_t Utf8SequenceLength(std::string_view text, size_t at);

// Whether a text editor can hold the text byte for byte: valid UTF-8 and no
// NUL.
bool IsEditableAsText(std::string_view text);

// Writes text with every byte a line cannot carry as "\xNN": control bytes
// but tab, bytes that are not valid UTF-8, and the backslash of a "\xNN"
// already in the text, so that UnescapeBytes gives text back exactly. With
// keepEnds, spaces and tabs at either end are escaped too (header values,
// which the reader trims). Answers whether anything was escaped.
bool EscapeBytes(std::string_view text, bool keepEnds, std::string* out);

// Turns every "\xNN" (two hex digits, either case) into its byte; every
// other backslash stays, so "\n" remains the two characters.
std::string UnescapeBytes(std::string_view text);

#endif // TEXT_ESCAPES_H
