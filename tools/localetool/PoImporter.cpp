#include "PoImporter.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <strings.h>

#include "LocaleFile.h"
#include "PoCatalog.h"
#include "PoNulBytes.h"
#include "PoText.h"

namespace {

const char* const kDefaultDomain = "messages";

// "N" with N from 1 to kMaxPoEntries, no sign, no leading zero; 0 for
// anything else.
size_t EntryNumber(const char* context)
{
	const size_t length = strlen(context);
	if (length == 0 || length > 7 || context[0] == '0')
		return 0;
	size_t number = 0;
	for (size_t i = 0; i < length; i++) {
		if (context[i] < '0' || context[i] > '9')
			return 0;
		number = number * 10 + (size_t)(context[i] - '0');
	}
	return number <= kMaxPoEntries ? number : 0;
}

// The header and what msgmerge keeps for history are no entries.
bool IsEntry(po_message_t message)
{
	return !po_message_is_obsolete(message) &&
	       (po_message_msgctxt(message) != nullptr || po_message_msgid(message)[0] != '\0');
}

size_t CountEntries(po_file_t file, const char* domain)
{
	size_t count = 0;
	po_message_iterator_t iterator = po_message_iterator(file, domain);
	while (po_message_t message = po_next_message(iterator))
		count += IsEntry(message) ? 1 : 0;
	po_message_iterator_free(iterator);
	return count;
}

std::string TooBig()
{
	return "the locale file would be bigger than the " +
	       std::to_string(kLocaleFileMaxSize / (1024 * 1024)) + " MiB (" +
	       std::to_string(kLocaleFileMaxSize) + " bytes) that locale files are read up to";
}

} // namespace

bool PoImporter::Import(std::string_view bytes, const std::string& name, const char* domain,
                        std::string* error)
{
	mHeader = PoHeader();
	mTexts.clear();
	mFuzzy = 0;
	mLeftOut.clear();
	mMessage.MakeEmpty();
	mMessage.what = 0;

	if (PoNulBytes::Find(bytes, error))
		return false;
	PoCatalog catalog;
	if (!catalog.Parse(bytes, name, error))
		return false;

	const std::string chosen = domain != nullptr ? domain : kDefaultDomain;
	const std::vector<std::string> domains = catalog.Domains();
	if (std::find(domains.begin(), domains.end(), chosen) == domains.end()) {
		*error = "no domain \"" + chosen + "\" in the file; it has";
		for (size_t i = 0; i < domains.size(); i++)
			*error += (i == 0 ? " \"" : ", \"") + domains[i] + "\"";
		return false;
	}
	for (const std::string& other : domains) {
		if (other == chosen)
			continue;
		const size_t count = CountEntries(catalog.File(), other.c_str());
		if (count > 0)
			mLeftOut.emplace_back(other, count);
	}
	if (domain == nullptr && !mLeftOut.empty()) {
		*error =
		    std::to_string(mLeftOut[0].second) + " entries in domain \"" + mLeftOut[0].first + "\"";
		for (size_t i = 1; i < mLeftOut.size(); i++)
			*error +=
			    ", " + std::to_string(mLeftOut[i].second) + " in \"" + mLeftOut[i].first + "\"";
		*error += " beside " + std::to_string(CountEntries(catalog.File(), chosen.c_str())) +
		          " in \"" + chosen + "\"; choose one with --domain NAME";
		return false;
	}
	if (!_ReadMessages(catalog.File(), chosen.c_str(), error))
		return false;
	_BuildMessage();
	const ssize_t size = mMessage.FlattenedSize();
	if (size < 0 || size > kLocaleFileMaxSize) {
		*error = TooBig();
		mMessage.MakeEmpty();
		return false;
	}
	return true;
}

bool PoImporter::_ReadMessages(po_file_t file, const char* domain, std::string* error)
{
	// The library hands out the header as a copy of its own (though typed
	// const), which is ours to free.
	std::unique_ptr<char, decltype(&free)> headerText(
	    const_cast<char*>(po_file_domain_header(file, domain)), &free);
	if (headerText != nullptr && !mHeader.Parse(headerText.get(), error))
		return false;
	if (mHeader.charset && !mHeader.charset->empty() &&
	    strcasecmp(mHeader.charset->c_str(), "UTF-8") != 0 &&
	    strcasecmp(mHeader.charset->c_str(), "ASCII") != 0 && *mHeader.charset != "CHARSET") {
		*error = "charset " + *mHeader.charset +
		         " instead of UTF-8; convert it with msgconv --to-code=UTF-8";
		return false;
	}

	std::vector<bool> seen;
	// What the texts take so far: beyond the readers' limit the file cannot
	// be read whatever else it holds, so the import stops before holding
	// more.
	size_t textBytes = 0;
	po_message_iterator_t iterator = po_message_iterator(file, domain);
	bool valid = true;
	while (po_message_t message = po_next_message(iterator)) {
		if (!IsEntry(message))
			continue;
		const char* context = po_message_msgctxt(message);
		const size_t number = context != nullptr ? EntryNumber(context) : 0;
		if (number == 0) {
			*error = context == nullptr
			             ? "a message without msgctxt: \"" +
			                   std::string(po_message_msgid(message)) + "\""
			             : "msgctxt \"" + std::string(context) + "\" is no entry number";
			valid = false;
			break;
		}
		if (po_message_msgid_plural(message) != nullptr) {
			*error = "entry " + std::to_string(number) +
			         " has plural forms, which locale files do not have";
			valid = false;
			break;
		}
		if (number > seen.size()) {
			seen.resize(number, false);
			mTexts.resize(number);
		}
		if (seen[number - 1]) {
			*error = "entry " + std::to_string(number) + " twice";
			valid = false;
			break;
		}
		seen[number - 1] = true;
		const char* msgstr = po_message_msgstr(message);
		if (po_message_is_fuzzy(message) && msgstr[0] != '\0') {
			// As gettext does: a fuzzy translation is not used.
			mFuzzy++;
			continue;
		}
		PoText::ToLocale(msgstr, &mTexts[number - 1]);
		textBytes += mTexts[number - 1].size();
		if (textBytes > (size_t)kLocaleFileMaxSize) {
			*error = TooBig();
			valid = false;
			break;
		}
	}
	po_message_iterator_free(iterator);
	if (!valid)
		return false;

	// Untranslated entries at the end still count when the header says so;
	// translated ones beyond it (added after a merge) too.
	size_t count = mTexts.size();
	while (count > mHeader.entries && mTexts[count - 1].empty())
		count--;
	mTexts.resize(std::max(count, mHeader.entries));
	return true;
}

void PoImporter::_BuildMessage()
{
	mMessage.MakeEmpty();
	mMessage.what = 0;
	if (mHeader.version)
		mMessage.AddString(kLocaleFieldVersion, mHeader.version->c_str());
	if (mHeader.appID)
		mMessage.AddString(kLocaleFieldAppID, mHeader.appID->c_str());
	if (mHeader.language)
		mMessage.AddString(kLocaleFieldLanguage, mHeader.language->c_str());
	for (const std::string& text : mTexts)
		mMessage.AddString(kLocaleFieldText, text.c_str());
	mTexts.clear();
}
