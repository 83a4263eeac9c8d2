// A rectangle with inclusive edges: a one-pixel rectangle has left == right,
// and Width() is right - left.
#ifndef _RECT_H
#define _RECT_H

#include <cmath>

#include "Point.h"

class BRect
{
public:
	float left;
	float top;
	float right;
	float bottom;

	// The default rectangle is invalid (left > right), as in the framework.
	constexpr BRect() : left(0), top(0), right(-1), bottom(-1) {}
	constexpr BRect(float l, float t, float r, float b) : left(l), top(t), right(r), bottom(b) {}
	constexpr BRect(BPoint leftTop, BPoint rightBottom)
	    : left(leftTop.x), top(leftTop.y), right(rightBottom.x), bottom(rightBottom.y)
	{
	}
	constexpr BRect(BPoint leftTop, float width, float height)
	    : left(leftTop.x), top(leftTop.y), right(leftTop.x + width), bottom(leftTop.y + height)
	{
	}

	void Set(float l, float t, float r, float b)
	{
		left = l;
		top = t;
		right = r;
		bottom = b;
	}

	BPoint LeftTop() const { return BPoint(left, top); }
	BPoint RightBottom() const { return BPoint(right, bottom); }
	BPoint LeftBottom() const { return BPoint(left, bottom); }
	BPoint RightTop() const { return BPoint(right, top); }
	void SetLeftTop(BPoint p) { left = p.x, top = p.y; }
	void SetRightBottom(BPoint p) { right = p.x, bottom = p.y; }
	void SetLeftBottom(BPoint p) { left = p.x, bottom = p.y; }
	void SetRightTop(BPoint p) { right = p.x, top = p.y; }

	float Width() const { return right - left; }
	float Height() const { return bottom - top; }
	int32 IntegerWidth() const { return (int32)std::ceil(right - left); }
	int32 IntegerHeight() const { return (int32)std::ceil(bottom - top); }
	bool IsValid() const { return left <= right && top <= bottom; }

	BRect& InsetBy(float dx, float dy);
	BRect& InsetBy(BPoint delta) { return InsetBy(delta.x, delta.y); }
	BRect& OffsetBy(float dx, float dy);
	BRect& OffsetBy(BPoint delta) { return OffsetBy(delta.x, delta.y); }
	BRect& OffsetTo(float x, float y);
	BRect& OffsetTo(BPoint p) { return OffsetTo(p.x, p.y); }
	BRect InsetByCopy(float dx, float dy) const;
	BRect OffsetByCopy(float dx, float dy) const;
	BRect OffsetToCopy(float x, float y) const;

	bool Contains(BPoint point) const;
	bool Contains(BRect rect) const;
	bool Intersects(BRect rect) const;
	BRect operator&(BRect other) const; // intersection
	BRect operator|(BRect other) const; // union
	bool operator==(BRect other) const;
	bool operator!=(BRect other) const { return !(*this == other); }

	void PrintToStream() const;
};

#endif // _RECT_H
