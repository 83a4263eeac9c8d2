#include "ToolOutput.h"

#include <JsonString.h>

#include <cstdio>

#include "TextEscapes.h"

std::string Printable(std::string_view text)
{
	std::string out;
	out.reserve(text.size());
	for (size_t i = 0; i < text.size();) {
		const unsigned char c = (unsigned char)text[i];
		size_t length = c >= 0x20 && c < 0x7f ? 1 : c >= 0x80 ? Utf8SequenceLength(text, i) : 0;
		// U+0080 to U+009F: terminals take some of them as the start of a
		// control sequence, as they do ESC.
		if (length == 2 && c == 0xc2 && (unsigned char)text[i + 1] < 0xa0)
			length = 0;
		if (length > 0) {
			out.append(text, i, length);
			i += length;
			continue;
		}
		if (c == '\n') {
			out += "\\n";
		} else if (c == '\t') {
			out += "\\t";
		} else if (c == '\r') {
			out += "\\r";
		} else {
			char escaped[8];
			snprintf(escaped, sizeof(escaped), "\\x%02X", c);
			out += escaped;
		}
		i++;
	}
	return out;
}

int Fail(std::string_view file, const std::string& what)
{
	Note(file, what);
	return kExitBadInput;
}

void Note(std::string_view file, const std::string& what)
{
	const std::string line = "localetool: " + Printable(file) + ": " + Printable(what) + "\n";
	fwrite(line.data(), 1, line.size(), stderr);
}

int UsageError(const std::string& what, const char* command)
{
	fprintf(stderr, "localetool: %s (see localetool %s%s--help)\n", Printable(what).c_str(),
	        command != nullptr ? command : "", command != nullptr ? " " : "");
	return kExitBadInput;
}

std::string Json(std::string_view text)
{
	return JsonString(text);
}
