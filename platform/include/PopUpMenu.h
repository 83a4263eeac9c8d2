// A menu that pops up from a menu field (or at a point).
#ifndef _POP_UP_MENU_H
#define _POP_UP_MENU_H

#include "Menu.h"

class BPopUpMenu : public BMenu
{
public:
	BPopUpMenu(const char* title, bool radioMode = true, bool labelFromMarked = true,
	           menu_layout layout = B_ITEMS_IN_COLUMN);
	virtual ~BPopUpMenu();

	// Shows the menu at a screen point and returns the item picked (not
	// invoked), or nullptr. Runs a nested event loop.
	BMenuItem* Go(BPoint where, bool deliversMessage = false, bool openAnyway = false,
	              bool async = false);
};

#endif // _POP_UP_MENU_H
