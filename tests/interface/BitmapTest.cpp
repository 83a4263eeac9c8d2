// Bitmaps: layout of the pixels, copying in, the system colour map, and
// drawing with copy and over.
#include <QWidget>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "Bitmap.h"
#include "BitmapPrivate.h"
#include "InterfaceTestSupport.h"
#include "ViewPrivate.h"

using namespace interfacetest;

namespace {

void expect_color(int index, uint8 red, uint8 green, uint8 blue)
{
	rgb_color color = system_colors_table()[index];
	EXPECT_EQ(color.red, red) << "entry " << index;
	EXPECT_EQ(color.green, green) << "entry " << index;
	EXPECT_EQ(color.blue, blue) << "entry " << index;
}

// Draws its bitmap at (2, 2) in the given mode on a green view.
class BitmapView : public BView
{
public:
	BitmapView(const BBitmap* bitmap, drawing_mode mode)
	    : BView(BRect(0, 0, 19, 19), "bitmap", B_FOLLOW_NONE, B_WILL_DRAW), mBitmap(bitmap),
	      mMode(mode)
	{
		SetViewColor(0, 255, 0);
	}
	void Draw(BRect) override
	{
		SetDrawingMode(mMode);
		MovePenTo(2, 2);
		DrawBitmap(mBitmap);
		SetDrawingMode(B_OP_COPY);
	}

private:
	const BBitmap* mBitmap;
	drawing_mode mMode;
};

} // namespace

TEST(SystemColors, RampsAndSpecialEntriesAreInPlace)
{
	const rgb_color* colors = system_colors_table();
	for (int i = 0; i < 32; i++)
		expect_color(i, i * 8, i * 8, i * 8);
	const uint8 blue[] = {255, 229, 204, 179, 154, 129, 105, 80, 55, 30};
	const uint8 ramp[] = {255, 228, 203, 178, 153, 128, 105, 80, 55, 30};
	for (int i = 0; i < 10; i++) {
		expect_color(32 + i, 0, 0, blue[i]);
		expect_color(42 + i, ramp[i], 0, 0);
		expect_color(52 + i, 0, ramp[i], 0);
	}
	expect_color(62, 0x00, 0x98, 0x33);
	expect_color(63, 0xFF, 0xFF, 0xFF);
	expect_color(64, 0xCB, 0xFF, 0xFF);
	expect_color(152, 0xE6, 0x86, 0x00);
	expect_color(189, 0xFF, 0xAF, 0x13);
	expect_color(229, 0xFF, 0xE3, 0x46);
	expect_color(254, 0xFF, 0xFF, 0xCB);
	for (int i = 0; i < 255; i++)
		EXPECT_EQ(colors[i].alpha, 255) << "entry " << i;
	EXPECT_EQ(colors[255].alpha, 0);
	EXPECT_EQ(colors[B_TRANSPARENT_MAGIC_CMAP8].red, 255);
}

TEST(SystemColors, NearestIndexFindsEveryOpaqueEntry)
{
	const rgb_color* colors = system_colors_table();
	for (int i = 0; i < 255; i++)
		EXPECT_EQ(colors[index_for_color(colors[i])], colors[i]) << "entry " << i;
	EXPECT_EQ(index_for_color(make_color(250, 2, 1)), 42);
	EXPECT_NE(index_for_color(make_color(255, 255, 255)), 255);
}

TEST(Bitmap, RowsArePaddedToFourBytes)
{
	BBitmap icon(BRect(0, 0, 15, 15), B_CMAP8);
	EXPECT_EQ(icon.InitCheck(), B_OK);
	EXPECT_EQ(icon.BytesPerRow(), 16);
	EXPECT_EQ(icon.BitsLength(), 256);
	EXPECT_EQ(icon.ColorSpace(), B_CMAP8);
	EXPECT_EQ(icon.Bounds(), BRect(0, 0, 15, 15));

	BBitmap odd(BRect(0, 0, 14, 2), B_CMAP8);
	EXPECT_EQ(odd.BytesPerRow(), 16);
	EXPECT_EQ(odd.BitsLength(), 48);

	BBitmap rgba(BRect(0, 0, 9, 1), B_RGBA32);
	EXPECT_EQ(rgba.BytesPerRow(), 40);
	EXPECT_EQ(rgba.BitsLength(), 80);
}

