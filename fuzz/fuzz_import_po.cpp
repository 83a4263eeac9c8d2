// localetool import-po: whatever bytes a PO file holds, the import either
// refuses with a reason and makes nothing, or makes a locale message that the
// readers take; and that message, exported and imported again, gives the
// same texts. Run under LeakSanitizer, it also shows that an import leaves
// nothing of gettext's library behind (the msgctxt strings among it).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include <Message.h>
#include <sanitizer/lsan_interface.h>

#include "LocaleFile.h"
#include "PoCatalog.h"
#include "PoImporter.h"
#include "PoNulBytes.h"
#include "PoText.h"
#include "PoWriter.h"

namespace {

std::vector<std::string> Texts(const BMessage& message)
{
	std::vector<std::string> texts;
	const char* text = nullptr;
	for (int32 i = 0; message.FindString(kLocaleFieldText, i, &text) == B_OK; i++)
		texts.emplace_back(text);
	return texts;
}

// The PO file export-po would write for these texts, with no more header
// than the entry count.
std::string Export(const std::vector<std::string>& texts)
{
	PoWriter writer;
	writer.Add(nullptr, "", "X-Locale-Entries: " + std::to_string(texts.size()) + "\n");
	std::string msgstr;
	for (size_t i = 0; i < texts.size(); i++) {
		PoText::FromLocale(texts[i], &msgstr);
		writer.Add(std::to_string(i + 1).c_str(), "x", msgstr);
	}
	return writer.Text();
}

// Refused with a reason and nothing made; or made within the readers' limit,
// and the same texts after an export and another import.
void CheckImport(std::string_view bytes)
{
	PoImporter importer;
	std::string error;
	if (!importer.Import(bytes, "fuzz.po", nullptr, &error)) {
		if (error.empty() || !importer.Message().IsEmpty())
			abort();
		return;
	}
	const ssize_t flattened = importer.Message().FlattenedSize();
	if (flattened <= 0 || flattened > kLocaleFileMaxSize)
		abort();

	const std::vector<std::string> texts = Texts(importer.Message());
	for (const std::string& text : texts) {
		if (text.find_first_of("\n\t") != std::string::npos)
			abort(); // a locale file keeps them as escapes
	}
	// A header may claim up to a million entries; writing and reading those
	// back would take seconds per input and find nothing a short file does
	// not.
	if (texts.size() > 10000)
		return;
	const std::string again = Export(texts);
	PoImporter second;
	if (!second.Import(again, "again.po", nullptr, &error)) {
		fprintf(stderr, "the exported texts do not import: %s\n", error.c_str());
		abort();
	}
	if (Texts(second.Message()) != texts)
		abort();
}

} // namespace

// What gettext's library keeps for good, beside what tests/lsan.supp names
// (SanitizerDefaults.cpp gives the full stacks these need): the lexer's copy
// of the file name, held in a global until the next file replaces it, and
// of each domain name.
extern "C" const char* __lsan_default_suppressions()
{
	return "leak:libgettextpo_lex_start\nleak:libgettextpo_po_gram_lex\n";
}

// gettext's library leaks what it had built of a message when it meets a
// syntax error, and nothing can reach it. Such inputs are imported with leak
// checking off; every input the library reads without an error must leak
// nothing.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	const std::string_view bytes((const char*)data, size);
	bool readsCleanly;
	{
		__lsan::ScopedDisabler disabler;
		PoCatalog catalog;
		std::string error;
		std::string nul;
		readsCleanly = !PoNulBytes::Find(bytes, &nul) && catalog.Parse(bytes, "fuzz.po", &error);
	}
	if (!readsCleanly) {
		__lsan::ScopedDisabler disabler;
		CheckImport(bytes);
		return 0;
	}
	CheckImport(bytes);
	return 0;
}
