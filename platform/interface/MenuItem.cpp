// BMenuItem: label, shortcut, mark, submenu; invoking adds "source" and
// "index".
#include "MenuItem.h"

#include <QAction>

#include <cctype>
#include <cmath>

#include "Menu.h"
#include "MenuItemWidget.h"
#include "MenuPrivate.h"
#include "Message.h"
#include "Messenger.h"
#include "OS.h"
#include "Window.h"

using BPrivate::MenuAccess;

BMenuItem::BMenuItem(const char* label, BMessage* message, char shortcut, uint32 modifiers)
    : BInvoker(message, nullptr, nullptr), mItemData(std::make_unique<BPrivate::MenuItemData>())
{
	mItemData->label = label != nullptr ? label : "";
	mItemData->shortcut = shortcut;
	mItemData->modifiers = modifiers;
}

BMenuItem::BMenuItem(BMenu* submenu, BMessage* message)
    : BInvoker(message, nullptr, nullptr), mItemData(std::make_unique<BPrivate::MenuItemData>())
{
	mItemData->submenu = submenu;
	if (submenu != nullptr) {
		mItemData->label = submenu->Name() != nullptr ? submenu->Name() : "";
		MenuAccess::Data(submenu)->superitem = this;
	}
}

BMenuItem::~BMenuItem()
{
	if (mItemData->menu != nullptr)
		mItemData->menu->RemoveItem(this);
	if (mItemData->widget)
		mItemData->widget->Detach();
	if (mItemData->submenu != nullptr) {
		MenuAccess::Data(mItemData->submenu)->superitem = nullptr;
		delete mItemData->submenu;
	}
}

void BMenuItem::SetLabel(const char* label)
{
	mItemData->label = label != nullptr ? label : "";
	MenuAccess::ItemChanged(this);
}

const char* BMenuItem::Label() const
{
	return mItemData->label.c_str();
}

void BMenuItem::SetEnabled(bool enabled)
{
	if (mItemData->enabled == enabled)
		return;
	mItemData->enabled = enabled;
	MenuAccess::ItemChanged(this);
}

bool BMenuItem::IsEnabled() const
{
	if (!mItemData->enabled)
		return false;
	for (const BMenu* menu = mItemData->menu; menu != nullptr;) {
		if (!menu->IsEnabled())
			return false;
		BMenuItem* super = menu->Superitem();
		if (super == nullptr)
			break;
		if (!super->mItemData->enabled)
			return false;
		menu = super->Menu();
	}
	return true;
}

void BMenuItem::SetMarked(bool marked)
{
	BMenu* menu = mItemData->menu;
	if (marked && menu != nullptr && menu->IsRadioMode()) {
		for (int32 i = 0; i < menu->CountItems(); i++) {
			BMenuItem* other = menu->ItemAt(i);
			if (other != this && other->mItemData->marked) {
				other->mItemData->marked = false;
				MenuAccess::ItemChanged(other);
			}
		}
	}
	mItemData->marked = marked;
	MenuAccess::ItemChanged(this);
	if (marked && menu != nullptr && menu->IsLabelFromMarked() && menu->Superitem() != nullptr)
		menu->Superitem()->SetLabel(Label());
}

bool BMenuItem::IsMarked() const
{
	return mItemData->marked;
}

void BMenuItem::SetShortcut(char shortcut, uint32 modifiers)
{
	mItemData->shortcut = shortcut;
	mItemData->modifiers = modifiers;
	MenuAccess::ItemChanged(this);
}

char BMenuItem::Shortcut(uint32* modifiers) const
{
	if (modifiers != nullptr)
		*modifiers = mItemData->modifiers;
	return mItemData->shortcut;
}

BMenu* BMenuItem::Submenu() const
{
	return mItemData->submenu;
}

BMenu* BMenuItem::Menu() const
{
	return mItemData->menu;
}

BRect BMenuItem::Frame() const
{
	return mItemData->frame;
}

status_t BMenuItem::Invoke(BMessage* message)
{
	if (message == nullptr)
		message = Message();
	if (message == nullptr)
		return B_BAD_VALUE;
	if (!IsEnabled())
		return B_NOT_ALLOWED;
	BMessage copy(*message);
	copy.AddInt64("when", system_time());
	copy.AddPointer("source", this);
	BMenu* menu = mItemData->menu;
	copy.AddInt32("index", menu != nullptr ? menu->IndexOf(this) : -1);
	BMessenger window;
	if (BWindow* target = MenuAccess::WindowOf(menu))
		window = BMessenger(target);
	return SendToTarget(&copy, &window);
}

void BMenuItem::GetContentSize(float* width, float* height)
{
	BFont font(be_plain_font);
	if (mItemData->menu != nullptr)
		mItemData->menu->GetFont(&font);
	font_height metrics;
	font.GetHeight(&metrics);
	if (width != nullptr)
		*width = font.StringWidth(Label());
	if (height != nullptr)
		*height = std::ceil(metrics.ascent + metrics.descent);
}

void BMenuItem::DrawContent()
{
	BMenu* menu = mItemData->menu;
	if (menu == nullptr)
		return;
	// The pen is at the content's top left; the label sits on a baseline
	// one ascent lower.
	font_height metrics;
	menu->GetFontHeight(&metrics);
	menu->MovePenBy(0, std::ceil(metrics.ascent));
	menu->DrawString(Label());
}

BPoint BMenuItem::ContentLocation() const
{
	return mItemData->frame.LeftTop() +
	       BPoint(BPrivate::kItemLeftMargin, BPrivate::kItemVerticalMargin);
}

BSeparatorItem::BSeparatorItem() : BMenuItem("", nullptr)
{
	MenuAccess::Data(this)->separator = true;
	MenuAccess::Data(this)->enabled = false;
}

BSeparatorItem::~BSeparatorItem() {}

void BSeparatorItem::SetEnabled(bool) {}

void BSeparatorItem::GetContentSize(float* width, float* height)
{
	if (width != nullptr)
		*width = 0;
	if (height != nullptr)
		*height = 8;
}

void BSeparatorItem::DrawContent() {}
