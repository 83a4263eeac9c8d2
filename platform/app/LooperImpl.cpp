#include "LooperImpl.h"

#include <chrono>
#include <thread>

#include "MainThread.h"
#include "Message.h"
#include "SendCancel.h"
#include "TokenRegistry.h"

namespace BPrivate {

namespace {

// A handler that keeps handing the message to another handler without
// popping a specifier must not spin the looper forever.
const int kMaxResolveSteps = 64;

} // namespace

LooperImpl::LooperImpl(BLooper* owner, looper_thread_kind kind)
    : mOwner(owner), mKind(kind), mToken(owner->Token())
{
}

LooperImpl::~LooperImpl() = default;

bool LooperImpl::Lock(bigtime_t timeout)
{
	thread_id me = find_thread(nullptr);
	std::unique_lock<std::mutex> guard(mLockMutex);
	if (mDead)
		return false;
	if (mLockOwner == me) {
		mLockCount++;
		return true;
	}
	auto free = [this] { return mDead || mLockOwner == -1; };
	if (timeout == B_INFINITE_TIMEOUT)
		mLockCond.wait(guard, free);
	else if (!mLockCond.wait_for(guard, std::chrono::microseconds(std::max<bigtime_t>(timeout, 0)),
	                             free))
		return false;
	if (mDead)
		return false;
	mLockOwner = me;
	mLockCount = 1;
	return true;
}

void LooperImpl::Unlock()
{
	std::lock_guard<std::mutex> guard(mLockMutex);
	if (mLockOwner != find_thread(nullptr) || mLockCount == 0)
		return;
	if (--mLockCount == 0) {
		mLockOwner = -1;
		mLockCond.notify_one();
	}
}

int32 LooperImpl::UnlockFully()
{
	std::lock_guard<std::mutex> guard(mLockMutex);
	if (mLockOwner != find_thread(nullptr))
		return 0;
	int32 count = mLockCount;
	mLockCount = 0;
	mLockOwner = -1;
	mLockCond.notify_one();
	return count;
}

bool LooperImpl::IsLockedByCaller() const
{
	std::lock_guard<std::mutex> guard(mLockMutex);
	return mLockOwner == find_thread(nullptr) && mLockCount > 0;
}

thread_id LooperImpl::LockingThread() const
{
	std::lock_guard<std::mutex> guard(mLockMutex);
	return mLockOwner;
}

int32 LooperImpl::CountLocks() const
{
	std::lock_guard<std::mutex> guard(mLockMutex);
	return mLockCount;
}

status_t LooperImpl::Enqueue(std::unique_ptr<BMessage> message, int32 handlerToken, bool front)
{
	// The message may make the loop quit and drop the last other reference
	// before we have signalled it.
	std::shared_ptr<LooperImpl> self = shared_from_this();
	bool drain = false;
	{
		std::lock_guard<std::mutex> guard(mQueueMutex);
		if (mLoopEnded || mClosed) {
			// Deleting it outside the lock would be nicer, but its reply
			// channel only records or posts; it never comes back here.
			message.reset();
			return B_BAD_PORT_ID;
		}
		if (front)
			mQueue.push_front(Envelope{std::move(message), handlerToken});
		else
			mQueue.push_back(Envelope{std::move(message), handlerToken});
		drain = mKind == kGuiThread && mRunning;
	}
	if (drain)
		schedule_gui_drain(self);
	else
		mQueueCond.notify_one();
	return B_OK;
}

int32 LooperImpl::CountQueued() const
{
	std::lock_guard<std::mutex> guard(mQueueMutex);
	return (int32)mQueue.size();
}

thread_id LooperImpl::DispatchThread() const
{
	std::lock_guard<std::mutex> guard(mQueueMutex);
	if (!mRunning)
		return -1;
	return mKind == kGuiThread ? main_thread_id() : mThread;
}

bool LooperImpl::IsRunning() const
{
	std::lock_guard<std::mutex> guard(mQueueMutex);
	return mRunning;
}

bool LooperImpl::CallerIsDispatcher() const
{
	if (mKind == kGuiThread)
		return is_main_thread();
	std::lock_guard<std::mutex> guard(mQueueMutex);
	return mRunning && mThread == find_thread(nullptr);
}

void LooperImpl::SetLoopHooks(std::function<void()> onStart, std::function<void()> onExit)
{
	mOnStart = std::move(onStart);
	mOnExit = std::move(onExit);
}

thread_id LooperImpl::Run()
{
	if (mKind == kGuiThread) {
		size_t pending;
		{
			std::lock_guard<std::mutex> guard(mQueueMutex);
			if (mRunning)
				return main_thread_id();
			mRunning = true;
			pending = mQueue.size();
		}
		for (size_t i = 0; i < pending; i++)
			schedule_gui_drain(shared_from_this());
		UnlockFully();
		return main_thread_id();
	}

	Completion started;
	{
		std::lock_guard<std::mutex> guard(mQueueMutex);
		if (mRunning)
			return mThread;
		mRunning = true;
	}
	std::shared_ptr<LooperImpl> self = shared_from_this();
	std::thread worker([self, &started] {
		{
			std::lock_guard<std::mutex> guard(self->mQueueMutex);
			self->mThread = find_thread(nullptr);
		}
		// Before Run returns, so a cancel right after it is not lost.
		begin_cancellable_thread();
		started.Complete();
		self->_ThreadLoop();
		end_cancellable_thread();
	});
	worker.detach();
	// Not a Completion::Wait: the main thread must not spin its event loop
	// here, the thread sets its id at once.
	while (!started.IsComplete())
		std::this_thread::yield();
	UnlockFully();
	std::lock_guard<std::mutex> guard(mQueueMutex);
	return mThread;
}

void LooperImpl::_ThreadLoop()
{
	if (mOnStart && Lock(B_INFINITE_TIMEOUT)) {
		mOnStart();
		Unlock();
	}
	for (;;) {
		Envelope envelope;
		{
			std::unique_lock<std::mutex> guard(mQueueMutex);
			mQueueCond.wait(guard, [this] { return mQuitting || !mQueue.empty(); });
			if (mQuitting)
				break;
			envelope = std::move(mQueue.front());
			mQueue.pop_front();
		}
		if (!Lock(B_INFINITE_TIMEOUT))
			break;
		if (_DispatchLocked(envelope))
			break;
		Unlock();
	}

	// Keep this object alive past the owner's deletion below.
	std::shared_ptr<LooperImpl> self = shared_from_this();
	std::function<void()> onExit = mOnExit;
	if (mDeleteOnQuit) {
		if (IsLockedByCaller() || Lock(B_INFINITE_TIMEOUT))
			_DeleteOwner();
	} else {
		UnlockFully();
	}
	{
		std::lock_guard<std::mutex> guard(mQueueMutex);
		mLoopEnded = true;
	}
	mQueueCond.notify_all();
	if (onExit)
		onExit();
}

void LooperImpl::WaitForLoopEnd()
{
	std::unique_lock<std::mutex> guard(mQueueMutex);
	if (!mRunning || mKind == kGuiThread)
		return;
	mQueueCond.wait(guard, [this] { return mLoopEnded; });
}

void LooperImpl::CancelRequests()
{
	thread_id thread = -1;
	{
		std::lock_guard<std::mutex> guard(mQueueMutex);
		if (mKind == kOwnThread && mRunning)
			thread = mThread;
	}
	if (thread >= 0)
		cancel_thread_sends(thread);
}

void LooperImpl::Quit()
{
	// The loop thread may drop the last reference while we still wait here.
	std::shared_ptr<LooperImpl> keepAlive = weak_from_this().lock();
	bool running;
	{
		std::lock_guard<std::mutex> guard(mQueueMutex);
		running = mRunning;
	}
	if (!running) {
		_DeleteOwner();
		return;
	}

	if (mKind == kOwnThread) {
		{
			std::lock_guard<std::mutex> guard(mQueueMutex);
			mQuitting = true;
		}
		mQueueCond.notify_all();
		if (CallerIsDispatcher())
			return; // the loop ends after the current message
		UnlockFully();
		if (mDeleteOnQuit)
			WaitForLoopEnd();
		return;
	}

	if (is_main_thread()) {
		if (mInDispatch) {
			std::lock_guard<std::mutex> guard(mQueueMutex);
			mQuitting = true;
			return;
		}
		if (IsLockedByCaller() || Lock(B_INFINITE_TIMEOUT))
			_DeleteOwner();
		return;
	}
	{
		std::lock_guard<std::mutex> guard(mQueueMutex);
		mQuitting = true;
	}
	UnlockFully();
	std::weak_ptr<LooperImpl> weak = shared_from_this();
	post_to_main([weak] {
		std::shared_ptr<LooperImpl> looper = weak.lock();
		if (looper && looper->Lock(B_INFINITE_TIMEOUT))
			looper->_DeleteOwner();
	});
}

void LooperImpl::_DeleteOwner()
{
	BLooper* owner = mOwner;
	if (owner != nullptr)
		delete owner;
}

BMessage* LooperImpl::DetachCurrentMessage()
{
	return mCurrent.release();
}

void LooperImpl::OwnerDestroyed()
{
	std::shared_ptr<LooperImpl> self = shared_from_this();
	if (!IsLockedByCaller())
		Lock(B_INFINITE_TIMEOUT);
	std::deque<Envelope> leftover;
	{
		std::lock_guard<std::mutex> guard(mQueueMutex);
		mClosed = true;
		leftover.swap(mQueue);
	}
	TokenRegistry::Default().RemoveLooper(mToken);
	{
		std::lock_guard<std::mutex> guard(mLockMutex);
		mOwner = nullptr;
		mDead = true;
		mLockOwner = -1;
		mLockCount = 0;
		mLockCond.notify_all();
	}
	mQueueCond.notify_all();
	// Their reply channels answer waiting senders with B_NO_REPLY.
	leftover.clear();
}

void LooperImpl::DispatchNextOnGui()
{
	Envelope envelope;
	{
		std::lock_guard<std::mutex> guard(mQueueMutex);
		if (mQueue.empty() || !mRunning || mClosed || mQuitting)
			return;
		envelope = std::move(mQueue.front());
		mQueue.pop_front();
	}
	std::shared_ptr<LooperImpl> self = shared_from_this();
	if (!Lock(B_INFINITE_TIMEOUT))
		return;
	enter_gui_dispatch();
	if (_DispatchLocked(envelope))
		_DeleteOwner();
	else
		Unlock();
	leave_gui_dispatch();
}

BHandler* LooperImpl::_ResolveTarget(int32 handlerToken)
{
	if (handlerToken < 0)
		return mPreferred != nullptr ? mPreferred : mOwner;
	for (BHandler* handler : mHandlers) {
		if (handler->Token() == handlerToken)
			return handler;
	}
	return nullptr;
}

bool LooperImpl::_DispatchLocked(Envelope& envelope)
{
	mInDispatch = true;
	_DispatchOne(envelope);
	mInDispatch = false;
	std::lock_guard<std::mutex> guard(mQueueMutex);
	return mQuitting;
}

void LooperImpl::_DispatchOne(Envelope& envelope)
{
	mCurrent = std::move(envelope.message);
	BMessage* message = mCurrent.get();
	MessageInternals::SetWasDelivered(*message, true);

	BHandler* handler = _ResolveTarget(envelope.handlerToken);
	if (message->what == kMsgQuitAsk) {
		_HandleQuitAsk(message);
		handler = nullptr;
	}

	for (int step = 0; handler != nullptr && step < kMaxResolveSteps; step++) {
		if (!message->HasSpecifiers())
			break;
		int32 index;
		BMessage specifier;
		int32 form;
		const char* property;
		if (message->GetCurrentSpecifier(&index, &specifier, &form, &property) != B_OK)
			break;
		BHandler* next = handler->ResolveSpecifier(message, index, &specifier, form, property);
		if (next == handler)
			break;
		handler = next;
		if (next != nullptr && next->Looper() != mOwner) {
			// Handled by another looper: hand the message over, reply
			// channel and all.
			BLooper* other = next->Looper();
			std::unique_ptr<BMessage> handed = std::move(mCurrent);
			if (other != nullptr)
				other->mImpl->Enqueue(std::move(handed), next->Token());
			return;
		}
	}

	if (handler != nullptr && mCurrent != nullptr)
		mOwner->DispatchMessage(message, handler);

	mCurrent.reset();
}

void LooperImpl::_HandleQuitAsk(BMessage* message)
{
	bool agreed = mOwner->QuitRequested();
	BMessage reply(B_REPLY);
	reply.AddBool("result", agreed);
	message->SendReply(&reply);
	if (agreed)
		mOwner->Quit();
}

} // namespace BPrivate
