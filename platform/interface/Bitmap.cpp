// BBitmap: pixels in plain memory; drawn through a QImage made on demand.
#include "Bitmap.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "BitmapPrivate.h"

namespace {

// Bytes per pixel, 0 for colour spaces this layer does not hold.
int32 bytes_per_pixel(color_space space)
{
	switch (space) {
	case B_CMAP8:
	case B_GRAY8:
		return 1;
	case B_RGB32:
	case B_RGBA32:
		return 4;
	default:
		return 0;
	}
}

// Bitmaps beyond this many pixels per side are refused rather than
// allocated: they come from nonsense rectangles.
const int32 kMaxSide = 1 << 14;

rgb_color pixel_color(const uint8* pixel, color_space space)
{
	switch (space) {
	case B_CMAP8:
		return system_colors_table()[*pixel];
	case B_GRAY8:
		return make_color(*pixel, *pixel, *pixel);
	case B_RGB32:
		return make_color(pixel[2], pixel[1], pixel[0]);
	case B_RGBA32:
		return make_color(pixel[2], pixel[1], pixel[0], pixel[3]);
	default:
		return make_color(0, 0, 0, 0);
	}
}

void store_pixel(uint8* pixel, color_space space, rgb_color color)
{
	switch (space) {
	case B_CMAP8:
		// Mostly transparent pixels become the transparent index.
		*pixel = color.alpha < 128 ? B_TRANSPARENT_MAGIC_CMAP8 : index_for_color(color);
		break;
	case B_GRAY8:
		*pixel = (uint8)((color.red * 299 + color.green * 587 + color.blue * 114) / 1000);
		break;
	case B_RGB32:
	case B_RGBA32:
		pixel[0] = color.blue;
		pixel[1] = color.green;
		pixel[2] = color.red;
		pixel[3] = space == B_RGB32 ? 255 : color.alpha;
		break;
	default:
		break;
	}
}

} // namespace

BBitmap::BBitmap(BRect bounds, color_space colorSpace, bool acceptsViews, bool needsContiguous)
    : mBounds(bounds), mColorSpace(colorSpace), mBits(), mBytesPerRow(0), mBitsLength(0),
      mInitStatus(B_NO_INIT), mFlags((acceptsViews ? B_BITMAP_ACCEPTS_VIEWS : 0) |
                                     (needsContiguous ? B_BITMAP_IS_CONTIGUOUS : 0))
{
	int32 pixelSize = bytes_per_pixel(colorSpace);
	if (pixelSize == 0 || !bounds.IsValid() || !std::isfinite(bounds.Width()) ||
	    !std::isfinite(bounds.Height())) {
		mInitStatus = B_BAD_VALUE;
		return;
	}
	int32 width = (int32)std::lround(bounds.Width()) + 1;
	int32 height = (int32)std::lround(bounds.Height()) + 1;
	if (width > kMaxSide || height > kMaxSide) {
		mInitStatus = B_BAD_VALUE;
		return;
	}
	mBytesPerRow = (width * pixelSize + 3) & ~3;
	mBitsLength = mBytesPerRow * height;
	mBits.reset(new (std::nothrow) uint8[mBitsLength]);
	if (mBits == nullptr) {
		mBitsLength = 0;
		mInitStatus = B_NO_MEMORY;
		return;
	}
	std::memset(mBits.get(), 0, mBitsLength);
	mInitStatus = B_OK;
}

BBitmap::BBitmap(const BBitmap& source)
    : BBitmap(source.mBounds, source.mColorSpace, (source.mFlags & B_BITMAP_ACCEPTS_VIEWS) != 0,
              (source.mFlags & B_BITMAP_IS_CONTIGUOUS) != 0)
{
	if (mInitStatus == B_OK && source.mBits != nullptr)
		std::memcpy(mBits.get(), source.mBits.get(), mBitsLength);
}

BBitmap::~BBitmap() = default;

status_t BBitmap::InitCheck() const
{
	return mInitStatus;
}

bool BBitmap::IsValid() const
{
	return mInitStatus == B_OK;
}

void* BBitmap::Bits() const
{
	return mBits.get();
}

int32 BBitmap::BitsLength() const
{
	return mBitsLength;
}

int32 BBitmap::BytesPerRow() const
{
	return mBytesPerRow;
}

