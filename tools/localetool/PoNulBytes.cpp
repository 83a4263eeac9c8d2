#include "PoNulBytes.h"

#include <optional>

#include "TextEscapes.h"

namespace {

// Enough of a context to name the entry in a message.
const size_t kContextShown = 40;

bool IsKeywordChar(char c)
{
	return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
	       c == '[' || c == ']';
}

// Reads the escape after the backslash at line[at]; answers the byte it
// stands for and moves at past it. Escapes that stand for no byte answer -1.
int ReadEscape(std::string_view line, size_t* at)
{
	size_t i = *at + 1;
	if (i >= line.size()) {
		*at = i;
		return -1;
	}
	int value = -1;
	if (line[i] >= '0' && line[i] <= '7') {
		value = 0;
		for (int digits = 0; digits < 3 && i < line.size() && line[i] >= '0' && line[i] <= '7';
		     digits++, i++)
			value = (value * 8 + (line[i] - '0')) & 0xff;
	} else if (line[i] == 'x' && i + 1 < line.size() && HexDigitValue(line[i + 1]) >= 0) {
		value = 0;
		for (i++; i < line.size() && HexDigitValue(line[i]) >= 0; i++)
			value = (value * 16 + HexDigitValue(line[i])) & 0xff;
	} else {
		value = (unsigned char)line[i];
		i++;
	}
	*at = i;
	return value;
}

std::string Where(size_t line, const std::optional<std::string>& context)
{
	std::string where = "line " + std::to_string(line);
	if (!context)
		return where;
	const bool number = !context->empty() && context->size() <= 7 &&
	                    context->find_first_not_of("0123456789") == std::string::npos;
	if (number)
		return where + " (entry " + *context + ")";
	return where + " (msgctxt \"" + *context + "\")";
}

} // namespace

bool PoNulBytes::Find(std::string_view po, std::string* message)
{
	std::optional<std::string> context;
	std::string keyword;
	size_t lineNumber = 0;
	while (!po.empty()) {
		lineNumber++;
		const size_t end = po.find('\n');
		const std::string_view line = po.substr(0, end);
		po = end == std::string_view::npos ? std::string_view() : po.substr(end + 1);

		size_t at = line.find_first_not_of(" \t\r\f\v");
		if (at == std::string_view::npos)
			continue;
		if (line[at] == '#') {
			if (line.find('\0') == std::string_view::npos)
				continue;
			*message = Where(lineNumber, std::nullopt) + ": a comment holds a NUL byte";
			return true;
		}
		while (at < line.size()) {
			const char c = line[at];
			if (c == '\0') {
				*message = Where(lineNumber, context) + ": the file holds a NUL byte";
				return true;
			}
			if (IsKeywordChar(c)) {
				const size_t start = at;
				while (at < line.size() && IsKeywordChar(line[at]))
					at++;
				const std::string_view word = line.substr(start, at - start);
				// A message starts at its msgctxt, or at its msgid when it has
				// none.
				if (word == "msgctxt")
					context = std::string();
				else if (word == "msgid" && keyword != "msgctxt")
					context.reset();
				keyword = word;
				continue;
			}
			if (c != '"') {
				at++;
				continue;
			}
			for (at++; at < line.size() && line[at] != '"';) {
				int byte = (unsigned char)line[at];
				if (byte == '\\')
					byte = ReadEscape(line, &at);
				else
					at++;
				if (byte == 0) {
					*message = Where(lineNumber, context) + ": " +
					           (keyword.empty() ? std::string("a string") : "the " + keyword) +
					           " holds a NUL byte, which a locale text cannot carry";
					return true;
				}
				if (keyword == "msgctxt" && byte > 0 && context->size() < kContextShown)
					*context += (char)byte;
			}
			at++;
		}
	}
	return false;
}
