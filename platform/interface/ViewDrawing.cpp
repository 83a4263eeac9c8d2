// The drawing calls of BView: they paint with the painter that the view's
// widget (or a menu row) lends while the view draws, and keep the pen and
// the drawing state in between.
#include "View.h"

#include <QPainter>

#include <algorithm>
#include <cstring>

#include "Bitmap.h"
#include "BitmapPrivate.h"
#include "ViewData.h"
#include "ViewPrivate.h"

void BView::SetDrawingMode(drawing_mode mode)
{
	mData->drawingMode = mode;
}

drawing_mode BView::DrawingMode() const
{
	return mData->drawingMode;
}

void BView::MovePenTo(BPoint where)
{
	mData->pen = where;
}

void BView::MovePenTo(float x, float y)
{
	mData->pen.Set(x, y);
}

void BView::MovePenBy(float dx, float dy)
{
	mData->pen.x += dx;
	mData->pen.y += dy;
}

BPoint BView::PenLocation() const
{
	return mData->pen;
}

void BView::SetPenSize(float size)
{
	mData->penSize = std::max(0.0f, size);
}

float BView::PenSize() const
{
	return mData->penSize;
}

void BView::DrawBitmap(const BBitmap* bitmap)
{
	DrawBitmap(bitmap, mData->pen);
}

void BView::DrawBitmap(const BBitmap* bitmap, BPoint where)
{
	if (bitmap == nullptr)
		return;
	BRect bounds = bitmap->Bounds();
	DrawBitmap(bitmap, bounds.OffsetToCopy(where.x, where.y));
}

void BView::DrawBitmap(const BBitmap* bitmap, BRect destination)
{
	QPainter* painter = BPrivate::ViewAccess::Painter(this);
	if (painter == nullptr || bitmap == nullptr || bitmap->InitCheck() != B_OK)
		return;
	// Copy paints every pixel, the transparent ones in their table colour;
	// over leaves the background where the bitmap is transparent.
	bool opaque = mData->drawingMode == B_OP_COPY;
	QImage image = BPrivate::BitmapAccess::ToImage(bitmap, opaque);
	painter->save();
	painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
	painter->drawImage(BPrivate::to_qrect(destination), image);
	painter->restore();
}

void BView::DrawString(const char* string)
{
	if (string != nullptr)
		DrawString(string, (int32)std::strlen(string));
}

void BView::DrawString(const char* string, int32 length)
{
	if (string == nullptr || length <= 0)
		return;
	length = (int32)strnlen(string, length);
	QPainter* painter = BPrivate::ViewAccess::Painter(this);
	if (painter != nullptr) {
		painter->save();
		painter->setFont(BPrivate::to_qfont(mData->font));
		painter->setPen(BPrivate::to_qcolor(mData->highColor));
		painter->drawText(BPrivate::to_qpoint(mData->pen), QString::fromUtf8(string, length));
		painter->restore();
	}
	mData->pen.x += StringWidth(string, length);
}

void BView::DrawString(const char* string, BPoint where)
{
	MovePenTo(where);
	DrawString(string);
}

namespace {

QColor pattern_color(const pattern& fill, rgb_color high, rgb_color low)
{
	if (std::memcmp(&fill, &B_SOLID_LOW, sizeof(pattern)) == 0)
		return BPrivate::to_qcolor(low);
	return BPrivate::to_qcolor(high);
}

} // namespace

void BView::FillRect(BRect rect, pattern fill)
{
	QPainter* painter = BPrivate::ViewAccess::Painter(this);
	if (painter == nullptr || !rect.IsValid())
		return;
	painter->fillRect(BPrivate::to_qrect(rect),
	                  pattern_color(fill, mData->highColor, mData->lowColor));
}

void BView::StrokeRect(BRect rect, pattern stroke)
{
	if (!rect.IsValid())
		return;
	StrokeLine(rect.LeftTop(), rect.RightTop(), stroke);
	StrokeLine(rect.RightTop(), rect.RightBottom(), stroke);
	StrokeLine(rect.RightBottom(), rect.LeftBottom(), stroke);
	StrokeLine(rect.LeftBottom(), rect.LeftTop(), stroke);
}

void BView::StrokeLine(BPoint end, pattern stroke)
{
	StrokeLine(mData->pen, end, stroke);
}

void BView::StrokeLine(BPoint start, BPoint end, pattern stroke)
{
	QPainter* painter = BPrivate::ViewAccess::Painter(this);
	if (painter != nullptr) {
		painter->save();
		painter->setRenderHint(QPainter::Antialiasing, false);
		QPen pen(pattern_color(stroke, mData->highColor, mData->lowColor));
		pen.setWidthF(std::max(1.0f, mData->penSize));
		pen.setCapStyle(Qt::SquareCap);
		painter->setPen(pen);
		// Pixel centres, so that a line covers the pixels it names.
		painter->drawLine(QPointF(start.x + 0.5, start.y + 0.5), QPointF(end.x + 0.5, end.y + 0.5));
		painter->restore();
	}
	mData->pen = end;
}

void BView::Sync() const
{
	if (mData->widget && mData->widget->isVisible())
		mData->widget->repaint();
}

void BView::Flush() const
{
	if (mData->widget)
		mData->widget->update();
}
