#include "ScriptingReplies.h"

#include "Message.h"
#include "PropertyInfo.h"

namespace BPrivate {

void send_not_understood(BMessage* request, status_t error)
{
	send_not_understood(request, error, "Didn't understand the specifier(s)");
}

void send_not_understood(BMessage* request, status_t error, const char* text)
{
	BMessage reply(B_MESSAGE_NOT_UNDERSTOOD);
	reply.AddInt32("error", error);
	reply.AddString("message", text);
	request->SendReply(&reply);
}

void send_scripting_reply(BMessage* request, BMessage* reply, status_t error)
{
	BMessage empty(B_REPLY);
	if (reply == nullptr)
		reply = &empty;
	reply->AddInt32("error", error);
	request->SendReply(reply);
}

void send_set_reply(BMessage* request, status_t findStatus)
{
	send_scripting_reply(request, nullptr, findStatus == B_OK ? B_OK : B_BAD_VALUE);
}

bool current_specifier(BMessage* message, int32* form, const char** property, BMessage* specifier)
{
	int32 index;
	BMessage local;
	return message->GetCurrentSpecifier(&index, specifier != nullptr ? specifier : &local, form,
	                                    property) == B_OK;
}

status_t add_suite(BMessage* data, const char* suite, property_info* properties)
{
	if (data == nullptr)
		return B_BAD_VALUE;
	const status_t status = data->AddString("suites", suite);
	if (status != B_OK)
		return status;
	BPropertyInfo info(properties);
	return data->AddFlat("messages", &info);
}

bool suite_matches(property_info* properties, BMessage* message, int32 index, BMessage* specifier,
                   int32 form, const char* property)
{
	BPropertyInfo info(properties);
	return property != nullptr && info.FindMatch(message, index, specifier, form, property) >= 0;
}

} // namespace BPrivate
