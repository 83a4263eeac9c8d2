// A menu item with a small picture in front of its label.
#ifndef ZT_BITMAP_MENU_ITEM_H
#define ZT_BITMAP_MENU_ITEM_H

#include <memory>

#include <Bitmap.h>
#include <MenuItem.h>

class BMenu;
class BMessage;

// Owns its bitmap (which may be nullptr); the message and submenu are owned as
// BMenuItem owns them. The label starts 20 points right of where a plain
// item puts it and 2 points lower; the content is 20 wider and 4 higher.
class ZTBitmapMenuItem : public BMenuItem
{
public:
	ZTBitmapMenuItem(const char* label, BBitmap* bitmap, BMessage* message, char shortcut = 0,
	                 uint32 modifiers = 0);
	ZTBitmapMenuItem(BMenu* submenu, BBitmap* bitmap, BMessage* message = nullptr);
	virtual ~ZTBitmapMenuItem();

	// The picture, nullptr for none; still owned by the item.
	const BBitmap* Bitmap() const { return mBitmap.get(); }

protected:
	virtual void GetContentSize(float* width, float* height);
	virtual void DrawContent();

private:
	std::unique_ptr<BBitmap> mBitmap;
};

#endif // ZT_BITMAP_MENU_ITEM_H
