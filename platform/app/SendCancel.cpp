#include "SendCancel.h"

#include <map>
#include <mutex>

#include "OS.h"

namespace BPrivate {

namespace {

struct ThreadMark
{
	bool cancelled = false;
	CancellableWait* wait = nullptr;
};

// One lock for the marks; a wake runs under it, so the wait it signals
// cannot end and go meanwhile.
std::mutex sLock;
std::map<thread_id, ThreadMark> sThreads;

} // namespace

void begin_cancellable_thread()
{
	std::lock_guard<std::mutex> guard(sLock);
	sThreads[find_thread(nullptr)] = ThreadMark();
}

void end_cancellable_thread()
{
	std::lock_guard<std::mutex> guard(sLock);
	sThreads.erase(find_thread(nullptr));
}

bool thread_is_cancellable()
{
	std::lock_guard<std::mutex> guard(sLock);
	return sThreads.count(find_thread(nullptr)) != 0;
}

bool cancel_thread_sends(thread_id thread)
{
	std::lock_guard<std::mutex> guard(sLock);
	auto found = sThreads.find(thread);
	if (found == sThreads.end())
		return false;
	found->second.cancelled = true;
	if (CancellableWait* wait = found->second.wait) {
		wait->mCancelled = true;
		if (wait->mWake)
			wait->mWake();
	}
	return true;
}

CancellableWait::CancellableWait(std::function<void()> wake)
    : mWake(std::move(wake)), mThread(find_thread(nullptr))
{
	std::lock_guard<std::mutex> guard(sLock);
	auto found = sThreads.find(mThread);
	if (found == sThreads.end())
		return;
	mPossible = true;
	mCancelled = found->second.cancelled;
	// Sends do not nest on one thread; the outer one would keep its wake.
	if (found->second.wait == nullptr)
		found->second.wait = this;
}

CancellableWait::~CancellableWait()
{
	if (!mPossible)
		return;
	std::lock_guard<std::mutex> guard(sLock);
	auto found = sThreads.find(mThread);
	if (found != sThreads.end() && found->second.wait == this)
		found->second.wait = nullptr;
}

} // namespace BPrivate
