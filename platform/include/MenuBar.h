// A row of menus at the top of a window. With resize-to-fit (the default)
// it takes its parent's width and the height its font needs once it is
// attached to a window; Bounds() tells that height.
#ifndef _MENU_BAR_H
#define _MENU_BAR_H

#include "Menu.h"

class BMenuBar : public BMenu
{
public:
	BMenuBar(BRect frame, const char* name,
	         uint32 resizingMode = B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP,
	         menu_layout layout = B_ITEMS_IN_ROW, bool resizeToFit = true);
	virtual ~BMenuBar();

	virtual void AttachedToWindow();
	virtual void DetachedFromWindow();
	virtual void SetFont(const BFont* font, uint32 mask = B_FONT_ALL);

	bool IsResizeToFit() const;

private:
	void _FitToFont();

	bool mResizeToFit;
};

#endif // _MENU_BAR_H
