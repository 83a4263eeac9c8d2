// The header entry of the PO files localetool writes and reads. Besides the
// fields gettext's tools expect, it carries the locale file's own header
// fields and its number of entries, which a PO file cannot show otherwise:
//
//   X-Locale-Version: 1.0.0
//   X-Locale-App-ID: my application
//   X-Locale-Language: Deutsch
//   X-Locale-Entries: 38
#ifndef PO_HEADER_H
#define PO_HEADER_H

#include <optional>
#include <string>
#include <string_view>

class LocaleEntries;

// The most entries a PO file may give: far beyond any real locale file (which
// holds a few hundred), small enough that a hostile header or msgctxt cannot
// make the import allocate gigabytes.
const size_t kMaxPoEntries = 1000 * 1000;

class PoHeader
{
public:
	// The header text for the translation file entries, or for a template
	// made from the reference (withTranslation false: no language, no
	// entries). Fails when a field holds a line feed, which a header line
	// cannot carry.
	static bool Make(const LocaleEntries& entries, bool withTranslation, std::string* header,
	                 std::string* error);

	// Reads the fields of a header text; a missing field stays empty.
	// Fails on an X-Locale-Entries that is no number.
	bool Parse(std::string_view header, std::string* error);

	std::optional<std::string> version;
	std::optional<std::string> appID;
	std::optional<std::string> language;
	std::optional<std::string> charset;
	size_t entries = 0;
};

#endif // PO_HEADER_H
