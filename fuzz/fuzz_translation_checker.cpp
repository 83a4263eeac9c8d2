// The translation checker on any pair of texts (the input split at its first
// NUL byte): it must not crash, every finding says something, and a text
// checked against itself is always clean.
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "TranslationChecker.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	const std::string_view input((const char*)data, size);
	const size_t split = input.find('\0');
	const std::string_view reference = input.substr(0, split);
	const std::string_view translation =
	    split == std::string_view::npos ? input : input.substr(split + 1);
	std::vector<TranslationFinding> findings;
	TranslationChecker::CheckEntry(reference, translation, &findings);
	for (const TranslationFinding& finding : findings) {
		if (finding.message.empty())
			abort();
	}
	findings.clear();
	TranslationChecker::CheckEntry(reference, reference, &findings);
	if (!findings.empty())
		abort();
	return 0;
}
