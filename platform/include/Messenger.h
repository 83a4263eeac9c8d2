// BMessenger: an address of a handler, in this process or in another
// application, to which messages can be sent.
#ifndef _MESSENGER_H
#define _MESSENGER_H

#include "SupportDefs.h"

class BHandler;
class BLooper;
class BMessage;

// A messenger is a value: copying is cheap and it never owns its target. It
// keeps ids, not pointers, so a messenger to a looper that has gone away is
// simply no longer valid.
//
// Time-outs are in microseconds. Sending to another process travels over
// the session bus; there a B_INFINITE_TIMEOUT stands for the layer's
// maximum of 30 seconds per wait (see docs/protocol.md), so a hung peer
// costs at most that.
class BMessenger
{
public:
	BMessenger();
	// To a handler in this process. With handler nullptr and looper given, the
	// looper's preferred handler. B_BAD_HANDLER when the handler belongs to
	// no looper or to another looper than the one given.
	BMessenger(const BHandler* handler, const BLooper* looper = nullptr,
	           status_t* result = nullptr);
	// To the application object of a running application, found by
	// signature (may be nullptr when team is given) and/or team. When several
	// applications match, the one registered first.
	BMessenger(const char* signature, team_id team = -1, status_t* result = nullptr);
	BMessenger(const BMessenger& other);
	BMessenger& operator=(const BMessenger& other);
	~BMessenger();

	bool operator==(const BMessenger& other) const;
	bool operator!=(const BMessenger& other) const { return !(*this == other); }

	// Whether the target still exists (for a local target: its looper is
	// alive; for another process: it is registered on the bus).
	bool IsValid() const;
	bool IsTargetLocal() const;
	team_id Team() const;

	// Local targets only: the target handler and its looper (nullptr, nullptr
	// for remote targets or when gone). Lock the looper before using them.
	BHandler* Target(BLooper** looper) const;
	bool LockTarget() const;
	status_t LockTargetWithTimeout(bigtime_t timeout) const;

	// Asynchronous: copies the message to the target. Replies go to
	// replyTo (nullptr: be_app). timeout bounds the delivery.
	status_t SendMessage(uint32 command, BHandler* replyTo = nullptr) const;
	status_t SendMessage(BMessage* message, BHandler* replyTo = nullptr,
	                     bigtime_t timeout = B_INFINITE_TIMEOUT) const;
	status_t SendMessage(BMessage* message, BMessenger replyTo,
	                     bigtime_t timeout = B_INFINITE_TIMEOUT) const;

	// Synchronous: waits for the reply, which is copied into reply. When the
	// target handles the message without replying, reply becomes B_NO_REPLY.
	// B_TIMED_OUT when no reply came in time (reply's what is then
	// B_NO_REPLY too); B_WOULD_BLOCK when the caller is the target's own
	// dispatching thread. On the Qt main thread the wait keeps Qt events
	// flowing; messages for windows still wait for the current dispatch.
	status_t SendMessage(uint32 command, BMessage* reply) const;
	status_t SendMessage(BMessage* message, BMessage* reply,
	                     bigtime_t deliveryTimeout = B_INFINITE_TIMEOUT,
	                     bigtime_t replyTimeout = B_INFINITE_TIMEOUT) const;

	// An addition of this layer: sends the count messages one after another
	// without waiting in between, then waits for all their replies, so that
	// asking another process several things costs about one round trip
	// instead of one each. The target handles them in the given order.
	// replies[i] and results[i] are what SendMessage(messages[i],
	// &replies[i], timeout, timeout) would give, every wait counted from the
	// first send; a failure that comes only after the time-out has run out
	// is B_TIMED_OUT. Returns B_OK when every message was answered, else the
	// first result that is not B_OK (B_BAD_VALUE, without sending anything,
	// for a nullptr array or message).
	status_t SendRequests(BMessage* const* messages, int32 count, BMessage* replies,
	                      status_t* results, bigtime_t timeout = B_INFINITE_TIMEOUT) const;

	// Layer-internal address fields, used by the wire form and by
	// BMessage's reply path.
	struct Address
	{
		team_id team;
		int32 looperToken;  // -1 for another process's application
		int32 handlerToken; // -1: the looper's preferred handler
	};
	Address GetAddress() const { return mAddress; }
	static BMessenger FromAddress(const Address& address);

private:
	Address mAddress;
};

#endif // _MESSENGER_H
