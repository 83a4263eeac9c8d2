#include "LocaleSource.h"

#include <cstdio>

#include <Message.h>

#include "LocaleFile.h"

namespace {

bool IsSpace(char c)
{
	return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text)
{
	while (!text.empty() && IsSpace(text.front()))
		text.remove_prefix(1);
	while (!text.empty() && IsSpace(text.back()))
		text.remove_suffix(1);
	return text;
}

// Length of the valid UTF-8 sequence at text[at], or 0.
size_t Utf8SequenceLength(std::string_view text, size_t at)
{
	const unsigned char c = (unsigned char)text[at];
	size_t length;
	uint32 value;
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
	// No overlong forms, no surrogates, nothing beyond U+10FFFF.
	static const uint32 kMinimum[5] = {0, 0, 0x80, 0x800, 0x10000};
	if (value < kMinimum[length] || (value >= 0xd800 && value <= 0xdfff) || value > 0x10ffff)
		return 0;
	return length;
}

std::string LineError(size_t line, const std::string& what)
{
	return "line " + std::to_string(line) + ": " + what;
}

} // namespace

void LocaleSource::Clear()
{
	language.clear();
	version.clear();
	appID.clear();
	texts.clear();
}

status_t LocaleSource::Parse(std::string_view text, std::string* error)
{
	Clear();
	std::string problem;
	auto fail = [&](const std::string& what) {
		Clear();
		if (error != nullptr)
			*error = what;
		return B_BAD_DATA;
	};

	if (text.substr(0, 3) == "\xef\xbb\xbf")
		text.remove_prefix(3);
	bool seen[3] = {false, false, false};
	std::string* const values[3] = {&language, &version, &appID};
	const char* const keys[3] = {"language", "version", "app_id"};

	size_t lineNumber = 0;
	size_t start = 0;
	while (start < text.size()) {
		lineNumber++;
		const size_t feed = text.find('\n', start);
		const size_t end = feed == std::string_view::npos ? text.size() : feed;
		std::string_view line = text.substr(start, end - start);
		start = feed == std::string_view::npos ? text.size() : feed + 1;
		if (!line.empty() && line.back() == '\r')
			line.remove_suffix(1);

		for (size_t i = 0; i < line.size();) {
			const unsigned char c = (unsigned char)line[i];
			if (c < 0x20 && c != '\t')
				return fail(LineError(lineNumber, "control byte " + std::to_string(c) +
				                                      " (only tab is allowed inside a line)"));
			const size_t length = Utf8SequenceLength(line, i);
			if (length == 0)
				return fail(LineError(lineNumber, "not valid UTF-8"));
			i += length;
		}

		const std::string_view trimmed = Trim(line);
		if (trimmed.empty() || trimmed.front() == '#')
			continue;

		if (trimmed.front() >= '0' && trimmed.front() <= '9') {
			size_t at = 0;
			while (at < line.size() && IsSpace(line[at]))
				at++;
			const size_t digitsStart = at;
			uint64 number = 0;
			while (at < line.size() && line[at] >= '0' && line[at] <= '9' && number < 1000000000)
				number = number * 10 + (uint64)(line[at++] - '0');
			const size_t digits = at - digitsStart;
			while (at < line.size() && IsSpace(line[at]))
				at++;
			if (at >= line.size() || line[at] != '=')
				return fail(LineError(lineNumber, "expected \"<number> = <text>\""));
			at++;
			if (line[digitsStart] == '0' && digits > 1)
				return fail(LineError(lineNumber, "entry number with a leading zero"));
			if (number != texts.size() + 1)
				return fail(
				    LineError(lineNumber, "entry " + std::to_string(number) + " where entry " +
				                              std::to_string(texts.size() + 1) + " was expected"));
			if (at < line.size() && line[at] == ' ')
				at++;
			// "N =" is an empty entry: the application shows its default.
			texts.emplace_back(line.substr(at));
			continue;
		}

		const size_t colon = trimmed.find(':');
		if (colon == std::string_view::npos)
			return fail(LineError(lineNumber, "expected \"key: value\" or \"<number> = <text>\""));
		const std::string_view key = Trim(trimmed.substr(0, colon));
		const std::string_view value = Trim(trimmed.substr(colon + 1));
		int which = -1;
		for (int i = 0; i < 3; i++) {
			if (key == keys[i])
				which = i;
		}
		if (which < 0)
			return fail(LineError(lineNumber, "unknown key \"" + std::string(key) +
			                                      "\" (known: language, version, app_id)"));
		if (!texts.empty())
			return fail(
			    LineError(lineNumber, "\"" + std::string(key) +
			                              "\" after the first entry; the header comes first"));
		if (seen[which])
			return fail(LineError(lineNumber, "\"" + std::string(key) + "\" given twice"));
		if (value.empty())
			return fail(LineError(lineNumber, "\"" + std::string(key) + "\" is empty"));
		seen[which] = true;
		values[which]->assign(value);
	}
	for (int i = 0; i < 3; i++) {
		if (!seen[i])
			return fail(std::string("no \"") + keys[i] + "\" line");
	}
	return B_OK;
}

std::string LocaleSource::Format(int32* unrepresentable) const
{
	int32 odd = 0;
	std::string out;
	// A missing header value is shown as a comment: the source then lacks
	// the line, and compiling it says so instead of inventing a value.
	auto header = [&out](const char* key, const std::string& value) {
		if (value.empty())
			out += std::string("# ") + key + ": (missing)\n";
		else
			out += std::string(key) + ": " + value + "\n";
	};
	header("language", language);
	header("version", version);
	header("app_id", appID);
	out += "\n";
	for (size_t i = 0; i < texts.size(); i++) {
		out += std::to_string(i + 1) + (texts[i].empty() ? " =" : " = ");
		bool escaped = false;
		for (char c : texts[i]) {
			if ((unsigned char)c < 0x20 && c != '\t') {
				char buffer[8];
				snprintf(buffer, sizeof(buffer), "\\x%02x", (unsigned char)c);
				out += buffer;
				escaped = true;
			} else {
				out += c;
			}
		}
		if (escaped)
			odd++;
		out += '\n';
	}
	if (unrepresentable != nullptr)
		*unrepresentable = odd;
	return out;
}

void LocaleSource::ToMessage(BMessage* message) const
{
	message->MakeEmpty();
	message->what = 0;
	message->AddString(kLocaleFieldVersion, version.c_str());
	message->AddString(kLocaleFieldAppID, appID.c_str());
	message->AddString(kLocaleFieldLanguage, language.c_str());
	for (const std::string& text : texts)
		message->AddString(kLocaleFieldText, text.c_str());
}

void LocaleSource::FromMessage(const BMessage& message)
{
	Clear();
	language = message.GetString(kLocaleFieldLanguage, "");
	version = message.GetString(kLocaleFieldVersion, "");
	appID = message.GetString(kLocaleFieldAppID, "");
	const char* text;
	for (int32 i = 0; message.FindString(kLocaleFieldText, i, &text) == B_OK; i++)
		texts.emplace_back(text != nullptr ? text : "");
}
