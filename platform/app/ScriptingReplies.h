// Replies the framework itself gives to scripting messages.
#ifndef SCRIPTING_REPLIES_H
#define SCRIPTING_REPLIES_H

#include "SupportDefs.h"

class BMessage;
struct property_info;

namespace BPrivate {

// B_MESSAGE_NOT_UNDERSTOOD with "error" and the framework's "message" text.
void send_not_understood(BMessage* request, status_t error);
// B_MESSAGE_NOT_UNDERSTOOD with "error" and a text of the caller's, for a
// specifier that was understood but names nothing (B_BAD_INDEX,
// B_NAME_NOT_FOUND).
void send_not_understood(BMessage* request, status_t error, const char* text);
// Sends reply (a B_REPLY with its "result" fields, or nullptr for none) with
// "error" set to error.
void send_scripting_reply(BMessage* request, BMessage* reply, status_t error);

// The current specifier of a scripting message: false when there is none
// (all of them resolved), which the standard suites read as "the target
// itself".
bool current_specifier(BMessage* message, int32* form, const char** property,
                       BMessage* specifier = nullptr);

// Adds a suite's name and its property table to a B_GET_SUPPORTED_SUITES
// reply: what every GetSupportedSuites adds before its base class's.
status_t add_suite(BMessage* data, const char* suite, property_info* properties);

} // namespace BPrivate

#endif // SCRIPTING_REPLIES_H
