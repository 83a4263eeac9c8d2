#include "MainThread.h"

#include <chrono>
#include <deque>
#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include "LooperImpl.h"
#include "OS.h"

namespace BPrivate {

namespace {

// Touched on the main thread only.
int sDispatchDepth = 0;
std::deque<std::weak_ptr<LooperImpl>> sHeldDrains;

void drain(const std::weak_ptr<LooperImpl>& weak)
{
	std::shared_ptr<LooperImpl> looper = weak.lock();
	if (!looper)
		return;
	if (sDispatchDepth > 0) {
		sHeldDrains.push_back(weak);
		return;
	}
	looper->DispatchNextOnGui();
}

void release_held_drains()
{
	std::deque<std::weak_ptr<LooperImpl>> held;
	held.swap(sHeldDrains);
	for (auto& weak : held)
		post_to_main([weak] { drain(weak); });
}

} // namespace

bool have_qt_application()
{
	return QCoreApplication::instance() != nullptr;
}

bool is_main_thread()
{
	QCoreApplication* app = QCoreApplication::instance();
	if (app != nullptr)
		return QThread::currentThread() == app->thread();
	return find_thread(nullptr) == (thread_id)getpid();
}

thread_id main_thread_id()
{
	// The kernel gives the first thread of a process the process id.
	return (thread_id)getpid();
}

bool post_to_main(std::function<void()> work)
{
	QCoreApplication* app = QCoreApplication::instance();
	if (app == nullptr)
		return false;
	return QMetaObject::invokeMethod(app, std::move(work), Qt::QueuedConnection);
}

bool run_on_main_blocking(std::function<void()> work)
{
	if (is_main_thread()) {
		work();
		return true;
	}
	QCoreApplication* app = QCoreApplication::instance();
	if (app == nullptr)
		return false;
	return QMetaObject::invokeMethod(app, std::move(work), Qt::BlockingQueuedConnection);
}

void schedule_gui_drain(const std::shared_ptr<LooperImpl>& looper)
{
	std::weak_ptr<LooperImpl> weak = looper;
	post_to_main([weak] { drain(weak); });
}

void enter_gui_dispatch()
{
	sDispatchDepth++;
}

void leave_gui_dispatch()
{
	if (--sDispatchDepth == 0 && !sHeldDrains.empty())
		release_held_drains();
}

int gui_dispatch_depth()
{
	return sDispatchDepth;
}

void Completion::Complete()
{
	std::lock_guard<std::mutex> guard(mLock);
	if (mDone)
		return;
	mDone = true;
	mCond.notify_all();
	if (mLoop != nullptr)
		QMetaObject::invokeMethod(mLoop, "quit", Qt::QueuedConnection);
}

bool Completion::IsComplete() const
{
	std::lock_guard<std::mutex> guard(mLock);
	return mDone;
}

bool Completion::Wait(bigtime_t timeout)
{
	if (is_main_thread() && have_qt_application()) {
		QEventLoop loop;
		{
			std::lock_guard<std::mutex> guard(mLock);
			if (mDone)
				return true;
			mLoop = &loop;
		}
		QTimer timer;
		if (timeout != B_INFINITE_TIMEOUT) {
			timer.setSingleShot(true);
			timer.setTimerType(Qt::PreciseTimer);
			QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
			bigtime_t ms = (timeout + 999) / 1000;
			timer.start((int)std::min<bigtime_t>(std::max<bigtime_t>(ms, 0), INT32_MAX));
		}
		// The loop may also end because someone asked every loop of the
		// thread to leave (QCoreApplication::exit); then wait on.
		for (;;) {
			loop.exec();
			std::lock_guard<std::mutex> guard(mLock);
			bool expired = timeout != B_INFINITE_TIMEOUT && !timer.isActive();
			if (mDone || expired) {
				mLoop = nullptr;
				return mDone;
			}
		}
	}
	std::unique_lock<std::mutex> guard(mLock);
	if (timeout == B_INFINITE_TIMEOUT) {
		mCond.wait(guard, [this] { return mDone; });
		return true;
	}
	return mCond.wait_for(guard, std::chrono::microseconds(timeout), [this] { return mDone; });
}

} // namespace BPrivate
