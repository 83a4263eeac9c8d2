// The interface language menu: "English" and the language of every locale
// file in the folder beside the application, kept sorted and rebuilt when
// that folder changes.

#include "ZTLEWindow.h"

#include <cstring>
#include <string>

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

} // namespace

void ZTLEWindow::BuildLanguageMenu(BMenu* menu, const char* language)
{
	if (menu == nullptr)
		return;
	BPath folder;
	BDirectory directory;
	if (GetLocaleFolder(be_app, &folder) == B_OK)
		directory.SetTo(folder.Path());

	InsertLanguageItem(menu, CreateLanguageItem(kBuiltInLanguage));

	if (directory.InitCheck() == B_OK) {
		BEntry entry;
		while (directory.GetNextEntry(&entry, true) == B_OK && entry.InitCheck() == B_OK) {
			BNode node(&entry);
			char name[kLanguageNameMax + 1];
			ssize_t size =
			    node.ReadAttr(kLocaleLanguageAttr, B_STRING_TYPE, 0, name, kLanguageNameMax);
			if (size <= 0)
				continue;
			name[size] = '\0';
			InsertLanguageItem(menu, CreateLanguageItem(name));
		}
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
