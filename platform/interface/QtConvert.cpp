// Conversions between the framework's value types and Qt's.
#include <algorithm>
#include <cmath>

#include "ViewPrivate.h"

namespace BPrivate {

// Edges are rounded to whole pixels; an inclusive rectangle is one pixel
// wider and higher than right - left and bottom - top.
QRect to_qrect(BRect rect)
{
	int left = (int)std::lround(rect.left);
	int top = (int)std::lround(rect.top);
	int right = (int)std::lround(rect.right);
	int bottom = (int)std::lround(rect.bottom);
	return QRect(left, top, std::max(0, right - left + 1), std::max(0, bottom - top + 1));
}

BRect to_brect(const QRect& rect)
{
	return BRect(rect.x(), rect.y(), rect.x() + rect.width() - 1, rect.y() + rect.height() - 1);
}

QPointF to_qpoint(BPoint point)
{
	return QPointF(point.x, point.y);
}

QColor to_qcolor(rgb_color color)
{
	return QColor(color.red, color.green, color.blue, color.alpha);
}

rgb_color to_rgb(const QColor& color)
{
	return make_color(color.red(), color.green(), color.blue(), color.alpha());
}

} // namespace BPrivate
