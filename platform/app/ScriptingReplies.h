// Replies the framework itself gives to scripting messages.
#ifndef SCRIPTING_REPLIES_H
#define SCRIPTING_REPLIES_H

#include <string>
#include <type_traits>

#include "AppDefs.h"
#include "Message.h"
#include "SupportDefs.h"

struct property_info;

namespace BPrivate {

// B_MESSAGE_NOT_UNDERSTOOD with "error" and the framework's "message" text.
void send_not_understood(BMessage* request, status_t error);
// B_MESSAGE_NOT_UNDERSTOOD with "error" and a text of the caller's, for a
// specifier that was understood but names nothing (B_BAD_INDEX,
// B_NAME_NOT_FOUND).
void send_not_understood(BMessage* request, status_t error, const char* text);
// A size for people, rounded up: "70 MiB", "16.1 MiB", "3 KiB", "12 bytes".
std::string size_text(uint64 bytes);
// What a reply over the bus's limit is told: "the text is 70 MiB; a reply
// holds at most 16 MiB" (what names the value, bytes its size).
std::string too_large_text(const char* what, uint64 bytes);
// Answers a request whose answer could not travel back to its sender: "error"
// B_RESULT_NOT_REPRESENTABLE and "message" too_large_text.
void send_too_large(BMessage* request, const char* what, uint64 bytes);

// Sends reply (a B_REPLY with its "result" fields, or nullptr for none) with
// "error" set to error.
void send_scripting_reply(BMessage* request, BMessage* reply, status_t error);

// Answers a B_GET_PROPERTY with value as "result", added by add (say
// &BMessage::AddInt32); false, with nothing sent, for any other command.
template <typename Value>
bool answer_get(BMessage* request, status_t (BMessage::*add)(const char*, Value),
                std::type_identity_t<Value> value)
{
	if (request->what != B_GET_PROPERTY)
		return false;
	BMessage reply(B_REPLY);
	(reply.*add)("result", value);
	send_scripting_reply(request, &reply, B_OK);
	return true;
}

// Answers a B_SET_PROPERTY whose "data" was read with findStatus: anything
// but B_OK means the request carried no usable value (B_BAD_VALUE).
void send_set_reply(BMessage* request, status_t findStatus);

// The current specifier of a scripting message: false when there is none
// (all of them resolved), which the standard suites read as "the target
// itself".
bool current_specifier(BMessage* message, int32* form, const char** property,
                       BMessage* specifier = nullptr);

// The position among count elements that an index (0 is the first) or a
// reverse index (1 is the last) names; false when it names none. Any int32
// a peer sends is taken without overflow.
bool element_position(int32 form, int32 index, int32 count, int32* position);

// Adds a suite's name and its property table to a B_GET_SUPPORTED_SUITES
// reply: what every GetSupportedSuites adds before its base class's.
status_t add_suite(BMessage* data, const char* suite, property_info* properties);

// Whether the specifier names a row of a suite's table: what every
// ResolveSpecifier asks before it takes a request or hands it to its base.
bool suite_matches(property_info* properties, BMessage* message, int32 index, BMessage* specifier,
                   int32 form, const char* property);

} // namespace BPrivate

#endif // SCRIPTING_REPLIES_H
