// A text as a JSON string literal, for the tools that print JSON. Kept
// header-only so each tool compiles it in without another library.
//
// Control characters are escaped; valid UTF-8 passes through unchanged and
// each byte that does not start a valid sequence becomes U+FFFD, so the
// output is always valid JSON whatever bytes a file or a reply held.
#ifndef JSON_STRING_H
#define JSON_STRING_H

#include <cstdio>
#include <string>
#include <string_view>

inline std::string JsonString(std::string_view text)
{
	std::string out = "\"";
	for (size_t i = 0; i < text.size();) {
		const unsigned char c = (unsigned char)text[i];
		if (c == '"' || c == '\\') {
			out += '\\';
			out += (char)c;
			i++;
		} else if (c < 0x20) {
			char buffer[8];
			switch (c) {
			case '\n':
				out += "\\n";
				break;
			case '\t':
				out += "\\t";
				break;
			case '\r':
				out += "\\r";
				break;
			default:
				snprintf(buffer, sizeof(buffer), "\\u%04x", c);
				out += buffer;
			}
			i++;
		} else if (c < 0x80) {
			out += (char)c;
			i++;
		} else {
			size_t length = (c & 0xe0) == 0xc0   ? 2
			                : (c & 0xf0) == 0xe0 ? 3
			                : (c & 0xf8) == 0xf0 ? 4
			                                     : 0;
			bool valid = length > 0 && i + length <= text.size();
			for (size_t k = 1; valid && k < length; k++)
				valid = ((unsigned char)text[i + k] & 0xc0) == 0x80;
			if (valid) {
				out.append(text, i, length);
				i += length;
			} else {
				out += "\xef\xbf\xbd";
				i++;
			}
		}
	}
	return out + "\"";
}

#endif // JSON_STRING_H
