// An item of a menu: a label with an optional shortcut and mark, or a
// submenu. Invoking it sends its message with "when", "source" (this item)
// and "index" (its place in the menu).
//
// Ownership: the item owns its message and its submenu; a menu owns its
// items. Targets: by default the window of the menu's top-level menu bar or
// menu field.
#ifndef _MENU_ITEM_H
#define _MENU_ITEM_H

#include <memory>

#include "Invoker.h"
#include "Point.h"
#include "Rect.h"

class BMenu;
class BMessage;

namespace BPrivate {
class MenuAccess;
struct MenuItemData;
} // namespace BPrivate

class BMenuItem : public BInvoker
{
public:
	// shortcut is typed with the command key (Ctrl) plus modifiers.
	BMenuItem(const char* label, BMessage* message, char shortcut = 0, uint32 modifiers = 0);
	BMenuItem(BMenu* submenu, BMessage* message = nullptr);
	virtual ~BMenuItem();

	virtual void SetLabel(const char* label);
	const char* Label() const;
	virtual void SetEnabled(bool enabled);
	// False also when the item's menu or a menu above it is disabled.
	bool IsEnabled() const;
	virtual void SetMarked(bool marked);
	bool IsMarked() const;
	virtual void SetShortcut(char shortcut, uint32 modifiers);
	char Shortcut(uint32* modifiers = nullptr) const;

	BMenu* Submenu() const;
	BMenu* Menu() const;
	// The item's area inside its menu, in the menu's coordinates.
	BRect Frame() const;

	virtual status_t Invoke(BMessage* message = nullptr);

protected:
	// Size of the content (the label, without mark and shortcut) and how to
	// draw it. The menu sizes every item through GetContentSize() and calls
	// DrawContent() with the pen at ContentLocation(), drawing into the
	// menu (Menu() as the view).
	virtual void GetContentSize(float* width, float* height);
	virtual void DrawContent();
	BPoint ContentLocation() const;

private:
	friend class BMenu;
	friend class BPrivate::MenuAccess;

	std::unique_ptr<BPrivate::MenuItemData> mItemData;
};

// A line between groups of items.
class BSeparatorItem : public BMenuItem
{
public:
	BSeparatorItem();
	virtual ~BSeparatorItem();
	virtual void SetEnabled(bool enabled);

protected:
	virtual void GetContentSize(float* width, float* height);
	virtual void DrawContent();
};

#endif // _MENU_ITEM_H
