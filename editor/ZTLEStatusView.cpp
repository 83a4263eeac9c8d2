#include "ZTLEStatusView.h"

#include "Font.h"

namespace {

const rgb_color kStatusGrey = {232, 232, 232, 255};
const rgb_color kStatusText = {40, 40, 40, 255};
const float kTextInset = 6;

} // namespace

ZTLEStatusView::ZTLEStatusView(BRect frame, const char* name)
    : BView(frame, name, B_FOLLOW_LEFT_RIGHT | B_FOLLOW_BOTTOM, B_WILL_DRAW)
{
	SetViewColor(kStatusGrey);
}

ZTLEStatusView::~ZTLEStatusView() = default;

void ZTLEStatusView::Draw(BRect)
{
	const BRect bounds = Bounds();
	SetHighColor(kStatusGrey);
	FillRect(bounds);
	font_height height;
	GetFontHeight(&height);
	const float baseline =
	    bounds.top + (bounds.Height() - (height.ascent + height.descent)) / 2 + height.ascent;
	SetHighColor(kStatusText);
	DrawString(mShown.c_str(), BPoint(bounds.left + kTextInset, baseline));
}

void ZTLEStatusView::SetProgress(const std::string& text)
{
	mProgress = text;
	_Changed();
}

void ZTLEStatusView::ShowMessage(const std::string& text)
{
	mMessage = text;
	_Changed();
}

void ZTLEStatusView::TextEdited()
{
	if (mMessage.empty())
		return;
	mMessage.clear();
	_Changed();
}

void ZTLEStatusView::SetActivity(const std::string& text)
{
	mActivity = text;
	_Changed();
}

const std::string& ZTLEStatusView::Text() const
{
	return mShown;
}

void ZTLEStatusView::_Changed()
{
	const std::string& shown =
	    !mActivity.empty() ? mActivity : (mMessage.empty() ? mProgress : mMessage);
	if (shown == mShown)
		return;
	mShown = shown;
	// Only this line repaints; the text above is left alone.
	Invalidate();
}
