#include "ScriptingReplies.h"

#include "Bus.h"
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

std::string size_text(uint64 bytes)
{
	const uint64 kKiB = 1024;
	const uint64 kMiB = 1024 * kKiB;
	if (bytes < kKiB)
		return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
	const uint64 unit = bytes < kMiB ? kKiB : kMiB;
	// Tenths, rounded up: a size just over the limit must not read as the limit.
	const uint64 tenths = (bytes * 10 + unit - 1) / unit;
	std::string text = std::to_string(tenths / 10);
	if (tenths % 10 != 0) {
		text += '.';
		text += std::to_string(tenths % 10);
	}
	return text + (unit == kKiB ? " KiB" : " MiB");
}

std::string too_large_text(const char* what, uint64 bytes)
{
	return std::string(what) + " is " + size_text(bytes) + "; a reply holds at most " +
	       size_text(kMaxWireMessageSize);
}

void send_too_large(BMessage* request, const char* what, uint64 bytes)
{
	BMessage reply(B_REPLY);
	reply.AddString("message", too_large_text(what, bytes).c_str());
	send_scripting_reply(request, &reply, B_RESULT_NOT_REPRESENTABLE);
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

bool element_position(int32 form, int32 index, int32 count, int32* position)
{
	if (form == B_REVERSE_INDEX_SPECIFIER) {
		// Checked before the subtraction, which could not hold INT32_MIN.
		if (index < 1 || index > count)
			return false;
		*position = count - index;
		return true;
	}
	if (index < 0 || index >= count)
		return false;
	*position = index;
	return true;
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
