// The interface language menu: "English" and the language of every locale
// file in the folder beside the application (and, when that folder is
// read-only, in the user's own locale folder), kept sorted and rebuilt when
// those folders change.

#include "ZTLEWindow.h"

#include <cstring>
#include <string>

#include "Application.h"
#include "Menu.h"
#include "MenuItem.h"
#include "Message.h"
#include "NodeMonitor.h"
#include "Path.h"

#include "AppFolder.h"
#include "EditorMessages.h"
#include "InterfaceLanguages.h"

void ZTLEWindow::BuildLanguageMenu(BMenu* menu, const char* language)
{
	if (menu == nullptr)
		return;
	BPath folder;
	BPath userFolder;
	GetLocaleFolder(be_app, &folder);
	GetUserLocaleFolder(be_app, &userFolder);

	InsertLanguageItem(menu, CreateLanguageItem(kBuiltInLanguage));
	for (const std::string& name : InterfaceLanguages(folder, userFolder))
		InsertLanguageItem(menu, CreateLanguageItem(name.c_str()));

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
