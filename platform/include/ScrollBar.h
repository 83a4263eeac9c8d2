// A scroll bar. A scroll view's bar follows the scrolling of its target.
#ifndef _SCROLL_BAR_H
#define _SCROLL_BAR_H

#include "View.h"

class BScrollBar : public BView
{
public:
	BScrollBar(BRect frame, const char* name, BView* target, float min, float max,
	           orientation direction);
	virtual ~BScrollBar();

	// Called when the value changes, by the user or by the program.
	virtual void ValueChanged(float newValue);

	void SetValue(float value);
	float Value() const;
	void SetRange(float min, float max);
	void GetRange(float* min, float* max) const;
	void SetSteps(float smallStep, float largeStep);
	void GetSteps(float* smallStep, float* largeStep) const;
	void SetProportion(float proportion);
	float Proportion() const;
	void SetTarget(BView* target);
	BView* Target() const;
	orientation Orientation() const;

private:
	BView* mTarget;
	orientation mOrientation;
	float mProportion;
};

#endif // _SCROLL_BAR_H
