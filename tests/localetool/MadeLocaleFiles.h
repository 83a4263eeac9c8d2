// Locale files made for the localetool tests, written as the editor writes
// them.
#ifndef TESTS_LOCALETOOL_MADE_LOCALE_FILES_H
#define TESTS_LOCALETOOL_MADE_LOCALE_FILES_H

#include <string>
#include <vector>

// Writes a locale file of texts (entry 1 first, empty ones kept) with the
// header fields and the language attribute.
void MakeLocaleFile(const std::string& path, const std::string& language,
                    const std::vector<std::string>& texts, const std::string& version = "1.0.0",
                    const std::string& appID = "my app");

// The zt:language attribute of the file at path, or "(none)".
std::string LanguageAttribute(const std::string& path);

#endif // TESTS_LOCALETOOL_MADE_LOCALE_FILES_H
