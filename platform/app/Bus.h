// The layer's side of the session bus: this application's registration and
// exported object, messages to other applications, and what the bus knows
// of them. The wire protocol is described in docs/protocol.md.
#ifndef BUS_H
#define BUS_H

#include <functional>
#include <vector>

#include "AppRecord.h"
#include "Messenger.h"
#include "SupportDefs.h"

class BMessage;

namespace BPrivate {

// The largest flattened message accepted from or sent to the bus; for
// Requests, the messages of one call together, and their replies. Well
// below what a bus daemon lets through by default (32 MiB a message).
const size_t kMaxWireMessageSize = 16 * 1024 * 1024;
// Bytes of requests an application holds unanswered at once; more is
// refused as busy. The bus library stops reading while the calls it handed
// out hold more than 63 MiB, so the application stays well below that.
const size_t kMaxHeldRequestBytes = 32 * 1024 * 1024;
// What a wait for another process means when the caller said "forever".
const bigtime_t kMaxRemoteWait = 30 * 1000000LL;
// Questions the roster asks other processes (their app_info).
const bigtime_t kRosterQueryTimeout = 2 * 1000000LL;

class Bus
{
public:
	// Connects on first use. False without a Qt application or without a
	// session bus address; everything below then fails quietly.
	static bool Available();

	// Exports this process's object and takes its bus name. provider
	// answers app_info questions (any thread).
	static status_t RegisterSelf(std::function<app_record()> provider);
	static void UnregisterSelf();

	static bool IsRegistered(team_id team);
	// Other registered applications (not this one), unordered. The bus's
	// listing is asked once and then kept up to date from its
	// NameOwnerChanged signal; fresh asks for it again, for a caller that
	// missed an application that may have only just started.
	static std::vector<app_record> Applications(bool fresh = false);
	static bool Application(team_id team, app_record* record);

	// Launch (true) and quit (false) of other applications; called on the
	// bus thread. One watcher; an empty function removes it.
	static void SetWatcher(std::function<void(bool launched, const app_record&)> watcher);

	static status_t Post(const BMessenger::Address& target, const BMessage& message,
	                     const BMessenger::Address& replyTo, bigtime_t timeout);
	static status_t Request(const BMessenger::Address& target, const BMessage& message,
	                        BMessage* reply, bigtime_t timeout);
	// Asks all count messages in one Requests call (of a peer that does not
	// know it: as Requests sent back to back), then waits for all replies at
	// once: results[i] and replies[i] as Request gives them. A failure that
	// only came after the time-out counts as B_TIMED_OUT.
	static void RequestAll(const BMessenger::Address& target, const BMessage* const* messages,
	                       int32 count, BMessage* replies, status_t* results, bigtime_t timeout);

	// Milliseconds for a bus call: finite time-outs rounded up, infinite
	// ones bounded by kMaxRemoteWait.
	static int TimeoutMs(bigtime_t timeout);
};

} // namespace BPrivate

#endif // BUS_H
