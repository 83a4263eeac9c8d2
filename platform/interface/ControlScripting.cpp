// The control suite: label, value, enabled state, and executing the
// control as a click on it does.
#include <cstring>

#include "Control.h"
#include "Message.h"
#include "PropertyInfo.h"
#include "PropertyRows.h"
#include "ScriptingReplies.h"
#include "ViewScripting.h"

namespace {

const char* kControlSuite = "suite/vnd.Be-control";

property_info sControlProperties[] = {
    BPrivate::get_set_row("Label", B_STRING_TYPE, "the control's label"),
    BPrivate::get_set_row("Value", B_INT32_TYPE, "the control's value"),
    BPrivate::get_set_row("Enabled", B_BOOL_TYPE, "whether the control takes input"),
    {},
};

bool answer_control_property(BControl* control, BMessage* message, const char* property)
{
	BMessage reply(B_REPLY);
	const bool set = message->what == B_SET_PROPERTY;
	if (!set && message->what != B_GET_PROPERTY)
		return false;
	status_t status = B_OK;
	if (strcmp(property, "Label") == 0) {
		const char* label = nullptr;
		if (!set)
			reply.AddString("result", control->Label());
		else if ((status = message->FindString("data", &label)) == B_OK)
			control->SetLabel(label);
	} else if (strcmp(property, "Value") == 0) {
		int32 value = 0;
		if (!set)
			reply.AddInt32("result", control->Value());
		else if ((status = message->FindInt32("data", &value)) == B_OK)
			control->SetValue(value);
	} else if (strcmp(property, "Enabled") == 0) {
		bool enabled = false;
		if (!set)
			reply.AddBool("result", control->IsEnabled());
		else if ((status = message->FindBool("data", &enabled)) == B_OK)
			control->SetEnabled(enabled);
	} else {
		return false;
	}
	if (set)
		BPrivate::send_set_reply(message, status);
	else
		BPrivate::send_scripting_reply(message, &reply, B_OK);
	return true;
}

} // namespace

void BControl::MessageReceived(BMessage* message)
{
	int32 form;
	const char* property = nullptr;
	if (message->what == B_EXECUTE_PROPERTY &&
	    !BPrivate::current_specifier(message, &form, &property)) {
		// Our own addition to the suite: "do" on a control is a click on it,
		// refused while the control is disabled, as a click would be.
		status_t status = IsEnabled() ? Invoke() : B_NOT_ALLOWED;
		BPrivate::send_scripting_reply(message, nullptr, status);
		return;
	}
	property = BPrivate::direct_property(message);
	if (property != nullptr && answer_control_property(this, message, property))
		return;
	BView::MessageReceived(message);
}

BHandler* BControl::ResolveSpecifier(BMessage* message, int32 index, BMessage* specifier,
                                     int32 form, const char* property)
{
	if (BPrivate::suite_matches(sControlProperties, message, index, specifier, form, property))
		return this;
	return BView::ResolveSpecifier(message, index, specifier, form, property);
}

status_t BControl::GetSupportedSuites(BMessage* data)
{
	const status_t status = BPrivate::add_suite(data, kControlSuite, sControlProperties);
	return status == B_OK ? BView::GetSupportedSuites(data) : status;
}
