// BPopUpMenu: a column menu for menu fields.
#include "PopUpMenu.h"

#include <QMenu>

#include <cmath>

#include "MenuPrivate.h"

BPopUpMenu::BPopUpMenu(const char* title, bool radioMode, bool labelFromMarked, menu_layout layout)
    : BMenu(title, layout)
{
	SetLabelFromMarked(labelFromMarked);
	SetRadioMode(radioMode);
}

BPopUpMenu::~BPopUpMenu() {}

BMenuItem* BPopUpMenu::Go(BPoint where, bool deliversMessage, bool openAnyway, bool async)
{
	(void)openAnyway;
	(void)async;
	BPrivate::MenuData* data = BPrivate::MenuAccess::Data(this);
	QMenu* menu = BPrivate::MenuAccess::QtMenu(this);
	data->recordPick = true;
	data->picked = nullptr;
	menu->exec(QPoint((int)std::lround(where.x), (int)std::lround(where.y)));
	data->recordPick = false;
	BMenuItem* picked = data->picked;
	data->picked = nullptr;
	if (picked != nullptr && deliversMessage)
		BPrivate::MenuAccess::InvokeFromShortcut(picked);
	return picked;
}
