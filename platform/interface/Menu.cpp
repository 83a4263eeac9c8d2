// BMenu: the item list, and its Qt side (QMenu or QMenuBar), rebuilt from
// the list when items came or went and the Qt side is about to be seen.
#include "Menu.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QWidgetAction>

#include <algorithm>
#include <cctype>
#include <cstring>

#include "MenuItem.h"
#include "MenuItemWidget.h"
#include "MenuPrivate.h"
#include "Message.h"
#include "Messenger.h"
#include "ViewPrivate.h"
#include "Window.h"

namespace BPrivate {

namespace {

QString action_text(const char* label)
{
	return QString::fromUtf8(label).replace(QLatin1Char('&'), QLatin1String("&&"));
}

// Takes the item's action and widget out of the menu's Qt side.
void forget_item(MenuData* data, BMenuItem* item)
{
	MenuItemData* itemData = MenuAccess::Data(item);
	if (itemData->widget)
		itemData->widget->Detach();
	if (itemData->action) {
		// Later: the action's widget may be the one whose event led here.
		if (data->menu)
			data->menu->removeAction(itemData->action);
		if (data->bar)
			data->bar->removeAction(itemData->action);
		itemData->action->deleteLater();
	}
	itemData->action = nullptr;
	itemData->widget = nullptr;
}

void forget_actions(MenuData* data)
{
	for (BMenuItem* item : data->items)
		forget_item(data, item);
}

QAction* make_action(BMenuItem* item, QWidget* owner, bool custom)
{
	MenuItemData* data = MenuAccess::Data(item);
	QAction* action;
	if (data->separator) {
		action = new QAction(owner);
		action->setSeparator(true);
	} else if (data->submenu != nullptr) {
		action = new QAction(action_text(item->Label()), owner);
		action->setMenu(MenuAccess::LazyQtMenu(data->submenu));
	} else if (custom) {
		QWidgetAction* widgetAction = new QWidgetAction(owner);
		MenuItemWidget* widget = new MenuItemWidget(item);
		widgetAction->setDefaultWidget(widget);
		data->widget = widget;
		action = widgetAction;
	} else {
		action = new QAction(action_text(item->Label()), owner);
		action->setCheckable(data->marked);
		action->setChecked(data->marked);
	}
	action->setEnabled(item->IsEnabled());
	if (!data->separator && data->submenu == nullptr) {
		QObject::connect(action, &QAction::triggered, action, [item, action] {
			// Keyboard activation in a QMenu; clicks on a drawn row come
			// from the row itself.
			if (MenuAccess::Data(item)->action != action)
				return;
			close_popups();
			MenuAccess::ItemPicked(item);
		});
	}
	return action;
}

} // namespace

QMenu* MenuAccess::QtMenu(BMenu* menu)
{
	MenuData* data = menu->mMenuData.get();
	LazyQtMenu(menu);
	if (data->dirty)
		Sync(menu);
	return data->menu;
}

QMenu* MenuAccess::LazyQtMenu(BMenu* menu)
{
	MenuData* data = menu->mMenuData.get();
	if (!data->menu) {
		QMenu* qmenu = new QMenu;
		qmenu->setTitle(action_text(menu->Name() != nullptr ? menu->Name() : ""));
		BFont font;
		menu->GetFont(&font);
		qmenu->setFont(to_qfont(font));
		QObject::connect(qmenu, &QMenu::aboutToShow, qmenu, [menu] {
			if (menu->mMenuData->dirty)
				Sync(menu);
		});
		data->menu = qmenu;
		data->dirty = true;
	}
	return data->menu;
}

void MenuAccess::Sync(BMenu* menu)
{
	MenuData* data = menu->mMenuData.get();
	forget_actions(data);
	if (data->bar) {
		for (BMenuItem* item : data->items)
			data->bar->addAction(Data(item)->action = make_action(item, data->bar, false));
	} else if (data->menu) {
		for (BMenuItem* item : data->items)
			data->menu->addAction(Data(item)->action = make_action(item, data->menu, true));
		data->menu->adjustSize();
	} else if (!data->changed)
		return;
	data->dirty = false;
	if (data->changed)
		data->changed();
}

void MenuAccess::SyncLater(BMenu* menu)
{
	MenuData* data = menu->mMenuData.get();
	data->dirty = true;
	if (data->syncQueued || !data->bar)
		return;
	data->syncQueued = true;
	// The bar widget as context: gone with the bar, the call is dropped.
	QTimer::singleShot(0, data->bar.data(), [menu] {
		menu->mMenuData->syncQueued = false;
		SyncIfDirty(menu);
	});
}

void MenuAccess::SyncIfDirty(BMenu* menu)
{
	if (menu->mMenuData->dirty)
		Sync(menu);
}

void MenuAccess::SetBarWidget(BMenu* menu, QMenuBar* bar)
{
	menu->mMenuData->bar = bar;
	SyncLater(menu);
}

void MenuAccess::ItemChanged(BMenuItem* item)
{
	MenuItemData* data = item->mItemData.get();
	if (data->action) {
		data->action->setEnabled(item->IsEnabled());
		if (!data->widget) {
			data->action->setText(action_text(item->Label()));
			data->action->setCheckable(data->marked);
			data->action->setChecked(data->marked);
		}
	}
	if (data->menu != nullptr && data->menu->mMenuData->changed)
		data->menu->mMenuData->changed();
	if (data->widget) {
		data->widget->updateGeometry();
		data->widget->update();
		if (data->menu != nullptr && data->menu->mMenuData->menu)
			data->menu->mMenuData->menu->adjustSize();
	}
}

void MenuAccess::GetContentSize(BMenuItem* item, float* width, float* height)
{
	item->GetContentSize(width, height);
}

void MenuAccess::DrawContent(BMenuItem* item)
{
	item->DrawContent();
}

QString MenuAccess::ShortcutText(const BMenuItem* item)
{
	uint32 modifiers = 0;
	char shortcut = item->Shortcut(&modifiers);
	if (shortcut == 0)
		return QString();
	QString text = QStringLiteral("Ctrl+");
	if ((modifiers & B_SHIFT_KEY) != 0)
		text += QStringLiteral("Shift+");
	if ((modifiers & B_OPTION_KEY) != 0)
		text += QStringLiteral("Alt+");
	return text + QChar((char)std::toupper((unsigned char)shortcut));
}

QWidget* MenuAccess::ItemWidget(const BMenuItem* item)
{
	return item->mItemData->widget.data();
}

void MenuAccess::ItemPicked(BMenuItem* item)
{
	BMenu* menu = item->Menu();
	BWindow* window = WindowOf(menu);
	bool locked = window != nullptr && window->Lock();
	if (menu != nullptr && menu->mMenuData->recordPick) {
		menu->mMenuData->picked = item;
	} else {
		if (menu != nullptr && menu->IsRadioMode())
			item->SetMarked(true);
		item->Invoke();
	}
	if (locked)
		window->Unlock();
}

BMenuItem* MenuAccess::FindShortcut(BMenu* menu, uint32 key, uint32 modifiers)
{
	const uint32 kRelevant = B_SHIFT_KEY | B_OPTION_KEY | B_CONTROL_KEY;
	if (!menu->IsEnabled())
		return nullptr;
	for (BMenuItem* item : menu->mMenuData->items) {
		uint32 itemModifiers = 0;
		char shortcut = item->Shortcut(&itemModifiers);
		if (shortcut != 0 && item->IsEnabled() &&
		    std::tolower((unsigned char)shortcut) == std::tolower((int)(key & 0xff)) &&
		    (itemModifiers & kRelevant) == (modifiers & kRelevant)) {
			return item;
		}
		if (item->Submenu() != nullptr) {
			if (BMenuItem* found = FindShortcut(item->Submenu(), key, modifiers))
				return found;
		}
	}
	return nullptr;
}

void MenuAccess::InvokeFromShortcut(BMenuItem* item)
{
	BMenu* menu = item->Menu();
	if (menu != nullptr && menu->IsRadioMode())
		item->SetMarked(true);
	item->Invoke();
}

BWindow* MenuAccess::WindowOf(const BMenu* menu)
{
	while (menu != nullptr) {
		if (menu->Window() != nullptr)
			return menu->Window();
		BMenuItem* super = menu->Superitem();
		menu = super != nullptr ? super->Menu() : nullptr;
	}
	return nullptr;
}

} // namespace BPrivate

