#include "LocaleSource.h"

#include <cstdio>

#include <Message.h>
#include <TypeConstants.h>

#include "LocaleFile.h"
#include "TextEscapes.h"

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
			texts.push_back(UnescapeBytes(line.substr(at)));
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
		*values[which] = UnescapeBytes(value);
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
		if (value.empty()) {
			out += std::string("# ") + key + ": (missing)\n";
			return;
		}
		out += std::string(key) + ": ";
		EscapeBytes(value, true, &out);
		out += '\n';
	};
	header("language", language);
	header("version", version);
	header("app_id", appID);
	out += "\n";
	for (size_t i = 0; i < texts.size(); i++) {
		out += std::to_string(i + 1) + (texts[i].empty() ? " =" : " = ");
		if (EscapeBytes(texts[i], false, &out))
			odd++;
		out += '\n';
	}
	if (unrepresentable != nullptr)
		*unrepresentable = odd;
	return out;
}

namespace {

// Through AddData, so that a NUL inside the text stays.
void AddText(BMessage* message, const char* field, const std::string& text)
{
	message->AddData(field, B_STRING_TYPE, text.c_str(), (ssize_t)text.size() + 1, false);
}

// The whole value, bytes after a NUL too.
bool FindText(const BMessage& message, const char* field, int32 index, std::string* text)
{
	const void* data = nullptr;
	ssize_t size = 0;
	if (message.FindData(field, B_STRING_TYPE, index, &data, &size) != B_OK || size < 1)
		return false;
	text->assign((const char*)data, (size_t)size - 1);
	return true;
}

} // namespace

void LocaleSource::ToMessage(BMessage* message) const
{
	message->MakeEmpty();
	message->what = 0;
	AddText(message, kLocaleFieldVersion, version);
	AddText(message, kLocaleFieldAppID, appID);
	AddText(message, kLocaleFieldLanguage, language);
	for (const std::string& text : texts)
		AddText(message, kLocaleFieldText, text);
}

bool LocaleSource::FromMessage(const BMessage& message, std::string* why)
{
	Clear();
	const char* const headerFields[3] = {kLocaleFieldVersion, kLocaleFieldAppID,
	                                     kLocaleFieldLanguage};
	std::string* const values[3] = {&version, &appID, &language};
	for (int i = 0; i < 3; i++)
		FindText(message, headerFields[i], 0, values[i]);
	std::string text;
	for (int32 i = 0; FindText(message, kLocaleFieldText, i, &text); i++)
		texts.push_back(text);

	// What ToMessage makes of this source must be the message itself: the
	// same fields, in the same order, with nothing beside them.
	std::string problem;
	if (message.what != 0)
		problem = "the message has a command code";
	for (int i = 0; i < 3 && problem.empty(); i++) {
		if (values[i]->empty())
			problem = std::string("no ") + headerFields[i];
	}
	const char* const order[4] = {kLocaleFieldVersion, kLocaleFieldAppID, kLocaleFieldLanguage,
	                              kLocaleFieldText};
	const int32 names = message.CountNames(B_ANY_TYPE);
	if (problem.empty() && names != (texts.empty() ? 3 : 4))
		problem = "the message holds other fields";
	for (int32 i = 0; i < names && problem.empty(); i++) {
		const char* name = nullptr;
		type_code type = 0;
		int32 count = 0;
		if (message.GetInfo(B_ANY_TYPE, i, &name, &type, &count) != B_OK ||
		    std::string_view(name) != order[i] || type != B_STRING_TYPE || (i < 3 && count != 1))
			problem = std::string("the field ") + (name != nullptr ? name : "?") +
			          " is not as the text form writes it";
	}
	if (why != nullptr)
		*why = problem;
	return problem.empty();
}
