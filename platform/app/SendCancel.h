// Giving up the synchronous sends of a looper's thread from another thread:
// BLooper::CancelRequests marks the thread, and every wait for a reply that
// thread is in, or starts afterwards, ends at once. Layer-internal.
#ifndef SEND_CANCEL_H
#define SEND_CANCEL_H

#include <atomic>
#include <functional>

#include "SupportDefs.h"

namespace BPrivate {

// The calling thread is a looper's own thread from now on (until
// end_cancellable_thread): its waits can be cancelled.
void begin_cancellable_thread();
// Called by the thread as it ends: the mark goes, so that a later thread of
// the same id starts clean.
void end_cancellable_thread();
// Whether the calling thread's waits can be cancelled.
bool thread_is_cancellable();
// Marks thread; false when it is no cancellable thread.
bool cancel_thread_sends(thread_id thread);

// One wait of the calling thread for replies. wake runs on the cancelling
// thread (it must only signal the waiter) when a cancel comes while the
// wait lasts. A wait on a thread marked before it began is cancelled from
// the start.
class CancellableWait
{
public:
	explicit CancellableWait(std::function<void()> wake);
	~CancellableWait();
	CancellableWait(const CancellableWait&) = delete;
	CancellableWait& operator=(const CancellableWait&) = delete;

	// Whether the calling thread can be cancelled at all; waits of other
	// threads never are and may block as they like.
	bool Possible() const { return mPossible; }
	bool Cancelled() const { return mCancelled.load(); }

private:
	friend bool cancel_thread_sends(thread_id thread);

	std::function<void()> mWake;
	std::atomic<bool> mCancelled{false};
	bool mPossible = false;
	thread_id mThread;
};

} // namespace BPrivate

#endif // SEND_CANCEL_H