using BPrivate::MenuAccess;

BMenu::BMenu(const char* name, menu_layout layout)
    : BView(BRect(0, 0, 0, 0), name, B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW),
      mMenuData(std::make_unique<BPrivate::MenuData>())
{
	mMenuData->layout = layout;
}

BMenu::~BMenu()
{
	if (auto* barWidget = dynamic_cast<BPrivate::MenuBarWidget*>(mMenuData->bar.data()))
		barWidget->Forget();
	BPrivate::forget_actions(mMenuData.get());
	std::vector<BMenuItem*> items;
	items.swap(mMenuData->items);
	for (BMenuItem* item : items) {
		MenuAccess::Data(item)->menu = nullptr;
		delete item;
	}
	if (mMenuData->superitem != nullptr)
		MenuAccess::Data(mMenuData->superitem)->submenu = nullptr;
	delete mMenuData->menu.data();
}

bool BMenu::AddItem(BMenuItem* item)
{
	return AddItem(item, CountItems());
}

bool BMenu::AddItem(BMenuItem* item, int32 index)
{
	if (item == nullptr || item->Menu() != nullptr || index < 0 || index > CountItems())
		return false;
	// A menu inside itself would recurse for ever.
	for (BMenu* above = this; above != nullptr;) {
		if (above == item->Submenu())
			return false;
		BMenuItem* super = above->Superitem();
		above = super != nullptr ? super->Menu() : nullptr;
	}
	mMenuData->items.insert(mMenuData->items.begin() + index, item);
	MenuAccess::Data(item)->menu = this;
	if (item->IsMarked() && IsRadioMode())
		item->SetMarked(true);
	mMenuData->dirty = true;
	if (mMenuData->bar)
		MenuAccess::SyncLater(this);
	else if (mMenuData->changed || (mMenuData->menu && mMenuData->menu->isVisible()))
		MenuAccess::Sync(this);
	return true;
}

