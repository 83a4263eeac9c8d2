// BControl: label, value, enabled state, and invoking with "source".
#include "Control.h"

#include "Message.h"
#include "Messenger.h"
#include "OS.h"
#include "Window.h"

namespace {

// Changes a value the control draws, redrawing only when it differs.
template <typename Value> void set_drawn(BView* view, Value* member, Value value)
{
	if (value != *member) {
		*member = value;
		view->Invalidate();
	}
}

} // namespace

BControl::BControl(BRect frame, const char* name, const char* label, BMessage* message,
                   uint32 resizingMode, uint32 flags)
    : BView(frame, name, resizingMode, flags), BInvoker(message, nullptr, nullptr),
      mLabel(label != nullptr ? label : ""), mValue(B_CONTROL_OFF), mEnabled(true)
{
}

BControl::~BControl() {}

void BControl::AttachedToWindow()
{
	// Controls blend into the view they sit on.
	if (Parent() != nullptr) {
		SetViewColor(Parent()->ViewColor());
		SetLowColor(Parent()->ViewColor());
	}
	BView::AttachedToWindow();
}

void BControl::SetLabel(const char* label)
{
	mLabel = label != nullptr ? label : "";
	Invalidate();
}

const char* BControl::Label() const
{
	return mLabel.c_str();
}

void BControl::SetValue(int32 value)
{
	set_drawn(this, &mValue, value);
}

int32 BControl::Value() const
{
	return mValue;
}

void BControl::SetEnabled(bool enabled)
{
	set_drawn(this, &mEnabled, enabled);
}

bool BControl::IsEnabled() const
{
	return mEnabled;
}

status_t BControl::Invoke(BMessage* message)
{
	if (message == nullptr)
		message = Message();
	if (message == nullptr)
		return B_BAD_VALUE;
	BMessage copy(*message);
	copy.AddInt64("when", system_time());
	copy.AddPointer("source", static_cast<BControl*>(this));
	BMessenger window;
	if (Window() != nullptr)
		window = BMessenger(Window());
	return SendToTarget(&copy, &window);
}
