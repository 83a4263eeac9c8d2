#ifndef INTERFACE_LANGUAGES_H
#define INTERFACE_LANGUAGES_H

// The editor's own interface translations: the locale folder beside the
// program and, when that folder is read-only, the user's own locale folder.
// A translation of the user's wins over the shipped one of the same
// language, both in the menu and when it is loaded.

#include <string>
#include <vector>

class BPath;
class ZTLocale;

// The languages of the locale files in own, then those in shipped that own
// does not have, each folder in its own order. A file's language is its
// attribute or, for a file that lost its attributes on the way (installed,
// unpacked, copied), the language it holds. Folders that are not set or do
// not exist add nothing.
std::vector<std::string> InterfaceLanguages(const BPath& shipped, const BPath& own);

// Loads language into locale from own, else from shipped; false when neither
// has it (locale then shows its built-in texts).
bool SelectInterfaceLanguage(ZTLocale* locale, const BPath& shipped, const BPath& own,
                             const char* language);

#endif // INTERFACE_LANGUAGES_H
