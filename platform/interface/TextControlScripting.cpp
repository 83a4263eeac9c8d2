// The text control suite: the text of the field, beside the control suite.
#include <cstring>

#include "Message.h"
#include "PropertyInfo.h"
#include "PropertyRows.h"
#include "ScriptingReplies.h"
#include "TextControl.h"
#include "ViewScripting.h"

namespace {

const char* kTextControlSuite = "suite/vnd.Be-text-control";

property_info sTextControlProperties[] = {
    BPrivate::get_set_row("Text", B_STRING_TYPE, "the text of the field"),
    {},
};

} // namespace

void BTextControl::MessageReceived(BMessage* message)
{
	const char* property = BPrivate::direct_property(message);
	if (property != nullptr && strcmp(property, "Text") == 0) {
		if (BPrivate::answer_get<const char*>(message, &BMessage::AddString, Text()))
			return;
		if (message->what == B_SET_PROPERTY) {
			const char* text = nullptr;
			const status_t status = message->FindString("data", &text);
			if (status == B_OK)
				SetText(text);
			BPrivate::send_set_reply(message, status);
			return;
		}
	}
	BControl::MessageReceived(message);
}

BHandler* BTextControl::ResolveSpecifier(BMessage* message, int32 index, BMessage* specifier,
                                         int32 form, const char* property)
{
	if (BPrivate::suite_matches(sTextControlProperties, message, index, specifier, form, property))
		return this;
	return BControl::ResolveSpecifier(message, index, specifier, form, property);
}

status_t BTextControl::GetSupportedSuites(BMessage* data)
{
	const status_t status = BPrivate::add_suite(data, kTextControlSuite, sTextControlProperties);
	return status == B_OK ? BControl::GetSupportedSuites(data) : status;
}
