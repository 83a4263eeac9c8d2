// A paragraph's bytes <-> the UTF-16 text its layout shows.
#include "TextViewText.h"

#include <algorithm>

namespace BPrivate {

int utf16_index(std::string_view text, size_t bytes)
{
	bytes = std::min(bytes, text.size());
	int units = 0;
	for (size_t i = 0; i < bytes; i++) {
		const uint8_t byte = (uint8_t)text[i];
		if ((byte & 0xC0) == 0x80)
			continue;
		units += byte >= 0xF0 ? 2 : 1;
	}
	return units;
}

size_t byte_index(std::string_view text, int units)
{
	size_t i = 0;
	int counted = 0;
	while (i < text.size() && counted < units) {
		const uint8_t byte = (uint8_t)text[i];
		const size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
		const int width = byte >= 0xF0 ? 2 : 1;
		if (counted + width > units)
			break; // inside a surrogate pair: the character's first byte
		counted += width;
		i = std::min(i + length, text.size());
	}
	return i;
}

QString display_text(std::string_view text)
{
	QString shown = QString::fromUtf8(text.data(), (qsizetype)text.size());
	for (QChar& c : shown) {
		const char16_t unit = c.unicode();
		// A layout would break the line at these, or show nothing.
		if (unit == 0x0D || unit == 0x2028 || unit == 0x2029 || unit == 0x0B || unit == 0x0C)
			c = QChar(0x20);
	}
	return shown;
}

} // namespace BPrivate
