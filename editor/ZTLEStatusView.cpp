#include "ZTLEStatusView.h"

#include <cstring>

#include "Font.h"
#include "Message.h"
#include "PropertyInfo.h"

namespace {

const char* const kStatusSuite = "suite/vnd.korvane-status-line";
const char* const kTextProperty = "Text";

// Not const: BPropertyInfo takes a plain pointer, though it never writes
// through it.
// clang-format off
property_info sStatusProperties[] = {
	{kTextProperty, {B_GET_PROPERTY, 0}, {B_DIRECT_SPECIFIER, 0},
		"what the status line shows", 0, {B_STRING_TYPE, 0}, {}, {}},
	{},
};
// clang-format on

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

void ZTLEStatusView::MessageReceived(BMessage* message)
{
	int32 index = 0;
	BMessage specifier;
	int32 form = 0;
	const char* property = nullptr;
	if (message->what == B_GET_PROPERTY &&
	    message->GetCurrentSpecifier(&index, &specifier, &form, &property) == B_OK &&
	    form == B_DIRECT_SPECIFIER && property != nullptr && strcmp(property, kTextProperty) == 0) {
		BMessage reply(B_REPLY);
		reply.AddString("result", mShown.c_str());
		reply.AddInt32("error", B_OK);
		message->SendReply(&reply);
		return;
	}
	BView::MessageReceived(message);
}

BHandler* ZTLEStatusView::ResolveSpecifier(BMessage* message, int32 index, BMessage* specifier,
                                           int32 form, const char* property)
{
	BPropertyInfo info(sStatusProperties);
	if (info.FindMatch(message, index, specifier, form, property) >= 0)
		return this;
	return BView::ResolveSpecifier(message, index, specifier, form, property);
}

status_t ZTLEStatusView::GetSupportedSuites(BMessage* data)
{
	data->AddString("suites", kStatusSuite);
	BPropertyInfo info(sStatusProperties);
	data->AddFlat("messages", &info, 1);
	return BView::GetSupportedSuites(data);
}

void ZTLEStatusView::SetText(const std::string& text)
{
	if (text == mShown)
		return;
	mShown = text;
	// Only this line repaints; the text above is left alone.
	Invalidate();
}

const std::string& ZTLEStatusView::Text() const
{
	return mShown;
}
