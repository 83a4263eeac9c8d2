#include "ZTLEBkgView.h"

#include "Font.h"
#include "InterfaceDefs.h"

ZTLEBkgView::ZTLEBkgView(BRect frame)
    : BView(frame, "bkg_view", B_FOLLOW_ALL_SIDES, B_WILL_DRAW | B_FRAME_EVENTS | B_NAVIGABLE)
{
}

ZTLEBkgView::~ZTLEBkgView() = default;

void ZTLEBkgView::AttachedToWindow()
{
	// The font is set here, before any control is built, because the window
	// measures the application id label with it.
	SetViewColor(232, 232, 232, 255);
	SetFont(be_bold_font, B_FONT_ALL);
	SetFontSize(12);
	BView::AttachedToWindow();
}
