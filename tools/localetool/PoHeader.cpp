#include "PoHeader.h"

#include <cstring>

#include "LocaleEntries.h"

namespace {

const char* const kVersionField = "X-Locale-Version";
const char* const kAppIDField = "X-Locale-App-ID";
const char* const kLanguageField = "X-Locale-Language";
const char* const kEntriesField = "X-Locale-Entries";
const char* const kGettextLanguageField = "Language";
const char* const kContentTypeField = "Content-Type";

bool AddField(std::string* header, const char* name, const char* value, std::string* error)
{
	if (value == nullptr)
		return true;
	if (strchr(value, '\n') != nullptr) {
		*error = std::string("the header field for ") + name +
		         " holds a line feed, which a PO header cannot carry";
		return false;
	}
	*header += std::string(name) + ": " + value + "\n";
	return true;
}

std::string Charset(std::string_view contentType)
{
	const size_t at = contentType.find("charset=");
	if (at == std::string_view::npos)
		return std::string();
	std::string_view value = contentType.substr(at + strlen("charset="));
	const size_t end = value.find_first_of(" ;");
	return std::string(value.substr(0, end));
}

} // namespace

bool PoHeader::Make(const LocaleEntries& entries, bool withTranslation, std::string* header,
                    std::string* error)
{
	const char* appID = entries.AppID();
	*header = "Project-Id-Version: ";
	if (appID != nullptr && strchr(appID, '\n') == nullptr)
		*header += appID;
	*header += "\n"
	           "PO-Revision-Date: \n"
	           "Last-Translator: \n"
	           "Language-Team: \n"
	           "Language: \n"
	           "MIME-Version: 1.0\n"
	           "Content-Type: text/plain; charset=UTF-8\n"
	           "Content-Transfer-Encoding: 8bit\n";
	if (!AddField(header, kVersionField, entries.Version(), error) ||
	    !AddField(header, kAppIDField, appID, error))
		return false;
	if (!withTranslation)
		return true;
	if (!AddField(header, kLanguageField, entries.Language(), error))
		return false;
	*header += std::string(kEntriesField) + ": " + std::to_string(entries.Texts().size()) + "\n";
	return true;
}

bool PoHeader::Parse(std::string_view header, std::string* error)
{
	version.reset();
	appID.reset();
	language.reset();
	charset.reset();
	entries = 0;
	std::optional<std::string> gettextLanguage;
	while (!header.empty()) {
		const size_t end = header.find('\n');
		const std::string_view line = header.substr(0, end);
		header = end == std::string_view::npos ? std::string_view() : header.substr(end + 1);
		const size_t colon = line.find(':');
		if (colon == std::string_view::npos)
			continue;
		const std::string_view name = line.substr(0, colon);
		// The value as written after "Name: "; spaces beyond the first are
		// part of it, since locale header fields may hold them.
		std::string_view value = line.substr(colon + 1);
		if (!value.empty() && value[0] == ' ')
			value.remove_prefix(1);
		if (name == kVersionField)
			version = std::string(value);
		else if (name == kAppIDField)
			appID = std::string(value);
		else if (name == kLanguageField)
			language = std::string(value);
		else if (name == kGettextLanguageField && !value.empty())
			gettextLanguage = std::string(value);
		else if (name == kContentTypeField)
			charset = Charset(value);
		else if (name == kEntriesField) {
			size_t count = 0;
			bool valid = !value.empty() && value.size() <= 9;
			for (const char c : value) {
				valid = valid && c >= '0' && c <= '9';
				count = count * 10 + (size_t)(c - '0');
			}
			if (!valid || count > kMaxPoEntries) {
				*error = std::string(kEntriesField) + " is no entry count: " + std::string(value);
				return false;
			}
			entries = count;
		}
	}
	// A file started on a translation platform may only have gettext's own
	// language field.
	if (!language && gettextLanguage)
		language = gettextLanguage;
	return true;
}
