#include "InterfaceLanguages.h"

#include <algorithm>

#include "Directory.h"
#include "Entry.h"
#include "Message.h"
#include "Node.h"
#include "Path.h"
#include "TypeConstants.h"

#include "LocaleFile.h"
#include "ZTLocale.h"

namespace {

// Longer language names are cut to this many bytes.
const size_t kLanguageNameMax = 64;

std::string FileLanguage(const BEntry& entry)
{
	BNode node(&entry);
	char name[kLanguageNameMax + 1];
	ssize_t size = node.ReadAttr(kLocaleLanguageAttr, B_STRING_TYPE, 0, name, kLanguageNameMax);
	if (size > 0)
		return std::string(name, size);
	if (size == 0)
		return std::string();
	BPath path;
	BMessage locale;
	const char* language = nullptr;
	if (entry.GetPath(&path) != B_OK || LocaleFile::Read(path.Path(), &locale) != B_OK ||
	    locale.FindString(kLocaleFieldLanguage, &language) != B_OK || language == nullptr)
		return std::string();
	return std::string(language).substr(0, kLanguageNameMax);
}

std::vector<std::string> FolderLanguages(const BPath& folder)
{
	std::vector<std::string> languages;
	if (folder.InitCheck() != B_OK)
		return languages;
	BDirectory directory(folder.Path());
	BEntry entry;
	while (directory.InitCheck() == B_OK && directory.GetNextEntry(&entry, true) == B_OK &&
	       entry.InitCheck() == B_OK) {
		std::string language = FileLanguage(entry);
		if (!language.empty())
			languages.push_back(language);
	}
	return languages;
}

} // namespace

std::vector<std::string> InterfaceLanguages(const BPath& shipped, const BPath& own)
{
	std::vector<std::string> languages = FolderLanguages(own);
	const size_t ownCount = languages.size();
	for (const std::string& language : FolderLanguages(shipped)) {
		auto ownEnd = languages.begin() + ownCount;
		if (std::find(languages.begin(), ownEnd, language) == ownEnd)
			languages.push_back(language);
	}
	return languages;
}

bool SelectInterfaceLanguage(ZTLocale* locale, const BPath& shipped, const BPath& own,
                             const char* language)
{
	if (locale == nullptr)
		return false;
	BPath ownFolder(own);
	if (own.InitCheck() == B_OK && locale->SetLanguage(&ownFolder, language))
		return true;
	BPath shippedFolder(shipped);
	return locale->SetLanguage(&shippedFolder, language);
}
