// The state behind menus and menu items, and their Qt side: a column menu
// is a QMenu whose plain items are QWidgetActions drawn by the items
// themselves (GetContentSize / DrawContent); a menu bar is a QMenuBar.
// Layer-internal.
#ifndef _MENU_PRIVATE_H
#define _MENU_PRIVATE_H

#include <QMenuBar>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

#include "Menu.h"
#include "MenuItem.h"

class QAction;
class QMenu;

namespace BPrivate {

class MenuItemWidget;

struct MenuItemData
{
	std::string label;
	BMenu* submenu = nullptr;
	BMenu* menu = nullptr;
	char shortcut = 0;
	uint32 modifiers = 0;
	bool enabled = true;
	bool marked = false;
	bool separator = false;
	BRect frame;
	QPointer<QAction> action;
	QPointer<MenuItemWidget> widget;
};

struct MenuData
{
	std::vector<BMenuItem*> items;
	menu_layout layout = B_ITEMS_IN_COLUMN;
	bool radioMode = false;
	bool labelFromMarked = false;
	bool enabled = true;
	BMenuItem* superitem = nullptr;
	QPointer<QMenu> menu;   // column menus
	QPointer<QMenuBar> bar; // menu bars: the view's own widget
	bool dirty = true;
	// A bar's rebuild is waiting for the next turn of the event loop.
	bool syncQueued = false;
	// Called after the items or their labels changed (a menu field's
	// button shows its item's label this way).
	std::function<void()> changed;
	// BPopUpMenu::Go(): picks are recorded here instead of invoked.
	bool recordPick = false;
	BMenuItem* picked = nullptr;
};

// Space around an item's content inside its row: room for the mark on the
// left, and the shortcut on the right.
const float kItemLeftMargin = 20.0f;
const float kItemRightMargin = 10.0f;
const float kItemVerticalMargin = 2.0f;
const float kShortcutGap = 20.0f;

class MenuAccess
{
public:
	static MenuData* Data(const BMenu* menu) { return menu->mMenuData.get(); }
	static MenuItemData* Data(const BMenuItem* item) { return item->mItemData.get(); }

	// The QMenu of a column menu, up to date with its items.
	static QMenu* QtMenu(BMenu* menu);
	// The QMenu of a column menu, made if need be, but its rows built only
	// when it is about to show (or by QtMenu): a menu bar or menu field
	// needs the QMenu itself long before anyone opens it.
	static QMenu* LazyQtMenu(BMenu* menu);
	// Rebuilds the Qt side (QMenu or QMenuBar) from the items.
	static void Sync(BMenu* menu);
	// A bar is rebuilt once, not on every AddItem: before its widget is
	// measured or shown, or else on the next turn of the event loop.
	static void SyncLater(BMenu* menu);
	static void SyncIfDirty(BMenu* menu);
	static void SetBarWidget(BMenu* menu, QMenuBar* bar);
	// Shows a changed label, mark or enabled state.
	static void ItemChanged(BMenuItem* item);

	// The item's size and drawing, for the widget that shows it.
	static void GetContentSize(BMenuItem* item, float* width, float* height);
	static void DrawContent(BMenuItem* item);
	// The text shown for the item's shortcut ("Ctrl+Q"), or empty.
	static QString ShortcutText(const BMenuItem* item);
	// The widget that draws a plain item of a column menu, once built.
	static QWidget* ItemWidget(const BMenuItem* item);

	// Picking: radio marking, then Invoke() (or recording, for Go()).
	static void ItemPicked(BMenuItem* item);
	static BMenuItem* FindShortcut(BMenu* menu, uint32 key, uint32 modifiers);
	static void InvokeFromShortcut(BMenuItem* item);

	// The window that items of the menu send to by default.
	static BWindow* WindowOf(const BMenu* menu);
};

// Held by BMenuField while it makes its bar: that bar shows on the field's
// own button, so it needs no Qt menu bar, which costs a style icon and an
// extension button to make. One thread's constructions only.
class FieldBarScope
{
public:
	FieldBarScope();
	~FieldBarScope();
	FieldBarScope(const FieldBarScope&) = delete;
	FieldBarScope& operator=(const FieldBarScope&) = delete;

	static bool Active();

private:
	bool mWasActive;
};

// A menu bar's widget: brings its actions up to date before Qt measures,
// polishes or shows it, so that a bar filled item by item is rebuilt once.
class MenuBarWidget : public QMenuBar
{
public:
	explicit MenuBarWidget(BMenu* menu);

	// The menu is going away; the widget may outlive it for a moment.
	void Forget() { mMenu = nullptr; }

	QSize sizeHint() const override;
	QSize minimumSizeHint() const override;

protected:
	bool event(QEvent* event) override;

private:
	void _SyncIfDirty() const;

	BMenu* mMenu;
};

} // namespace BPrivate

#endif // _MENU_PRIVATE_H
