// Texts between locale files and PO files. A locale file keeps a line break
// as the two characters backslash and n (and a tab as backslash and t),
// which the localization library turns into the real ones; a PO file holds
// the real ones, as gettext and translators expect. Both ways read the text
// as the library does, so that a locale text without raw line feeds or tabs
// comes back byte for byte.
#ifndef PO_TEXT_H
#define PO_TEXT_H

#include <string>
#include <string_view>

class PoText
{
public:
	// "\\n" -> line feed, "\\t" -> tab, left to right; all else as it is.
	static void FromLocale(std::string_view text, std::string* out);
	// Line feed -> "\\n", tab -> "\\t"; all else as it is.
	static void ToLocale(std::string_view text, std::string* out);
};

#endif // PO_TEXT_H
