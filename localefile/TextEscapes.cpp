#include "TextEscapes.h"

#include <cstdint>

int HexDigitValue(char c)
{
	if (c >= '0' && c <= '9')
		return c - '0';
	if (c >= 'a' && c <= 'f')
		return c - 'a' + 10;
	if (c >= 'A' && c <= 'F')
		return c - 'A' + 10;
	return -1;
}

void AppendByteEscape(unsigned char byte, std::string* out)
{
	static const char kDigits[] = "0123456789abcdef";
	*out += "\\x";
	*out += kDigits[byte >> 4];
	*out += kDigits[byte & 0xf];
}

namespace {

bool IsEscapeAt(std::string_view text, size_t at)
{
	return at + 3 < text.size() && text[at] == '\\' && text[at + 1] == 'x' &&
	       HexDigitValue(text[at + 2]) >= 0 && HexDigitValue(text[at + 3]) >= 0;
}

bool IsBlank(char c)
{
	return c == ' ' || c == '\t';
}

} // namespace

size_t Utf8SequenceLength(std::string_view text, size_t at)
{
	const unsigned char c = (unsigned char)text[at];
	size_t length;
	uint32_t value;
	if (c < 0x80)
		return 1;
	if ((c & 0xe0) == 0xc0) {
		length = 2;
		value = c & 0x1f;
	} else if ((c & 0xf0) == 0xe0) {
		length = 3;
		value = c & 0x0f;
	} else if ((c & 0xf8) == 0xf0) {
		length = 4;
		value = c & 0x07;
	} else {
		return 0;
	}
	if (at + length > text.size())
		return 0;
	for (size_t i = 1; i < length; i++) {
		const unsigned char next = (unsigned char)text[at + i];
		if ((next & 0xc0) != 0x80)
			return 0;
		value = value << 6 | (next & 0x3f);
	}
	static const uint32_t kMinimum[5] = {0, 0, 0x80, 0x800, 0x10000};
	if (value < kMinimum[length] || (value >= 0xd800 && value <= 0xdfff) || value > 0x10ffff)
		return 0;
	return length;
}

bool IsEditableAsText(std::string_view text)
{
	for (size_t i = 0; i < text.size();) {
		const size_t length = Utf8SequenceLength(text, i);
		if (length == 0 || text[i] == '\0')
			return false;
		i += length;
	}
	return true;
}

bool EscapeBytes(std::string_view text, bool keepEnds, std::string* out)
{
	size_t first = 0;
	size_t end = text.size();
	if (keepEnds) {
		while (first < end && IsBlank(text[first]))
			first++;
		while (end > first && IsBlank(text[end - 1]))
			end--;
	}
	bool escaped = false;
	for (size_t i = 0; i < text.size();) {
		const unsigned char c = (unsigned char)text[i];
		const size_t length = Utf8SequenceLength(text, i);
		const bool blankEnd = i < first || i >= end;
		if (length == 0 || (c < 0x20 && c != '\t') || blankEnd || IsEscapeAt(text, i)) {
			AppendByteEscape(c, out);
			escaped = escaped || !blankEnd;
			i++;
			continue;
		}
		out->append(text.substr(i, length));
		i += length;
	}
	return escaped;
}

std::string UnescapeBytes(std::string_view text)
{
	std::string result;
	result.reserve(text.size());
	for (size_t i = 0; i < text.size();) {
		if (IsEscapeAt(text, i)) {
			result += (char)(HexDigitValue(text[i + 2]) << 4 | HexDigitValue(text[i + 3]));
			i += 4;
		} else {
			result += text[i++];
		}
	}
	return result;
}
