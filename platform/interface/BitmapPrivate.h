// The Qt image of a bitmap, for drawing. Layer-internal.
#ifndef _BITMAP_PRIVATE_H
#define _BITMAP_PRIVATE_H

#include <QImage>

class BBitmap;

namespace BPrivate {

class BitmapAccess
{
public:
	// A 32-bit ARGB copy of the bitmap. With opaque, transparent pixels keep
	// their colour (the table colour for B_CMAP8) at full alpha.
	static QImage ToImage(const BBitmap* bitmap, bool opaque);
};

} // namespace BPrivate

#endif // _BITMAP_PRIVATE_H