bool BMenu::AddItem(BMenu* submenu)
{
	return AddItem(submenu, CountItems());
}

bool BMenu::AddItem(BMenu* submenu, int32 index)
{
	if (submenu == nullptr || submenu->Superitem() != nullptr)
		return false;
	BMenuItem* item = new BMenuItem(submenu);
	if (!AddItem(item, index)) {
		MenuAccess::Data(submenu)->superitem = nullptr;
		MenuAccess::Data(item)->submenu = nullptr;
		delete item;
		return false;
	}
	return true;
}

bool BMenu::AddSeparatorItem()
{
	BMenuItem* separator = new BSeparatorItem;
	if (!AddItem(separator)) {
		delete separator;
		return false;
	}
	return true;
}

BMenuItem* BMenu::RemoveItem(int32 index)
{
	if (index < 0 || index >= CountItems())
		return nullptr;
	BMenuItem* item = mMenuData->items[index];
	BPrivate::forget_item(mMenuData.get(), item);
	MenuAccess::Data(item)->menu = nullptr;
	mMenuData->items.erase(mMenuData->items.begin() + index);
	if (mMenuData->menu)
		mMenuData->menu->adjustSize();
	if (mMenuData->changed)
		mMenuData->changed();
	return item;
}

bool BMenu::RemoveItem(BMenuItem* item)
{
	return RemoveItem(IndexOf(item)) != nullptr;
}

