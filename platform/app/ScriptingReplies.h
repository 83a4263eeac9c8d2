// Replies the framework itself gives to scripting messages.
#ifndef SCRIPTING_REPLIES_H
#define SCRIPTING_REPLIES_H

#include "SupportDefs.h"

class BMessage;

namespace BPrivate {

// B_MESSAGE_NOT_UNDERSTOOD with "error" and the framework's "message" text.
void send_not_understood(BMessage* request, status_t error);

} // namespace BPrivate

#endif // SCRIPTING_REPLIES_H
