// Sends a message to a target repeatedly, interval microseconds apart.
//
// The timer runs on the main thread's event loop, so a window (whose
// dispatch is on that thread) gets the message queued like any other.
// Create, change and delete a runner on the main thread.
#ifndef _MESSAGE_RUNNER_H
#define _MESSAGE_RUNNER_H

#include <memory>

#include "Messenger.h"

class BMessage;

namespace BPrivate {
class MessageRunnerTimer;
}

class BMessageRunner
{
public:
	// count < 0: until deleted. The message is copied.
	BMessageRunner(BMessenger target, const BMessage* message, bigtime_t interval,
	               int32 count = -1);
	~BMessageRunner();

	// B_OK while the runner still has messages to send; B_NO_INIT when none
	// are left or the process has no event loop.
	status_t InitCheck() const;
	// Starts the wait for the next message afresh, with the new interval:
	// a runner of count 1 whose interval is set again on every keystroke
	// fires once, when the keys stop.
	status_t SetInterval(bigtime_t interval);
	// How many messages are still to be sent, counting from now; the wait
	// starts afresh. A runner that had sent all its messages runs again.
	status_t SetCount(int32 count);

	BMessageRunner(const BMessageRunner&) = delete;
	BMessageRunner& operator=(const BMessageRunner&) = delete;

private:
	std::unique_ptr<BPrivate::MessageRunnerTimer> mTimer;
};

#endif // _MESSAGE_RUNNER_H