bool BMenu::RemoveItems(int32 index, int32 count, bool deleteItems)
{
	if (index < 0 || count < 0 || index + count > CountItems())
		return false;
	for (int32 i = 0; i < count; i++) {
		BMenuItem* item = RemoveItem(index);
		if (deleteItems)
			delete item;
	}
	return true;
}

int32 BMenu::CountItems() const
{
	return (int32)mMenuData->items.size();
}

BMenuItem* BMenu::ItemAt(int32 index) const
{
	if (index < 0 || index >= CountItems())
		return nullptr;
	return mMenuData->items[index];
}

BMenu* BMenu::SubmenuAt(int32 index) const
{
	BMenuItem* item = ItemAt(index);
	return item != nullptr ? item->Submenu() : nullptr;
}

int32 BMenu::IndexOf(BMenuItem* item) const
{
	auto& items = mMenuData->items;
	auto found = std::find(items.begin(), items.end(), item);
	return found == items.end() ? -1 : (int32)(found - items.begin());
}

int32 BMenu::IndexOf(BMenu* submenu) const
{
	for (int32 i = 0; i < CountItems(); i++) {
		if (mMenuData->items[i]->Submenu() == submenu)
			return i;
	}
	return -1;
}

BMenuItem* BMenu::FindItem(const char* label) const
{
	if (label == nullptr)
		return nullptr;
	for (BMenuItem* item : mMenuData->items) {
		if (!MenuAccess::Data(item)->separator && std::strcmp(item->Label(), label) == 0)
			return item;
		if (item->Submenu() != nullptr) {
			if (BMenuItem* found = item->Submenu()->FindItem(label))
				return found;
		}
	}
	return nullptr;
}

BMenuItem* BMenu::FindItem(uint32 command) const
{
	for (BMenuItem* item : mMenuData->items) {
		if (item->Message() != nullptr && item->Command() == command)
			return item;
		if (item->Submenu() != nullptr) {
			if (BMenuItem* found = item->Submenu()->FindItem(command))
				return found;
		}
	}
	return nullptr;
}

BMenuItem* BMenu::FindMarked()
{
	for (BMenuItem* item : mMenuData->items) {
		if (item->IsMarked())
			return item;
	}
	return nullptr;
}

void BMenu::SetRadioMode(bool on)
{
	mMenuData->radioMode = on;
}

bool BMenu::IsRadioMode() const
{
	return mMenuData->radioMode;
}

void BMenu::SetLabelFromMarked(bool on)
{
	mMenuData->labelFromMarked = on;
	BMenuItem* marked = on ? FindMarked() : nullptr;
	if (marked != nullptr && Superitem() != nullptr)
		Superitem()->SetLabel(marked->Label());
}

bool BMenu::IsLabelFromMarked()
{
	return mMenuData->labelFromMarked;
}

void BMenu::SetEnabled(bool enabled)
{
	mMenuData->enabled = enabled;
	for (BMenuItem* item : mMenuData->items)
		MenuAccess::ItemChanged(item);
	if (Superitem() != nullptr)
		MenuAccess::ItemChanged(Superitem());
}

bool BMenu::IsEnabled() const
{
	return mMenuData->enabled;
}

status_t BMenu::SetTargetForItems(BHandler* target)
{
	status_t result = B_OK;
	for (BMenuItem* item : mMenuData->items) {
		status_t status = item->SetTarget(target);
		if (status != B_OK)
			result = status;
	}
	return result;
}

status_t BMenu::SetTargetForItems(BMessenger messenger)
{
	for (BMenuItem* item : mMenuData->items)
		item->SetTarget(messenger);
	return B_OK;
}

BMenuItem* BMenu::Superitem() const
{
	return mMenuData->superitem;
}

BMenu* BMenu::Supermenu() const
{
	return mMenuData->superitem != nullptr ? mMenuData->superitem->Menu() : nullptr;
}

menu_layout BMenu::Layout() const
{
	return mMenuData->layout;
}
