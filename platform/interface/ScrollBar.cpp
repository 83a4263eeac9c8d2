// BScrollBar over a QScrollBar.
#include "ScrollBar.h"

#include <QScrollBar>

#include <algorithm>
#include <cmath>

#include "ViewPrivate.h"
#include "Window.h"

namespace {

QScrollBar* scroll_bar(const BScrollBar* bar)
{
	return static_cast<QScrollBar*>(BPrivate::ViewAccess::Widget(bar));
}

int to_int(float value)
{
	return (int)std::lround(std::clamp(value, -1.0e9f, 1.0e9f));
}

} // namespace

BScrollBar::BScrollBar(BRect frame, const char* name, BView* target, float min, float max,
                       orientation direction)
    : BView(frame, name,
            direction == B_VERTICAL ? B_FOLLOW_RIGHT | B_FOLLOW_TOP_BOTTOM
                                    : B_FOLLOW_LEFT_RIGHT | B_FOLLOW_BOTTOM,
            B_WILL_DRAW | B_FRAME_EVENTS),
      mTarget(target), mOrientation(direction), mProportion(0.0f)
{
	QScrollBar* bar = new QScrollBar(direction == B_VERTICAL ? Qt::Vertical : Qt::Horizontal);
	bar->setFocusPolicy(Qt::NoFocus);
	bar->setRange(to_int(min), to_int(std::max(min, max)));
	QObject::connect(bar, &QScrollBar::valueChanged, bar,
	                 [this](int value) { ValueChanged((float)value); });
	BPrivate::ViewAccess::SetNativeWidget(this, bar);
}

BScrollBar::~BScrollBar() {}

void BScrollBar::ValueChanged(float) {}

void BScrollBar::SetValue(float value)
{
	scroll_bar(this)->setValue(to_int(value));
}

float BScrollBar::Value() const
{
	return (float)scroll_bar(this)->value();
}

void BScrollBar::SetRange(float min, float max)
{
	scroll_bar(this)->setRange(to_int(min), to_int(std::max(min, max)));
}

void BScrollBar::GetRange(float* min, float* max) const
{
	if (min != nullptr)
		*min = (float)scroll_bar(this)->minimum();
	if (max != nullptr)
		*max = (float)scroll_bar(this)->maximum();
}

void BScrollBar::SetSteps(float smallStep, float largeStep)
{
	scroll_bar(this)->setSingleStep(std::max(1, to_int(smallStep)));
	scroll_bar(this)->setPageStep(std::max(1, to_int(largeStep)));
}

void BScrollBar::GetSteps(float* smallStep, float* largeStep) const
{
	if (smallStep != nullptr)
		*smallStep = (float)scroll_bar(this)->singleStep();
	if (largeStep != nullptr)
		*largeStep = (float)scroll_bar(this)->pageStep();
}

void BScrollBar::SetProportion(float proportion)
{
	mProportion = std::clamp(proportion, 0.0f, 1.0f);
}

float BScrollBar::Proportion() const
{
	return mProportion;
}

void BScrollBar::SetTarget(BView* target)
{
	mTarget = target;
}

BView* BScrollBar::Target() const
{
	return mTarget;
}

orientation BScrollBar::Orientation() const
{
	return mOrientation;
}
