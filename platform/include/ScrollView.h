// A frame around a target view with scroll bars beside it. The scroll
// view's frame is the target's frame grown by the border and the bars; the
// target keeps its size and moves inside. A vertical bar is
// B_V_SCROLL_BAR_WIDTH wide, a horizontal one B_H_SCROLL_BAR_HEIGHT high.
// The scroll view owns the target. A target that scrolls itself (a text
// view) drives the bars: they show and set its scroll position.
#ifndef _SCROLL_VIEW_H
#define _SCROLL_VIEW_H

#include "InterfaceDefs.h"
#include "View.h"

class BScrollBar;

class BScrollView : public BView
{
public:
	BScrollView(const char* name, BView* target, uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
	            uint32 flags = 0, bool horizontal = false, bool vertical = false,
	            border_style border = B_FANCY_BORDER);
	virtual ~BScrollView();

	virtual void Draw(BRect updateRect);

	BScrollBar* ScrollBar(orientation direction) const;
	BView* Target() const;
	border_style Border() const;

private:
	BView* mTarget;
	BScrollBar* mHorizontal;
	BScrollBar* mVertical;
	border_style mBorder;
};

#endif // _SCROLL_VIEW_H
