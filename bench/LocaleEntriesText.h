// The edited text of a locale file as the editor shows it: per entry its
// marker, a reference comment and a translation, three lines each.
#ifndef LOCALE_ENTRIES_TEXT_H
#define LOCALE_ENTRIES_TEXT_H

#include <string>

inline std::string locale_entries_text(int entries)
{
	std::string text;
	text.reserve((size_t)entries * 80);
	for (int i = 1; i <= entries; i++) {
		text += "; #ID" + std::to_string(i) + ":\n";
		text += "; Reference text number " + std::to_string(i) + "\n";
		text += "Translation " + std::to_string(i) + "\n";
	}
	return text;
}

#endif // LOCALE_ENTRIES_TEXT_H
