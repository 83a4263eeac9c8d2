#include "AppRefPopUp.h"

#include "LocaleSuiteClient.h"
#include "ZTBitmapMenuItem.h"

#include <Bitmap.h>
#include <Entry.h>
#include <List.h>
#include <Node.h>
#include <NodeInfo.h>
#include <PopUpMenu.h>
#include <Roster.h>

#include <cstring>

const char* const kFieldAppSignature = "signature";
const char* const kFieldAppName = "name";
const char* const kAppRefMenuTitle = "Application Reference";
const char* const kLostFileLabel = "<Lost File>";

BPopUpMenu* CreateAppRefMenu(const LocaleSuiteClient& client)
{
	BPopUpMenu* menu = CreateEmptyAppRefMenu();
	FillAppRefMenu(menu, client);
	return menu;
}

BPopUpMenu* CreateEmptyAppRefMenu()
{
	// Radio mode off and the label taken from a marked item: nothing is ever
	// marked, so the field always shows the title.
	return new BPopUpMenu(kAppRefMenuTitle, false, true, B_ITEMS_IN_COLUMN);
}

std::vector<team_id> LocaleAppTeams(const LocaleSuiteClient& client)
{
	std::vector<team_id> locale;
	BList teams(20);
	be_roster->GetAppList(&teams);
	for (int32 index = 0; index < teams.CountItems(); index++) {
		team_id team = static_cast<team_id>(reinterpret_cast<addr_t>(teams.ItemAt(index)));
		if (client.IsLocaleApp(team))
			locale.push_back(team);
	}
	return locale;
}

void FillAppRefMenu(BPopUpMenu* menu, const LocaleSuiteClient& client)
{
	FillAppRefMenu(menu, LocaleAppTeams(client));
}

void FillAppRefMenu(BPopUpMenu* menu, const std::vector<team_id>& teams)
{
	if (menu == nullptr)
		return;
	while (BMenuItem* item = menu->RemoveItem(static_cast<int32>(0)))
		delete item;
	for (team_id team : teams)
		menu->AddItem(CreateAppRefItem(team));
}

ZTBitmapMenuItem* CreateAppRefItem(team_id team)
{
	// An application that is gone by now leaves info empty: its item is
	// then a lost file without a signature, which fetches nothing.
	app_info info;
	be_roster->GetRunningAppInfo(team, &info);

	BEntry entry(&info.ref, false);
	BNode node(&entry);
	BNodeInfo nodeInfo;
	char label[B_FILE_NAME_LENGTH];
	BBitmap* icon = nullptr;
	if (node.InitCheck() != B_OK || nodeInfo.SetTo(&node) != B_OK || entry.GetName(label) != B_OK) {
		strcpy(label, kLostFileLabel);
	} else {
		icon = new BBitmap(BRect(0, 0, B_MINI_ICON - 1, B_MINI_ICON - 1), B_CMAP8);
		// Transparent where the program has no icon at all.
		if (icon->Bits() != nullptr)
			memset(icon->Bits(), B_TRANSPARENT_MAGIC_CMAP8, icon->BitsLength());
		nodeInfo.GetIcon(icon, B_MINI_ICON);
	}

	BMessage* message = new BMessage(kMsgGetReference);
	message->AddString(kFieldAppSignature, info.signature);
	// The window names the application by it while it asks.
	message->AddString(kFieldAppName, label);
	return new ZTBitmapMenuItem(label, icon, message, 0, 0);
}
