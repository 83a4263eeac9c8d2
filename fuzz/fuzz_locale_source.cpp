// The text form of locale files: whatever parses must format and parse back
// to the same source; whatever does not must leave the source empty.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "LocaleSource.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	const std::string text((const char*)data, size);
	LocaleSource source;
	std::string error;
	if (source.Parse(text, &error) != B_OK) {
		if (error.empty() || !source.texts.empty() || !source.language.empty())
			abort();
		return 0;
	}
	const std::string formatted = source.Format();
	LocaleSource again;
	if (again.Parse(formatted, &error) != B_OK)
		abort();
	if (again.texts != source.texts || again.language != source.language ||
	    again.version != source.version || again.appID != source.appID)
		abort();
	return 0;
}
