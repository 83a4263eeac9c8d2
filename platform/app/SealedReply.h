// Replies handed over outside the bus's byte stream (the protocol's
// RequestFd): the flattened reply in a sealed memory file whose descriptor
// travels with the answer. Large replies then cost the bus a few bytes
// instead of a crawl through the daemon. No Qt: the plain client uses it.
#ifndef SEALED_REPLY_H
#define SEALED_REPLY_H

#include "SupportDefs.h"

class BMessage;

namespace BPrivate {

// A sealed memory file (no shrinking, growing or writing, no further
// seals) holding message flattened; the descriptor, which the caller owns,
// or -1 with *status set (B_BAD_VALUE when the message is over
// kMaxWireMessageSize).
int sealed_reply_file(const BMessage& message, status_t* status);

// Reads a reply from a descriptor another process handed us. It must be a
// regular file sealed against change, of 1 to kMaxWireMessageSize bytes,
// holding one whole flattened message. The descriptor is closed on every
// path. B_BAD_REPLY for anything else; reply is then emptied.
status_t read_sealed_reply(int fd, BMessage* reply);

} // namespace BPrivate

#endif // SEALED_REPLY_H
