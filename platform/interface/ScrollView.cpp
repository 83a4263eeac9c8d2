// BScrollView: the target inside a border, scroll bars beside it. A target
// whose widget scrolls itself (a QAbstractScrollArea, as the text view's
// is) keeps its own bars hidden; ours mirror them both ways, so that
// scrolling to the caret moves our bar and dragging our bar scrolls it.
#include "ScrollView.h"

#include <QAbstractScrollArea>
#include <QScrollBar>

#include "ScrollBar.h"
#include "ViewPrivate.h"

namespace {

float border_size(border_style border)
{
	switch (border) {
	case B_FANCY_BORDER:
		return 2.0f;
	case B_PLAIN_BORDER:
		return 1.0f;
	default:
		return 0.0f;
	}
}

BRect frame_around(BView* target, bool horizontal, bool vertical, border_style border)
{
	BRect frame = target != nullptr ? target->Frame() : BRect(0, 0, 0, 0);
	if (vertical)
		frame.right += B_V_SCROLL_BAR_WIDTH;
	if (horizontal)
		frame.bottom += B_H_SCROLL_BAR_HEIGHT;
	float size = border_size(border);
	frame.InsetBy(-size, -size);
	return frame;
}

void mirror(QScrollBar* own, QScrollBar* theirs)
{
	own->setRange(theirs->minimum(), theirs->maximum());
	own->setPageStep(theirs->pageStep());
	own->setSingleStep(theirs->singleStep());
	own->setValue(theirs->value());
	QObject::connect(theirs, &QScrollBar::rangeChanged, own, [own, theirs](int min, int max) {
		own->setRange(min, max);
		own->setPageStep(theirs->pageStep());
		own->setSingleStep(theirs->singleStep());
	});
	QObject::connect(theirs, &QScrollBar::valueChanged, own, &QScrollBar::setValue);
	QObject::connect(own, &QScrollBar::valueChanged, theirs, &QScrollBar::setValue);
}

} // namespace

BScrollView::BScrollView(const char* name, BView* target, uint32 resizingMode, uint32 flags,
                         bool horizontal, bool vertical, border_style border)
    : BView(frame_around(target, horizontal, vertical, border), name, resizingMode,
            flags | B_FRAME_EVENTS | B_WILL_DRAW),
      mTarget(target), mHorizontal(nullptr), mVertical(nullptr), mBorder(border)
{
	float size = border_size(border);
	BRect bounds = Bounds();
	if (target != nullptr) {
		target->MoveTo(size, size);
		AddChild(target);
	}
	BRect inner = bounds.InsetByCopy(size, size);
	if (vertical) {
		BRect frame(inner.right - B_V_SCROLL_BAR_WIDTH + 1, inner.top, inner.right,
		            horizontal ? inner.bottom - B_H_SCROLL_BAR_HEIGHT : inner.bottom);
		mVertical = new BScrollBar(frame, "_VSB_", target, 0, 0, B_VERTICAL);
		AddChild(mVertical);
	}
	if (horizontal) {
		BRect frame(inner.left, inner.bottom - B_H_SCROLL_BAR_HEIGHT + 1,
		            vertical ? inner.right - B_V_SCROLL_BAR_WIDTH : inner.right, inner.bottom);
		mHorizontal = new BScrollBar(frame, "_HSB_", target, 0, 0, B_HORIZONTAL);
		AddChild(mHorizontal);
	}

	QAbstractScrollArea* area =
	    qobject_cast<QAbstractScrollArea*>(BPrivate::ViewAccess::Widget(target));
	if (area != nullptr) {
		area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
		area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
		if (mVertical != nullptr) {
			mirror(static_cast<QScrollBar*>(BPrivate::ViewAccess::Widget(mVertical)),
			       area->verticalScrollBar());
		}
		if (mHorizontal != nullptr) {
			mirror(static_cast<QScrollBar*>(BPrivate::ViewAccess::Widget(mHorizontal)),
			       area->horizontalScrollBar());
		}
	}
}

BScrollView::~BScrollView() {}

void BScrollView::Draw(BRect updateRect)
{
	(void)updateRect;
	float size = border_size(mBorder);
	if (size <= 0)
		return;
	BRect bounds = Bounds();
	if (mBorder == B_FANCY_BORDER) {
		// A sunken frame: dark above and left, light below and right.
		SetHighColor(make_color(152, 152, 152));
		StrokeLine(bounds.LeftBottom(), bounds.LeftTop());
		StrokeLine(bounds.RightTop());
		SetHighColor(make_color(255, 255, 255));
		StrokeLine(bounds.RightBottom());
		StrokeLine(bounds.LeftBottom());
		bounds.InsetBy(1, 1);
	}
	SetHighColor(make_color(96, 96, 96));
	StrokeRect(bounds);
}

BScrollBar* BScrollView::ScrollBar(orientation direction) const
{
	return direction == B_VERTICAL ? mVertical : mHorizontal;
}

BView* BScrollView::Target() const
{
	return mTarget;
}

border_style BScrollView::Border() const
{
	return mBorder;
}
