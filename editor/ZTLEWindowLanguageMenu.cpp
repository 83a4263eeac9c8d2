// The interface language menu: "English" and the language of every locale
// file in the folder beside the application (and, when that folder is
// read-only, in the user's own locale folder), kept sorted and rebuilt when
// those folders change.

#include "ZTLEWindow.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "Application.h"
#include "Directory.h"
#include "Entry.h"
#include "Menu.h"
#include "MenuItem.h"
#include "Message.h"
#include "Node.h"
#include "NodeMonitor.h"
#include "Path.h"
#include "TypeConstants.h"

#include "AppFolder.h"
#include "EditorMessages.h"
#include "LocaleFile.h"

namespace {

// Longer language names are cut to this many bytes.
const size_t kLanguageNameMax = 64;

// The language of a locale file: its attribute, or, for a file that lost
// its attributes on the way (installed, unpacked, copied), the language the
// file itself holds. Empty for anything else.
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

// The languages of the locale files in folder, in the folder's order.
std::vector<std::string> FolderLanguages(const BPath& folder)
{
	std::vector<std::string> languages;
	BDirectory directory(folder.Path());
	if (folder.InitCheck() != B_OK || directory.InitCheck() != B_OK)
		return languages;
	BEntry entry;
	while (directory.GetNextEntry(&entry, true) == B_OK && entry.InitCheck() == B_OK) {
		std::string language = FileLanguage(entry);
		if (!language.empty())
			languages.push_back(language);
	}
	return languages;
}

} // namespace

void ZTLEWindow::BuildLanguageMenu(BMenu* menu, const char* language)
{
	if (menu == nullptr)
		return;
	BPath folder;
	BPath userFolder;
	GetLocaleFolder(be_app, &folder);
	GetUserLocaleFolder(be_app, &userFolder);

	InsertLanguageItem(menu, CreateLanguageItem(kBuiltInLanguage));
	// The user's own translations win over the shipped ones of the same
	// language, as choosing one loads the user's file first.
	std::vector<std::string> own = FolderLanguages(userFolder);
	for (const std::string& name : own)
		InsertLanguageItem(menu, CreateLanguageItem(name.c_str()));
	for (const std::string& name : FolderLanguages(folder)) {
		if (std::find(own.begin(), own.end(), name) == own.end())
			InsertLanguageItem(menu, CreateLanguageItem(name.c_str()));
	}

	menu->SetRadioMode(true);
	menu->SetTargetForItems(this);
	if (language != nullptr) {
		for (int32 i = 0; BMenuItem* item = menu->ItemAt(i); i++) {
			if (item->Label() != nullptr && strcmp(item->Label(), language) == 0) {
				item->SetMarked(true);
				break;
			}
		}
	}
}

void ZTLEWindow::InsertLanguageItem(BMenu* menu, BMenuItem* item)
{
	if (menu == nullptr || item == nullptr)
		return;
	const char* label = item->Label() != nullptr ? item->Label() : "";
	int32 count = menu->CountItems();
	for (int32 i = 0; i < count; i++) {
		const char* other = menu->ItemAt(i)->Label();
		int order = strcmp(label, other != nullptr ? other : "");
		if (order < 0) {
			menu->AddItem(item, i);
			return;
		}
		if (order == 0) {
			// A second file of the same language; its message keeps the name.
			item->SetLabel((std::string(label) + "(2)").c_str());
			menu->AddItem(item, i + 1);
			return;
		}
	}
	menu->AddItem(item, count);
}

BMenuItem* ZTLEWindow::CreateLanguageItem(const char* language)
{
	BMessage* message = new BMessage(kMsgLanguage);
	message->AddString(kFieldLanguage, language);
	return new BMenuItem(language, message, 0, 0);
}

void ZTLEWindow::UpdateLocaleMenu(BMessage* message)
{
	int32 opcode = 0;
	if (message->FindInt32("opcode", &opcode) != B_OK || opcode < B_ENTRY_CREATED ||
	    opcode > B_ENTRY_MOVED || mLanguageMenu == nullptr)
		return;

	std::string marked;
	while (BMenuItem* item = mLanguageMenu->RemoveItem((int32)0)) {
		if (item->IsMarked() && item->Label() != nullptr)
			marked = item->Label();
		delete item;
	}
	BuildLanguageMenu(mLanguageMenu, marked.c_str());
}
