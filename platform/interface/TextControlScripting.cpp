// The text control suite: the text of the field, beside the control suite.
#include <cstring>

#include "Message.h"
#include "PropertyInfo.h"
#include "ScriptingReplies.h"
#include "TextControl.h"
#include "ViewScripting.h"

namespace {

const char* kTextControlSuite = "suite/vnd.Be-text-control";

property_info sTextControlProperties[] = {
    {"Text",
     {B_GET_PROPERTY, B_SET_PROPERTY},
     {B_DIRECT_SPECIFIER},
     "the text of the field",
     0,
     {B_STRING_TYPE},
     {},
     {}},
    {},
};

} // namespace

void BTextControl::MessageReceived(BMessage* message)
{
	const char* property = BPrivate::direct_property(message);
	if (property != nullptr && strcmp(property, "Text") == 0) {
		if (message->what == B_GET_PROPERTY) {
			BMessage reply(B_REPLY);
			reply.AddString("result", Text());
			BPrivate::send_scripting_reply(message, &reply, B_OK);
			return;
		}
		if (message->what == B_SET_PROPERTY) {
			const char* text = nullptr;
			status_t status = message->FindString("data", &text);
			if (status == B_OK)
				SetText(text);
			BPrivate::send_scripting_reply(message, nullptr, status == B_OK ? B_OK : B_BAD_VALUE);
			return;
		}
	}
	BControl::MessageReceived(message);
}

BHandler* BTextControl::ResolveSpecifier(BMessage* message, int32 index, BMessage* specifier,
                                         int32 form, const char* property)
{
	BPropertyInfo info(sTextControlProperties);
	if (property != nullptr && info.FindMatch(message, index, specifier, form, property) >= 0)
		return this;
	return BControl::ResolveSpecifier(message, index, specifier, form, property);
}

status_t BTextControl::GetSupportedSuites(BMessage* data)
{
	const status_t status = BPrivate::add_suite(data, kTextControlSuite, sTextControlProperties);
	return status == B_OK ? BControl::GetSupportedSuites(data) : status;
}
