// localetool import-po IN.po -o OUT
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <strings.h>
#include <vector>

#include <gettext-po.h>

#include <File.h>
#include <Message.h>

#include "LocaleFile.h"
#include "OutputArguments.h"
#include "PoHeader.h"
#include "PoProblems.h"
#include "PoText.h"
#include "ToolCommands.h"
#include "ToolOutput.h"

namespace {

const OutputUsage kUsage = {"import-po", 1, 1, "import-po takes IN.po and -o OUT"};

// What a PO file gives: its header and one text per entry.
struct ImportedTexts
{
	PoHeader header;
	std::vector<std::string> texts;
	size_t fuzzy = 0;
};

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

bool ReadMessages(po_file_t file, ImportedTexts* imported, std::string* error)
{
	// The library hands out the header as a copy of its own (though typed
	// const), which is ours to free.
	std::unique_ptr<char, decltype(&free)> headerText(
	    const_cast<char*>(po_file_domain_header(file, nullptr)), &free);
	if (headerText != nullptr && !imported->header.Parse(headerText.get(), error))
		return false;
	if (imported->header.charset && !imported->header.charset->empty() &&
	    strcasecmp(imported->header.charset->c_str(), "UTF-8") != 0 &&
	    strcasecmp(imported->header.charset->c_str(), "ASCII") != 0 &&
	    *imported->header.charset != "CHARSET") {
		*error = "charset " + *imported->header.charset +
		         " instead of UTF-8; convert it with msgconv --to-code=UTF-8";
		return false;
	}

	std::vector<bool> seen;
	po_message_iterator_t iterator = po_message_iterator(file, nullptr);
	bool valid = true;
	while (po_message_t message = po_next_message(iterator)) {
		const char* context = po_message_msgctxt(message);
		if (po_message_is_obsolete(message) ||
		    (context == nullptr && po_message_msgid(message)[0] == '\0'))
			continue; // the header, or what msgmerge keeps for history
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
			imported->texts.resize(number);
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
			imported->fuzzy++;
			continue;
		}
		PoText::ToLocale(msgstr, &imported->texts[number - 1]);
	}
	po_message_iterator_free(iterator);
	if (!valid)
		return false;

	// Untranslated entries at the end still count when the header says so;
	// translated ones beyond it (added after a merge) too.
	size_t count = imported->texts.size();
	while (count > imported->header.entries && imported->texts[count - 1].empty())
		count--;
	imported->texts.resize(std::max(count, imported->header.entries));
	return true;
}

void BuildMessage(const ImportedTexts& imported, BMessage* message)
{
	message->MakeEmpty();
	message->what = 0;
	const PoHeader& header = imported.header;
	if (header.version)
		message->AddString(kLocaleFieldVersion, header.version->c_str());
	if (header.appID)
		message->AddString(kLocaleFieldAppID, header.appID->c_str());
	if (header.language)
		message->AddString(kLocaleFieldLanguage, header.language->c_str());
	for (const std::string& text : imported.texts)
		message->AddString(kLocaleFieldText, text.c_str());
}

int ImportPo(const OutputArguments& split)
{
	const std::string inPath(split.files[0]);
	const std::string& outPath = split.outPath;
	// The library says nothing of a file it cannot open; the system does.
	BFile probe(inPath.c_str(), B_READ_ONLY);
	if (probe.InitCheck() != B_OK)
		return Fail(inPath, b_status_string(probe.InitCheck()));
	probe.Unset();
	PoProblems::Begin(inPath);
	po_file_t file = po_file_read(inPath.c_str(), PoProblems::Handler());
	if (file == nullptr || !PoProblems::FirstError().empty()) {
		if (file != nullptr)
			po_file_free(file);
		return Fail(inPath, PoProblems::FirstError().empty() ? std::string("cannot be read")
		                                                     : PoProblems::FirstError());
	}
	ImportedTexts imported;
	std::string error;
	const bool valid = ReadMessages(file, &imported, &error);
	po_file_free(file);
	if (!valid)
		return Fail(inPath, error);

	BMessage message;
	BuildMessage(imported, &message);
	std::string reason;
	const char* language = imported.header.language ? imported.header.language->c_str() : nullptr;
	const status_t status = LocaleFile::Write(outPath.c_str(), message, language, &reason);
	if (status != B_OK)
		return Fail(outPath,
		            "cannot write: " + (reason.empty() ? b_status_string(status) : reason));
	if (imported.fuzzy > 0)
		fprintf(stderr, "localetool: %s: %zu fuzzy entries imported as untranslated\n",
		        inPath.c_str(), imported.fuzzy);
	return kExitDone;
}

} // namespace

int RunImportPo(const ToolArguments& arguments)
{
	return RunWithOutput(arguments, kUsage, ImportPo);
}
