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
// cannot end and go meanwhile. Never destroyed: a detached looper thread may
// still end after the process's exit handlers have run.
struct Marks
{
	std::mutex lock;
	std::map<thread_id, ThreadMark> threads;
};

Marks& marks()
{
	static Marks* sMarks = new Marks;
	return *sMarks;
}

} // namespace

void begin_cancellable_thread()
{
	Marks& all = marks();
	std::lock_guard<std::mutex> guard(all.lock);
	all.threads[find_thread(nullptr)] = ThreadMark();
}

void end_cancellable_thread()
{
	Marks& all = marks();
	std::lock_guard<std::mutex> guard(all.lock);
	all.threads.erase(find_thread(nullptr));
}

bool thread_is_cancellable()
{
	Marks& all = marks();
	std::lock_guard<std::mutex> guard(all.lock);
	return all.threads.count(find_thread(nullptr)) != 0;
}

bool cancel_thread_sends(thread_id thread)
{
	Marks& all = marks();
	std::lock_guard<std::mutex> guard(all.lock);
	auto found = all.threads.find(thread);
	if (found == all.threads.end())
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
	Marks& all = marks();
	std::lock_guard<std::mutex> guard(all.lock);
	auto found = all.threads.find(mThread);
	if (found == all.threads.end())
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
	Marks& all = marks();
	std::lock_guard<std::mutex> guard(all.lock);
	auto found = all.threads.find(mThread);
	if (found != all.threads.end() && found->second.wait == this)
		found->second.wait = nullptr;
}

} // namespace BPrivate
