// BTextControl: a label drawn by the control and a single-line text view.
#include "TextControl.h"

#include <QWidget>

#include <algorithm>
#include <cmath>

#include "Message.h"
#include "TextView.h"
#include "TextViewPrivate.h"
#include "ViewPrivate.h"
#include "Window.h"

namespace {

const float kFrameInset = 2.0f;

} // namespace

BTextControl::BTextControl(BRect frame, const char* name, const char* label, const char* text,
                           BMessage* message, uint32 resizingMode, uint32 flags)
    : BControl(frame, name, label, message, resizingMode, flags | B_WILL_DRAW), mTextView(nullptr),
      mDivider(0.0f)
{
	if (label != nullptr && label[0] != '\0')
		mDivider = std::floor(Bounds().Width() / 2.0f);
	mTextView = BPrivate::TextViewAccess::CreateSingleLine(_TextFrame(), "_input_");
	mTextView->SetResizingMode(B_FOLLOW_ALL_SIDES);
	_LayoutTextView();
	// Keyboard focus and Tab stop at the text field, not at the label.
	BPrivate::ViewAccess::Widget(this)->setFocusPolicy(Qt::NoFocus);
	AddChild(mTextView);
	mTextView->SetText(text != nullptr ? text : "");
	BPrivate::TextViewAccess::SetEnterHandler(mTextView, [this] { Invoke(); });
	BPrivate::TextViewAccess::SetChangeHandler(mTextView, [this] { _TextChanged(); });
}

BTextControl::~BTextControl()
{
	// The text view outlives this part of the control by a little; it must
	// not call back into it.
	BPrivate::TextViewAccess::SetEnterHandler(mTextView, nullptr);
	BPrivate::TextViewAccess::SetChangeHandler(mTextView, nullptr);
}

void BTextControl::AttachedToWindow()
{
	BControl::AttachedToWindow();
}

void BTextControl::Draw(BRect updateRect)
{
	(void)updateRect;
	// A sunken frame around the text field.
	BRect field = Bounds();
	field.left = mDivider;
	if (field.IsValid() && field.Width() >= 4 && field.Height() >= 4) {
		// Two rings, each dark at the top and left and light at the bottom
		// and right.
		const rgb_color rings[2][2] = {{make_color(152, 152, 152), make_color(255, 255, 255)},
		                               {make_color(96, 96, 96), make_color(216, 216, 216)}};
		for (const auto& ring : rings) {
			SetHighColor(ring[0]);
			StrokeLine(field.LeftBottom(), field.LeftTop());
			StrokeLine(field.RightTop());
			SetHighColor(ring[1]);
			StrokeLine(field.RightBottom());
			StrokeLine(field.LeftBottom() + BPoint(1, 0));
			field.InsetBy(1, 1);
		}
	}
	const char* label = Label();
	if (label[0] == '\0')
		return;
	font_height height;
	GetFontHeight(&height);
	float baseline =
	    std::floor((Bounds().Height() + 1 - (height.ascent + height.descent)) / 2 + height.ascent);
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
	if (message != mModificationMessage.get())
		mModificationMessage.reset(message);
}

BMessage* BTextControl::ModificationMessage() const
{
	return mModificationMessage.get();
}

BRect BTextControl::_TextFrame() const
{
	// The text sits inside the field's two-pixel frame.
	BRect bounds = Bounds();
	BRect frame(mDivider + kFrameInset, kFrameInset, bounds.right - kFrameInset,
	            bounds.bottom - kFrameInset);
	frame.right = std::max(frame.left, frame.right);
	frame.bottom = std::max(frame.top, frame.bottom);
	return frame;
}

void BTextControl::_LayoutTextView()
{
	BRect frame = _TextFrame();
	mTextView->MoveTo(frame.LeftTop());
	mTextView->ResizeTo(frame.Width(), frame.Height());
	// The text view keeps its text rectangle through resizes; the field's
	// text always spans the whole field.
	BRect textRect = mTextView->Bounds();
	textRect.InsetBy(std::min(2.0f, textRect.Width() / 2), 0);
	mTextView->SetTextRect(textRect);
}

void BTextControl::_TextChanged()
{
	// Sent as an invocation is, "when" and "source" included; qualified, so
	// that a subclass's own Invoke does not take the change notices too.
	if (mModificationMessage != nullptr)
		BControl::Invoke(mModificationMessage.get());
}
