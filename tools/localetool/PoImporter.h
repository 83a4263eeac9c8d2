// What import-po makes of the bytes of a PO file: the locale message of one
// domain, or the reason there is none. Writes nothing, so that the command
// and the fuzzer share every check.
#ifndef PO_IMPORTER_H
#define PO_IMPORTER_H

#include <gettext-po.h>

#include <Message.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "PoHeader.h"

class PoImporter
{
public:
	// Imports the messages of domain from the PO text bytes (name is the file
	// they came from). domain null means the default domain, and then a file
	// with entries in another domain is refused: which one to take is the
	// user's choice. On failure answers false with the reason in error,
	// ready to follow "localetool: FILE: ".
	bool Import(std::string_view bytes, const std::string& name, const char* domain,
	            std::string* error);

	// The locale message made: header fields, then one zt:text per entry.
	const BMessage& Message() const { return mMessage; }
	// The language for the file's attribute, or null.
	const char* Language() const { return mHeader.language ? mHeader.language->c_str() : nullptr; }
	// The number of fuzzy translations imported as untranslated.
	size_t Fuzzy() const { return mFuzzy; }
	// Entries of the other domains, left out: each domain's name and count.
	const std::vector<std::pair<std::string, size_t>>& LeftOut() const { return mLeftOut; }

private:
	bool _ReadMessages(po_file_t file, const char* domain, std::string* error);
	void _BuildMessage();

	PoHeader mHeader;
	std::vector<std::string> mTexts;
	size_t mFuzzy = 0;
	std::vector<std::pair<std::string, size_t>> mLeftOut;
	BMessage mMessage;
};

#endif // PO_IMPORTER_H
