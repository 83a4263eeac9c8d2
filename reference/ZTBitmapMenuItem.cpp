#include "ZTBitmapMenuItem.h"

#include <Bitmap.h>
#include <Menu.h>

ZTBitmapMenuItem::ZTBitmapMenuItem(const char* label, BBitmap* bitmap, BMessage* message,
                                   char shortcut, uint32 modifiers)
    : BMenuItem(label, message, shortcut, modifiers), mBitmap(bitmap)
{
}

ZTBitmapMenuItem::ZTBitmapMenuItem(BMenu* submenu, BBitmap* bitmap, BMessage* message)
    : BMenuItem(submenu, message), mBitmap(bitmap)
{
}

ZTBitmapMenuItem::~ZTBitmapMenuItem() = default;

void ZTBitmapMenuItem::GetContentSize(float* width, float* height)
{
	BMenuItem::GetContentSize(width, height);
	// Room for a 16-point picture and a 4-point gap.
	if (width != nullptr)
		*width += 20;
	if (height != nullptr)
		*height += 4;
}

void ZTBitmapMenuItem::DrawContent()
{
	BMenu* menu = Menu();
	if (menu == nullptr)
		return;
	if (mBitmap != nullptr) {
		// Over: the icon's transparent pixels show the menu behind them.
		menu->SetDrawingMode(B_OP_OVER);
		menu->DrawBitmap(mBitmap.get());
		menu->SetDrawingMode(B_OP_COPY);
	}
	menu->MovePenBy(20, 2);
	BMenuItem::DrawContent();
}
