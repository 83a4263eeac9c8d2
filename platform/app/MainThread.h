// The Qt main thread: running work there, GUI-looper dispatch depth, and
// waits that keep Qt events flowing when they happen on the main thread.
#ifndef MAIN_THREAD_H
#define MAIN_THREAD_H

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

#include "SupportDefs.h"

class QEventLoop;

namespace BPrivate {

class LooperImpl;

// The thread of the QCoreApplication; without one, the process's first
// thread.
bool is_main_thread();
thread_id main_thread_id();
bool have_qt_application();

// Runs work on the main thread later (queued). False without a Qt
// application.
bool post_to_main(std::function<void()> work);
// Runs work on the main thread and waits for it (directly when called on
// the main thread). The main thread must keep its event loop running.
bool run_on_main_blocking(std::function<void()> work);

// Dispatch of GUI-kind loopers. One drain per queued message; while the
// main thread is inside a GUI dispatch, drains are held back until it
// returns, so dispatch never nests.
void schedule_gui_drain(const std::shared_ptr<LooperImpl>& looper);
void enter_gui_dispatch();
void leave_gui_dispatch();
int gui_dispatch_depth();

// A one-shot completion another thread waits for. On the main thread (with
// a Qt application) the wait runs a nested event loop; elsewhere it blocks.
class Completion
{
public:
	void Complete();
	bool IsComplete() const;
	// True when completed, false when the time-out (µs) passed first.
	bool Wait(bigtime_t timeout);

private:
	mutable std::mutex mLock;
	std::condition_variable mCond;
	bool mDone = false;
	QEventLoop* mLoop = nullptr;
};

} // namespace BPrivate

#endif // MAIN_THREAD_H
