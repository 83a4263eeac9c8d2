// The printf conversions of a text, as a translation must keep them: each
// with its argument position (when it names one), the type of argument it
// takes and its spelling in the text. Widths and flags may differ between a
// reference and its translation, argument types may not.
#ifndef PRINTF_CONVERSIONS_H
#define PRINTF_CONVERSIONS_H

#include <SupportDefs.h>

#include <string_view>
#include <vector>

struct PrintfConversion
{
	int32 position;            // from "%2$s"; 0 when the conversion names none
	uint16 type;               // length modifier and conversion class together
	std::string_view spelling; // "%5.2f", "%1$s"; "%*d" for the width of %*d too
};

class PrintfConversions
{
public:
	// Reads the conversions of text in their order. "%%" takes no argument:
	// it is counted in percentSigns only. A '%' that starts no valid
	// conversion ("100%", "50% off", "%w") is plain text; so is one
	// followed by a space, which in messages is a percent sign far more
	// often than printf's space flag.
	void Parse(std::string_view text);

	const std::vector<PrintfConversion>& Arguments() const { return mArguments; }
	int32 PercentSigns() const { return mPercentSigns; }
	bool Positional() const { return mPositional; }

private:
	const char* _ParseOne(const char* p, const char* end);

	std::vector<PrintfConversion> mArguments;
	int32 mPercentSigns = 0;
	bool mPositional = false;
};

#endif // PRINTF_CONVERSIONS_H
