#include "PrintfConversions.h"

#include <cstring>

namespace {

// Conversion classes: arguments of one class are interchangeable (printf
// reads %d and %x from the same int).
enum : uint16 {
	kClassInteger = 1,
	kClassFloat,
	kClassChar,
	kClassString,
	kClassPointer,
	kClassCount,
	kClassWideChar,
	kClassWideString
};

uint16 ClassOf(char c)
{
	switch (c) {
	case 'd':
	case 'i':
	case 'o':
	case 'u':
	case 'x':
	case 'X':
		return kClassInteger;
	case 'e':
	case 'E':
	case 'f':
	case 'F':
	case 'g':
	case 'G':
	case 'a':
	case 'A':
		return kClassFloat;
	case 'c':
		return kClassChar;
	case 's':
		return kClassString;
	case 'p':
		return kClassPointer;
	case 'n':
		return kClassCount;
	case 'C':
		return kClassWideChar;
	case 'S':
		return kClassWideString;
	default:
		return 0;
	}
}

bool IsDigit(char c)
{
	return c >= '0' && c <= '9';
}

// Reads "N$" at p; answers the position and moves p past it, or 0 and
// leaves p where it was.
int32 ReadPosition(const char*& p, const char* end)
{
	const char* q = p;
	int32 value = 0;
	while (q < end && IsDigit(*q) && value < 100000)
		value = value * 10 + (*q++ - '0');
	if (q == p || q >= end || *q != '$' || value == 0)
		return 0;
	p = q + 1;
	return value;
}

// A width or precision given as an argument: "*" or "*N$".
struct StarArgument
{
	bool present = false;
	int32 position = 0;
};

StarArgument ReadStar(const char*& p, const char* end)
{
	StarArgument star;
	if (p < end && *p == '*') {
		star.present = true;
		p++;
		star.position = ReadPosition(p, end);
	} else {
		while (p < end && IsDigit(*p))
			p++;
	}
	return star;
}

// Length modifiers, each a small number so that it fits beside the class.
uint16 ReadLength(const char*& p, const char* end)
{
	static const char* const kLengths[] = {"hh", "h", "ll", "l", "L", "q", "j", "z", "Z", "t"};
	for (uint16 i = 0; i < sizeof(kLengths) / sizeof(kLengths[0]); i++) {
		const size_t length = strlen(kLengths[i]);
		if ((size_t)(end - p) >= length && memcmp(p, kLengths[i], length) == 0) {
			p += length;
			// "ll" and "q" are the same type, as are "z" and "Z".
			if (i == 5)
				return 3;
			if (i == 8)
				return 8;
			return (uint16)(i + 1);
		}
	}
	return 0;
}

} // namespace

void PrintfConversions::Parse(std::string_view text)
{
	mArguments.clear();
	mPercentSigns = 0;
	mPositional = false;
	const char* p = text.data();
	const char* end = p + text.size();
	while (p < end) {
		const char* percent = (const char*)memchr(p, '%', (size_t)(end - p));
		if (percent == nullptr)
			break;
		p = _ParseOne(percent, end);
	}
}

// Reads the conversion starting at the '%' at start and answers where the
// text goes on.
const char* PrintfConversions::_ParseOne(const char* start, const char* end)
{
	const char* p = start + 1;
	if (p < end && *p == '%') {
		mPercentSigns++;
		return p + 1;
	}
	const int32 position = ReadPosition(p, end);
	while (p < end && strchr("-+#0'", *p) != nullptr && *p != '\0')
		p++;
	const StarArgument width = ReadStar(p, end);
	StarArgument precision;
	if (p < end && *p == '.') {
		p++;
		precision = ReadStar(p, end);
	}
	const uint16 length = ReadLength(p, end);
	const uint16 conversionClass = p < end ? ClassOf(*p) : 0;
	if (conversionClass == 0)
		return start + 1;
	p++;

	const std::string_view spelling(start, (size_t)(p - start));
	const uint16 intType = kClassInteger;
	if (width.present)
		mArguments.push_back({width.position, intType, spelling});
	if (precision.present)
		mArguments.push_back({precision.position, intType, spelling});
	mArguments.push_back({position, (uint16)(length << 8 | conversionClass), spelling});
	if (position > 0 || width.position > 0 || precision.position > 0)
		mPositional = true;
	return p;
}
