// The bitmap menu item: its enlarged content size as the pop-up uses it,
// and its drawing (icon at the content position, label 20 to the right).
#include <QMenu>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstring>

#include "Bitmap.h"
#include "MenuItem.h"
#include "MenuPrivate.h"
#include "Message.h"
#include "PopUpMenu.h"
#include "ZTBitmapMenuItem.h"

using BPrivate::MenuAccess;

namespace {

const uint8 kRedIndex = 42; // FF0000 in the system colour map

// A 16 x 16 icon, red but for a transparent top-left pixel.
BBitmap* make_icon()
{
	BBitmap* icon = new BBitmap(BRect(0, 0, 15, 15), B_CMAP8);
	std::memset(icon->Bits(), kRedIndex, icon->BitsLength());
	static_cast<uint8*>(icon->Bits())[0] = B_TRANSPARENT_MAGIC_CMAP8;
	return icon;
}

class TrackedBitmap : public BBitmap
{
public:
	explicit TrackedBitmap(bool* deleted) : BBitmap(BRect(0, 0, 15, 15), B_CMAP8), mDeleted(deleted)
	{
	}
	~TrackedBitmap() override { *mDeleted = true; }

private:
	bool* mDeleted;
};

QImage render_row(BPopUpMenu* menu, BMenuItem* item)
{
	MenuAccess::QtMenu(menu);
	QWidget* row = MenuAccess::ItemWidget(item);
	EXPECT_NE(row, nullptr);
	if (row == nullptr)
		return QImage();
	row->resize(row->sizeHint());
	QImage image(row->size(), QImage::Format_ARGB32);
	row->render(&image);
	return image;
}

// Leftmost column, right of fromX, holding a pixel unlike the background.
int first_ink_column(const QImage& image, int fromX, QRgb background)
{
	for (int x = fromX; x < image.width(); x++) {
		for (int y = 0; y < image.height(); y++) {
			if (image.pixel(x, y) != background && qRed(image.pixel(x, y)) < 200)
				return x;
		}
	}
	return -1;
}

bool has_red(const QImage& image)
{
	for (int y = 0; y < image.height(); y++) {
		for (int x = 0; x < image.width(); x++) {
			if (image.pixel(x, y) == qRgb(255, 0, 0))
				return true;
		}
	}
	return false;
}

} // namespace

TEST(BitmapMenuItem, ContentIsTwentyWiderAndFourHigherThanThePlainLabel)
{
	BPopUpMenu menu("apps", false, true);
	BMenuItem* plain = new BMenuItem("LocaleEditor", new BMessage('gref'));
	ZTBitmapMenuItem* withIcon =
	    new ZTBitmapMenuItem("LocaleEditor", make_icon(), new BMessage('gref'));
	ZTBitmapMenuItem* withoutIcon =
	    new ZTBitmapMenuItem("LocaleEditor", nullptr, new BMessage('gref'));
	menu.AddItem(plain);
	menu.AddItem(withIcon);
	menu.AddItem(withoutIcon);

	float plainWidth, plainHeight, iconWidth, iconHeight, bareWidth, bareHeight;
	MenuAccess::GetContentSize(plain, &plainWidth, &plainHeight);
	MenuAccess::GetContentSize(withIcon, &iconWidth, &iconHeight);
	MenuAccess::GetContentSize(withoutIcon, &bareWidth, &bareHeight);
	EXPECT_GT(plainWidth, 0);
	EXPECT_FLOAT_EQ(iconWidth, plainWidth + 20);
	EXPECT_FLOAT_EQ(iconHeight, plainHeight + 4);
	EXPECT_FLOAT_EQ(bareWidth, plainWidth + 20);
	EXPECT_FLOAT_EQ(bareHeight, plainHeight + 4);
}

TEST(BitmapMenuItem, PopUpSizesItsRowsByTheItemsContentSize)
{
	BPopUpMenu plainMenu("plain", false, true);
	BMenuItem* plain = new BMenuItem("A rather long application name", nullptr);
	plainMenu.AddItem(plain);
	BPopUpMenu iconMenu("icons", false, true);
	ZTBitmapMenuItem* withIcon =
	    new ZTBitmapMenuItem("A rather long application name", make_icon(), nullptr);
	iconMenu.AddItem(withIcon);

	QMenu* plainQt = MenuAccess::QtMenu(&plainMenu);
	QMenu* iconQt = MenuAccess::QtMenu(&iconMenu);
	QSize plainRow = MenuAccess::ItemWidget(plain)->sizeHint();
	QSize iconRow = MenuAccess::ItemWidget(withIcon)->sizeHint();
	EXPECT_EQ(iconRow.width(), plainRow.width() + 20);
	EXPECT_EQ(iconRow.height(), plainRow.height() + 4);
	EXPECT_EQ(iconQt->sizeHint().width(), plainQt->sizeHint().width() + 20);
	EXPECT_GE(iconQt->sizeHint().height(), plainQt->sizeHint().height() + 4);
}

TEST(BitmapMenuItem, DrawsTheIconOverTheBackgroundAndTheLabelTwentyFurther)
{
	BPopUpMenu menu("apps", false, true);
	BMenuItem* plain = new BMenuItem("Editor", nullptr);
	ZTBitmapMenuItem* withIcon = new ZTBitmapMenuItem("Editor", make_icon(), nullptr);
	ZTBitmapMenuItem* withoutIcon = new ZTBitmapMenuItem("Editor", nullptr, nullptr);
	menu.AddItem(plain);
	menu.AddItem(withIcon);
	menu.AddItem(withoutIcon);

	QImage iconRow = render_row(&menu, withIcon);
	ASSERT_FALSE(iconRow.isNull());
	QRgb background = iconRow.pixel(1, 1);
	int left = (int)BPrivate::kItemLeftMargin;
	int top = (int)BPrivate::kItemVerticalMargin;
	// The icon sits at the content position; its transparent pixel shows
	// the menu's background (drawing mode over).
	EXPECT_EQ(iconRow.pixel(left + 8, top + 8), qRgb(255, 0, 0));
	EXPECT_EQ(iconRow.pixel(left + 15, top + 15), qRgb(255, 0, 0));
	EXPECT_EQ(iconRow.pixel(left, top), background);
	EXPECT_NE(iconRow.pixel(left + 16, top + 8), qRgb(255, 0, 0));

	QImage plainRow = render_row(&menu, plain);
	QImage bareRow = render_row(&menu, withoutIcon);
	int plainInk = first_ink_column(plainRow, 0, background);
	int iconInk = first_ink_column(iconRow, left + 16, background);
	int bareInk = first_ink_column(bareRow, 0, background);
	ASSERT_GE(plainInk, left);
	EXPECT_EQ(iconInk, plainInk + 20);
	// Without a bitmap: no picture, the label indented all the same.
	EXPECT_EQ(bareInk, plainInk + 20);
	EXPECT_FALSE(has_red(bareRow));
}

TEST(BitmapMenuItem, DeletingTheItemDeletesItsBitmap)
{
	bool deleted = false;
	ZTBitmapMenuItem* item = new ZTBitmapMenuItem("x", new TrackedBitmap(&deleted), nullptr);
	EXPECT_FALSE(deleted);
	delete item;
	EXPECT_TRUE(deleted);

	// The menu deletes its items, and so their bitmaps.
	deleted = false;
	BPopUpMenu* menu = new BPopUpMenu("m");
	menu->AddItem(new ZTBitmapMenuItem("y", new TrackedBitmap(&deleted), nullptr));
	delete menu;
	EXPECT_TRUE(deleted);
}
