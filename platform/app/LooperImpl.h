// The inner workings of BLooper: the lock, the queue and the dispatch loop,
// for both kinds of looper (own thread, Qt main thread).
#ifndef LOOPER_IMPL_H
#define LOOPER_IMPL_H

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "Looper.h"

#include "Message.h"

namespace BPrivate {

// Internal codes a looper handles itself, before DispatchMessage.
enum {
	// The application asks a window whether it may quit (see
	// ApplicationImpl); the reply goes through the message's channel.
	kMsgQuitAsk = 'bpqa',
};

class LooperImpl : public std::enable_shared_from_this<LooperImpl>
{
public:
	LooperImpl(BLooper* owner, looper_thread_kind kind);
	~LooperImpl();

	looper_thread_kind Kind() const { return mKind; }
	int32 Token() const { return mToken; }
	BLooper* Owner() const { return mOwner; }

	// The lock. Lock fails once the looper is gone.
	bool Lock(bigtime_t timeout);
	void Unlock();
	bool IsLockedByCaller() const;
	thread_id LockingThread() const;
	int32 CountLocks() const;
	// Drops every nesting level the calling thread holds; returns how many.
	int32 UnlockFully();

	// handlerToken -1: the preferred handler. front: queue ahead of
	// everything waiting (launch messages). A refused message is deleted,
	// which answers a waiting sender through its reply channel.
	status_t Enqueue(std::unique_ptr<BMessage> message, int32 handlerToken, bool front = false);
	int32 CountQueued() const;
	// The inner workings of looper, for tests that must see its queue.
	static const LooperImpl* Of(const BLooper* looper) { return looper->mImpl; }

	// The thread that dispatches (the main thread for the GUI kind), -1
	// before Run.
	thread_id DispatchThread() const;
	bool IsRunning() const;
	// True when the calling thread is the one that dispatches this looper.
	bool CallerIsDispatcher() const;

	thread_id Run();
	void Quit();
	// See BLooper::CancelRequests.
	void CancelRequests();

	// For BApplication: run hooks on the loop's thread, and keep the object
	// alive when the loop ends (main() deletes the application).
	void SetLoopHooks(std::function<void()> onStart, std::function<void()> onExit);
	void SetDeleteOnQuit(bool deleteOnQuit) { mDeleteOnQuit = deleteOnQuit; }
	// Waits until the loop thread has ended (own-thread kind).
	void WaitForLoopEnd();

	BMessage* CurrentMessage() const { return mCurrent.get(); }
	BMessage* DetachCurrentMessage();

	std::vector<BHandler*>& Handlers() { return mHandlers; }
	BHandler* PreferredHandler() const { return mPreferred; }
	void SetPreferredHandler(BHandler* handler) { mPreferred = handler; }

	// Called from ~BLooper: fails further posts and locks, drops the queue.
	void OwnerDestroyed();

	// The GUI kind: dispatch the next message on the main thread (called by
	// the main-thread dispatcher).
	void DispatchNextOnGui();

private:
	struct Envelope
	{
		std::unique_ptr<BMessage> message;
		int32 handlerToken = -1;
	};

	void _ThreadLoop();
	void _DispatchOne(Envelope& envelope);
	// _DispatchOne with the looper locked; true when the message quit it.
	bool _DispatchLocked(Envelope& envelope);
	BHandler* _ResolveTarget(int32 handlerToken);
	void _HandleQuitAsk(BMessage* message);
	void _DeleteOwner();

	BLooper* mOwner;
	const looper_thread_kind mKind;
	const int32 mToken;

	mutable std::mutex mLockMutex;
	std::condition_variable mLockCond;
	thread_id mLockOwner = -1;
	int32 mLockCount = 0;
	bool mDead = false;

	mutable std::mutex mQueueMutex;
	std::condition_variable mQueueCond;
	std::deque<Envelope> mQueue;
	bool mQuitting = false;
	bool mLoopEnded = false;
	bool mClosed = false;

	bool mRunning = false;
	bool mDeleteOnQuit = true;
	bool mInDispatch = false;
	thread_id mThread = -1;
	std::function<void()> mOnStart;
	std::function<void()> mOnExit;

	std::unique_ptr<BMessage> mCurrent;
	std::vector<BHandler*> mHandlers;
	BHandler* mPreferred = nullptr;
};

} // namespace BPrivate

#endif // LOOPER_IMPL_H
