// A list of menu items shown as a pop-up column (or, for a menu bar, a row).
//
// Ownership: the menu owns its items (and through them their submenus);
// RemoveItem() hands the removed item back to the caller.
//
// A menu is a view: items draw into it from DrawContent(). Touch a menu
// only with its window locked (or before it is shown).
#ifndef _MENU_H
#define _MENU_H

#include <memory>

#include "View.h"

class BMenuItem;
class BMessenger;

namespace BPrivate {
class MenuAccess;
struct MenuData;
} // namespace BPrivate

enum menu_layout {
	B_ITEMS_IN_ROW = 0,
	B_ITEMS_IN_COLUMN,
	B_ITEMS_IN_MATRIX,
};

class BMenu : public BView
{
public:
	BMenu(const char* name, menu_layout layout = B_ITEMS_IN_COLUMN);
	virtual ~BMenu();

	// False (and nothing added) for nullptr, an item that already belongs to a
	// menu, or an index beyond the end.
	bool AddItem(BMenuItem* item);
	bool AddItem(BMenuItem* item, int32 index);
	// Adds an item that opens the submenu, labelled with its name.
	bool AddItem(BMenu* submenu);
	bool AddItem(BMenu* submenu, int32 index);
	bool AddSeparatorItem();
	// The removed item, which the caller then owns; nullptr for a bad index.
	BMenuItem* RemoveItem(int32 index);
	bool RemoveItem(BMenuItem* item);
	bool RemoveItems(int32 index, int32 count, bool deleteItems = false);

	int32 CountItems() const;
	BMenuItem* ItemAt(int32 index) const;
	BMenu* SubmenuAt(int32 index) const;
	// -1 when the item is not in this menu.
	int32 IndexOf(BMenuItem* item) const;
	int32 IndexOf(BMenu* submenu) const;
	// Searches this menu and its submenus.
	BMenuItem* FindItem(const char* label) const;
	BMenuItem* FindItem(uint32 command) const;
	BMenuItem* FindMarked();

	// Radio mode: picking an item marks it and unmarks the others.
	virtual void SetRadioMode(bool on);
	bool IsRadioMode() const;
	// The item that opens this menu shows the label of the marked item.
	virtual void SetLabelFromMarked(bool on);
	bool IsLabelFromMarked();

	virtual void SetEnabled(bool enabled);
	bool IsEnabled() const;

	virtual status_t SetTargetForItems(BHandler* target);
	virtual status_t SetTargetForItems(BMessenger messenger);

	// The item that opens this menu, and the menu that holds that item.
	BMenuItem* Superitem() const;
	BMenu* Supermenu() const;
	menu_layout Layout() const;

	// Scripting: the menu suite ("suite/vnd.Be-menu": Menu and MenuItem by
	// index, reverse index or label, Label, Marked, Enabled, count of
	// MenuItem; B_EXECUTE_PROPERTY on a MenuItem chooses it), then the
	// view's. Submenus are answered by the menu that holds them.
	virtual BHandler* ResolveSpecifier(BMessage* message, int32 index, BMessage* specifier,
	                                   int32 form, const char* property);
	virtual status_t GetSupportedSuites(BMessage* data);

private:
	friend class BMenuItem;
	friend class BPrivate::MenuAccess;

	std::unique_ptr<BPrivate::MenuData> mMenuData;
};

#endif // _MENU_H
