// UTF-8 helpers of the text view: validity, and a paragraph's bytes <->
// the UTF-16 text its layout shows.
#ifndef _TEXT_VIEW_TEXT_H
#define _TEXT_VIEW_TEXT_H

#include <QString>

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace BPrivate {

// Whether the bytes are well-formed UTF-8 (no overlong forms, no
// surrogates), as the view stores its text.
bool is_valid_utf8(const char* text, size_t length);

// UTF-16 positions in a paragraph's display text <-> byte offsets in it.
int utf16_index(std::string_view text, size_t bytes);
size_t byte_index(std::string_view text, int units);
// The text a layout shows: line breaking characters that are not line
// feeds are shown as spaces, keeping every UTF-16 position.
QString display_text(std::string_view text);

// Whether text[index] continues a UTF-8 character.
inline bool is_continuation(std::string_view text, size_t index)
{
	return index < text.size() && ((unsigned char)text[index] & 0xC0) == 0x80;
}

} // namespace BPrivate

#endif // _TEXT_VIEW_TEXT_H
