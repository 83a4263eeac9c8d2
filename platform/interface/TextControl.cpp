// BTextControl: a label drawn by the control and a single-line text view.
#include "TextControl.h"

#include <algorithm>
#include <cmath>

#include "Message.h"
#include "Messenger.h"
#include "OS.h"
#include "TextView.h"
#include "TextViewPrivate.h"
#include "Window.h"

BTextControl::BTextControl(BRect frame, const char* name, const char* label, const char* text,
	BMessage* message, uint32 resizingMode, uint32 flags)
	: BControl(frame, name, label, message, resizingMode, flags),
	  mTextView(nullptr),
	  mModificationMessage(nullptr),
	  mDivider(0.0f)
{
	if (label != nullptr && label[0] != '\0')
		mDivider = std::floor(Bounds().Width() / 2.0f);
	BRect bounds = Bounds();
	BRect textFrame(mDivider, 0, bounds.right, bounds.bottom);
	mTextView = BPrivate::TextViewAccess::CreateSingleLine(textFrame, "_input_");
	mTextView->SetResizingMode(B_FOLLOW_ALL_SIDES);
	AddChild(mTextView);
	mTextView->SetText(text != nullptr ? text : "");
	BPrivate::TextViewAccess::SetEnterHandler(mTextView, [this] { Invoke(); });
	BPrivate::TextViewAccess::SetChangeHandler(mTextView, [this] { _TextChanged(); });
}

BTextControl::~BTextControl()
{
	delete mModificationMessage;
}

void BTextControl::AttachedToWindow()
{
	BControl::AttachedToWindow();
}

void BTextControl::Draw(BRect updateRect)
{
	(void)updateRect;
	const char* label = Label();
	if (label[0] == '\0')
		return;
	font_height height;
	GetFontHeight(&height);
	float baseline
		= std::floor((Bounds().Height() + 1 - (height.ascent + height.descent)) / 2 + height.ascent);
	SetHighColor(IsEnabled() ? make_color(0, 0, 0) : make_color(128, 128, 128));
	SetLowColor(ViewColor());
	MovePenTo(3, baseline);
	DrawString(label);
}

void BTextControl::FrameResized(float newWidth, float newHeight)
{
	BControl::FrameResized(newWidth, newHeight);
	_LayoutTextView();
}

void BTextControl::MakeFocus(bool focus)
{
	mTextView->MakeFocus(focus);
}

void BTextControl::SetEnabled(bool enabled)
{
	if (enabled == IsEnabled())
		return;
	BControl::SetEnabled(enabled);
	mTextView->MakeEditable(enabled);
	mTextView->MakeSelectable(enabled);
}

void BTextControl::SetLabel(const char* label)
{
	BControl::SetLabel(label);
}

void BTextControl::SetText(const char* text)
{
	mTextView->SetText(text != nullptr ? text : "");
}

const char* BTextControl::Text() const
{
	return mTextView->Text();
}

BTextView* BTextControl::TextView() const
{
	return mTextView;
}

void BTextControl::SetDivider(float divider)
{
	BRect bounds = Bounds();
	if (!std::isfinite(divider))
		return;
	mDivider = std::clamp(divider, 0.0f, bounds.Width());
	_LayoutTextView();
	Invalidate();
}

float BTextControl::Divider() const
{
	return mDivider;
}

void BTextControl::SetModificationMessage(BMessage* message)
{
	if (message != mModificationMessage) {
		delete mModificationMessage;
		mModificationMessage = message;
	}
}

BMessage* BTextControl::ModificationMessage() const
{
	return mModificationMessage;
}

void BTextControl::_LayoutTextView()
{
	BRect bounds = Bounds();
	mTextView->MoveTo(mDivider, 0);
	mTextView->ResizeTo(std::max(0.0f, bounds.Width() - mDivider), bounds.Height());
}

void BTextControl::_TextChanged()
{
	if (mModificationMessage == nullptr)
		return;
	BMessage copy(*mModificationMessage);
	copy.AddInt64("when", system_time());
	copy.AddPointer("source", static_cast<BControl*>(this));
	BMessenger window;
	if (Window() != nullptr)
		window = BMessenger(Window());
	SendToTarget(&copy, &window);
}
