#include "TextChange.h"

#include <algorithm>

TextChange SmallestChange(std::string_view before, std::string_view after)
{
	// Both ends of the replaced stretch fall on character boundaries, so
	// that no half of a UTF-8 sequence is ever inserted or deleted alone.
	auto splitsCharacter = [](std::string_view text, size_t at) {
		return at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80;
	};
	size_t shorter = std::min(before.size(), after.size());
	size_t prefix = 0;
	while (prefix < shorter && before[prefix] == after[prefix])
		prefix++;
	while (prefix > 0 && (splitsCharacter(before, prefix) || splitsCharacter(after, prefix)))
		prefix--;
	size_t suffix = 0;
	while (suffix < shorter - prefix &&
	       before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
		suffix++;
	while (suffix > 0 && (splitsCharacter(before, before.size() - suffix) ||
	                      splitsCharacter(after, after.size() - suffix)))
		suffix--;
	return {prefix, before.size() - suffix, after.substr(prefix, after.size() - suffix - prefix)};
}
