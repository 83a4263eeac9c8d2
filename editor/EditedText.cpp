#include "EditedText.h"

#include <algorithm>

namespace EditedText {

namespace {

bool IsBlank(char byte)
{
	return static_cast<unsigned char>(byte) <= 0x20;
}

// Offset where line `line` (from 0) starts, or the text length past the end.
size_t LineStart(std::string_view text, size_t line)
{
	size_t offset = 0;
	while (line > 0) {
		size_t feed = text.find('\n', offset);
		if (feed == std::string_view::npos)
			return text.size();
		offset = feed + 1;
		line--;
	}
	return offset;
}

// Start of the line after the one that holds line `line`, or the length.
size_t NextLineStart(std::string_view text, size_t line)
{
	size_t start = LineStart(text, line);
	size_t feed = text.find('\n', start);
	return feed == std::string_view::npos ? text.size() : feed + 1;
}

size_t LineOf(std::string_view text, size_t offset)
{
	return std::count(text.begin(), text.begin() + std::min(offset, text.size()), '\n');
}

} // namespace

std::vector<std::string> CollectEntries(std::string_view text)
{
	std::vector<std::string> entries;
	size_t start = 0;
	while (start < text.size()) {
		size_t feed = text.find('\n', start);
		size_t end = feed == std::string_view::npos ? text.size() : feed;
		size_t first = start;
		while (first < end && IsBlank(text[first]))
			first++;
		if (first < end && text[first] != ';')
			entries.emplace_back(text.substr(first, end - first));
		start = feed == std::string_view::npos ? text.size() : feed + 1;
	}
	return entries;
}

std::string MergeEntries(std::string_view original, const std::vector<std::string>& entries)
{
	std::string text(original);
	size_t line = 0;
	for (size_t index = 0; index < entries.size() && !entries[index].empty(); index++) {
		std::string marker = "; #ID" + std::to_string(index + 1) + ":";
		size_t found = text.find(marker);
		if (found != std::string::npos)
			line = LineOf(text, found) + 1;

		size_t at = NextLineStart(text, line);
		line = LineOf(text, at);
		if (at < text.size() && !IsBlank(text[at]) && text[at] != ';')
			text.erase(at, NextLineStart(text, line) - at);
		std::string insertion = entries[index] + "\n";
		// A last line without its line feed must not swallow the entry.
		if (at == text.size() && at > 0 && text[at - 1] != '\n') {
			insertion.insert(insertion.begin(), '\n');
			line++;
		}
		text.insert(at, insertion);
		line++;
	}
	return text;
}

Replacement SmallestReplacement(std::string_view before, std::string_view after)
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
	return {prefix, before.size() - suffix,
	        std::string(after.substr(prefix, after.size() - suffix - prefix))};
}

} // namespace EditedText