TEST(Bitmap, NonsenseBoundsAndSpacesAreRefused)
{
	BBitmap inverted(BRect(10, 10, 0, 0), B_CMAP8);
	EXPECT_EQ(inverted.InitCheck(), B_BAD_VALUE);
	EXPECT_EQ(inverted.Bits(), nullptr);
	EXPECT_EQ(inverted.BitsLength(), 0);
	BBitmap unsupported(BRect(0, 0, 15, 15), B_RGB16);
	EXPECT_EQ(unsupported.InitCheck(), B_BAD_VALUE);
	BBitmap huge(BRect(0, 0, 1e9, 1e9), B_RGBA32);
	EXPECT_EQ(huge.InitCheck(), B_BAD_VALUE);
	// Calls on a failed bitmap do nothing.
	uint8 data[4] = {1, 2, 3, 4};
	inverted.SetBits(data, 4, 0, B_CMAP8);
	EXPECT_NE(inverted.ImportBits(&huge), B_OK);
	EXPECT_TRUE(BPrivate::BitmapAccess::ToImage(&inverted, false).isNull());
}

TEST(Bitmap, SetBitsCopiesWithinTheBitmapOnly)
{
	BBitmap icon(BRect(0, 0, 15, 15), B_CMAP8);
	std::vector<uint8> data(300, 7);
	icon.SetBits(data.data(), (int32)data.size(), 0, B_CMAP8);
	const uint8* bits = static_cast<const uint8*>(icon.Bits());
	EXPECT_EQ(bits[0], 7);
	EXPECT_EQ(bits[255], 7);
	icon.SetBits(data.data(), 10, 250, B_CMAP8);
	icon.SetBits(data.data(), 10, 256, B_CMAP8);
	icon.SetBits(data.data(), 10, -3, B_CMAP8);
	EXPECT_EQ(bits[250], 7);
}

TEST(Bitmap, ImportConvertsToTheNearestIndexAndTransparency)
{
	BBitmap rgba(BRect(0, 0, 1, 0), B_RGBA32);
	uint8 pixels[8] = {0, 0, 255, 255, 10, 20, 30, 0}; // red; transparent
	rgba.SetBits(pixels, 8, 0, B_RGBA32);
	BBitmap icon(BRect(0, 0, 1, 0), B_CMAP8);
	EXPECT_EQ(icon.ImportBits(&rgba), B_OK);
	const uint8* bits = static_cast<const uint8*>(icon.Bits());
	EXPECT_EQ(bits[0], 42);
	EXPECT_EQ(bits[1], B_TRANSPARENT_MAGIC_CMAP8);

	BBitmap other(BRect(0, 0, 4, 4), B_CMAP8);
	EXPECT_EQ(icon.ImportBits(&other), B_BAD_VALUE);
	EXPECT_EQ(icon.ImportBits(nullptr), B_BAD_VALUE);
}

TEST(Bitmap, OverShowsTheBackgroundWhereCopyPaintsTheTableColour)
{
	BBitmap icon(BRect(0, 0, 3, 3), B_CMAP8);
	std::memset(icon.Bits(), 32, icon.BitsLength()); // blue
	static_cast<uint8*>(icon.Bits())[0] = B_TRANSPARENT_MAGIC_CMAP8;

	BitmapView over(&icon, B_OP_OVER);
	QImage drawn = render_view(&over);
	EXPECT_EQ(drawn.pixel(2, 2), qRgb(0, 255, 0));
	EXPECT_EQ(drawn.pixel(3, 3), qRgb(0, 0, 255));
	EXPECT_EQ(drawn.pixel(6, 6), qRgb(0, 255, 0));

	BitmapView copy(&icon, B_OP_COPY);
	drawn = render_view(&copy);
	EXPECT_EQ(drawn.pixel(2, 2), qRgb(255, 255, 255));
	EXPECT_EQ(drawn.pixel(5, 5), qRgb(0, 0, 255));
}
