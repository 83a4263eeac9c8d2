#include "ScriptingReplies.h"

#include "Message.h"

namespace BPrivate {

void send_not_understood(BMessage* request, status_t error)
{
	BMessage reply(B_MESSAGE_NOT_UNDERSTOOD);
	reply.AddInt32("error", error);
	reply.AddString("message", "Didn't understand the specifier(s)");
	request->SendReply(&reply);
}

} // namespace BPrivate
