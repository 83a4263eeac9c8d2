#include "TextSearch.h"

#include <algorithm>
#include <functional>

namespace TextSearch {

namespace {

unsigned char Fold(unsigned char byte)
{
	return byte >= 'A' && byte <= 'Z' ? (unsigned char)(byte - 'A' + 'a') : byte;
}

// The first match in [from, end of text).
size_t FindFrom(std::string_view text, std::string_view needle, size_t from, bool matchCase)
{
	if (needle.empty() || from > text.size())
		return std::string_view::npos;
	if (matchCase)
		return text.find(needle, from);
	struct FoldedHash
	{
		size_t operator()(char c) const { return Fold((unsigned char)c); }
	};
	struct FoldedEqual
	{
		bool operator()(char a, char b) const
		{
			return Fold((unsigned char)a) == Fold((unsigned char)b);
		}
	};
	const std::boyer_moore_horspool_searcher searcher(needle.begin(), needle.end(), FoldedHash(),
	                                                  FoldedEqual());
	const auto found = std::search(text.begin() + (std::ptrdiff_t)from, text.end(), searcher);
	return found == text.end() ? std::string_view::npos : (size_t)(found - text.begin());
}

} // namespace

bool Matches(std::string_view candidate, std::string_view needle, bool matchCase)
{
	if (candidate.size() != needle.size())
		return false;
	if (matchCase)
		return candidate == needle;
	return std::equal(candidate.begin(), candidate.end(), needle.begin(), [](char a, char b) {
		return Fold((unsigned char)a) == Fold((unsigned char)b);
	});
}

size_t FindForward(std::string_view text, std::string_view needle, size_t from, bool matchCase)
{
	from = std::min(from, text.size());
	const size_t found = FindFrom(text, needle, from, matchCase);
	if (found != std::string_view::npos || from == 0)
		return found;
	// Around from the start; a match that runs over from counts as well.
	const size_t wrapped = FindFrom(text, needle, 0, matchCase);
	return wrapped < from + needle.size() ? wrapped : std::string_view::npos;
}

size_t FindBackward(std::string_view text, std::string_view needle, size_t before, bool matchCase)
{
	if (needle.empty() || needle.size() > text.size())
		return std::string_view::npos;
	before = std::min(before, text.size());
	// Backwards, candidate by candidate; only where the first byte fits.
	auto lastFrom = [&](size_t last) -> size_t {
		for (size_t at = last + 1; at-- > 0;) {
			if (Matches(text.substr(at, needle.size()), needle, matchCase))
				return at;
		}
		return std::string_view::npos;
	};
	if (before >= needle.size()) {
		const size_t found = lastFrom(before - needle.size());
		if (found != std::string_view::npos)
			return found;
	}
	return lastFrom(text.size() - needle.size());
}

std::string ReplaceAll(std::string_view text, std::string_view needle, std::string_view replacement,
                       bool matchCase, size_t* count)
{
	std::string result;
	size_t matches = 0;
	size_t at = 0;
	for (;;) {
		const size_t found = FindFrom(text, needle, at, matchCase);
		if (found == std::string_view::npos)
			break;
		result.append(text.substr(at, found - at));
		result.append(replacement);
		at = found + needle.size();
		matches++;
	}
	result.append(text.substr(at));
	if (count != nullptr)
		*count = matches;
	return result;
}

} // namespace TextSearch
