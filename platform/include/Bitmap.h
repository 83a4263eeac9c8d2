// A picture in memory: rows of pixels in a colour space. B_CMAP8 holds one
// index into the system colour map per pixel (index 255 is transparent);
// B_RGBA32 and B_RGB32 hold four bytes per pixel, blue, green, red, alpha.
// Rows are padded to a multiple of 4 bytes.
#ifndef _BITMAP_H
#define _BITMAP_H

#include <memory>

#include "GraphicsDefs.h"
#include "Rect.h"

enum {
	B_BITMAP_CLEAR_TO_WHITE = 0x00000001,
	B_BITMAP_ACCEPTS_VIEWS = 0x00000002,
	B_BITMAP_IS_CONTIGUOUS = 0x00000008,
};

class BBitmap
{
public:
	// InitCheck() is B_BAD_VALUE for an invalid rectangle or an unsupported
	// colour space, B_NO_MEMORY when the pixels cannot be had.
	BBitmap(BRect bounds, color_space colorSpace, bool acceptsViews = false,
	        bool needsContiguous = false);
	BBitmap(const BBitmap& source);
	virtual ~BBitmap();

	status_t InitCheck() const;
	bool IsValid() const;

	void* Bits() const;
	int32 BitsLength() const;
	int32 BytesPerRow() const;
	BRect Bounds() const;
	color_space ColorSpace() const;

	// Copies length bytes of data in colorSpace into the bitmap from byte
	// offset (B_CMAP8 into B_CMAP8, B_RGB(A)32 into B_RGB(A)32, B_RGB32 and
	// B_RGBA32 into B_CMAP8 by nearest colour). Stops at the bitmap's end.
	void SetBits(const void* data, int32 length, int32 offset, color_space colorSpace);
	// Copies another bitmap of the same size, converting as SetBits does.
	status_t ImportBits(const BBitmap* source);
	status_t ImportBits(const void* data, int32 length, int32 bytesPerRow, int32 offset,
	                    color_space colorSpace);

private:
	BBitmap& operator=(const BBitmap&) = delete;

	BRect mBounds;
	color_space mColorSpace;
	std::unique_ptr<uint8[]> mBits;
	int32 mBytesPerRow;
	int32 mBitsLength;
	status_t mInitStatus;
	uint32 mFlags;
};

// The system colour map (256 entries; entry 255 is transparent white).
const rgb_color* system_colors_table();
// The index of the nearest opaque entry of the system colour map.
uint8 index_for_color(rgb_color color);

#endif // _BITMAP_H