BRect BBitmap::Bounds() const
{
	return mBounds;
}

color_space BBitmap::ColorSpace() const
{
	return mColorSpace;
}

void BBitmap::SetBits(const void* data, int32 length, int32 offset, color_space colorSpace)
{
	if (mInitStatus != B_OK || data == nullptr || length <= 0 || offset < 0 ||
	    offset >= mBitsLength) {
		return;
	}
	const uint8* source = static_cast<const uint8*>(data);
	if (colorSpace == mColorSpace) {
		std::memcpy(mBits.get() + offset, source, std::min(length, mBitsLength - offset));
		return;
	}
	int32 sourceSize = bytes_per_pixel(colorSpace);
	int32 targetSize = bytes_per_pixel(mColorSpace);
	if (sourceSize == 0)
		return;
	// Converted data is packed, one pixel after the other, row padding of
	// the bitmap skipped.
	int32 width = (int32)std::lround(mBounds.Width()) + 1;
	int32 pixel = offset / targetSize;
	for (int32 at = 0; at + sourceSize <= length; at += sourceSize, pixel++) {
		int32 row = pixel / width;
		int32 column = pixel % width;
		int32 target = row * mBytesPerRow + column * targetSize;
		if (target + targetSize > mBitsLength)
			break;
		store_pixel(mBits.get() + target, mColorSpace, pixel_color(source + at, colorSpace));
	}
}

status_t BBitmap::ImportBits(const BBitmap* source)
{
	if (source == nullptr || source->InitCheck() != B_OK)
		return B_BAD_VALUE;
	if (mInitStatus != B_OK)
		return B_NO_INIT;
	if (source->mBounds.Width() != mBounds.Width() || source->mBounds.Height() != mBounds.Height())
		return B_BAD_VALUE;
	return ImportBits(source->mBits.get(), source->mBitsLength, source->mBytesPerRow, 0,
	                  source->mColorSpace);
}

status_t BBitmap::ImportBits(const void* data, int32 length, int32 bytesPerRow, int32 offset,
                             color_space colorSpace)
{
	if (mInitStatus != B_OK)
		return B_NO_INIT;
	int32 sourceSize = bytes_per_pixel(colorSpace);
	if (data == nullptr || length <= 0 || sourceSize == 0 || offset < 0)
		return B_BAD_VALUE;
	int32 width = (int32)std::lround(mBounds.Width()) + 1;
	int32 height = (int32)std::lround(mBounds.Height()) + 1;
	if (bytesPerRow <= 0)
		bytesPerRow = width * sourceSize;
	if (bytesPerRow < width * sourceSize)
		return B_BAD_VALUE;
	const uint8* source = static_cast<const uint8*>(data) + offset;
	length -= offset;
	int32 targetSize = bytes_per_pixel(mColorSpace);
	for (int32 y = 0; y < height; y++) {
		for (int32 x = 0; x < width; x++) {
			int32 at = y * bytesPerRow + x * sourceSize;
			if (at + sourceSize > length)
				return B_OK;
			uint8* target = mBits.get() + y * mBytesPerRow + x * targetSize;
			if (colorSpace == mColorSpace)
				std::memcpy(target, source + at, targetSize);
			else
				store_pixel(target, mColorSpace, pixel_color(source + at, colorSpace));
		}
	}
	return B_OK;
}

namespace BPrivate {

QImage BitmapAccess::ToImage(const BBitmap* bitmap, bool opaque)
{
	if (bitmap == nullptr || bitmap->InitCheck() != B_OK)
		return QImage();
	BRect bounds = bitmap->Bounds();
	int width = (int)std::lround(bounds.Width()) + 1;
	int height = (int)std::lround(bounds.Height()) + 1;
	QImage image(width, height, QImage::Format_ARGB32);
	const uint8* bits = static_cast<const uint8*>(bitmap->Bits());
	color_space space = bitmap->ColorSpace();
	int32 pixelSize = bytes_per_pixel(space);
	for (int y = 0; y < height; y++) {
		QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
		const uint8* row = bits + y * bitmap->BytesPerRow();
		for (int x = 0; x < width; x++) {
			rgb_color color = pixel_color(row + x * pixelSize, space);
			line[x] = qRgba(color.red, color.green, color.blue, opaque ? 255 : color.alpha);
		}
	}
	return image;
}

} // namespace BPrivate
