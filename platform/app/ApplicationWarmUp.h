// Start-up work that needs no particular thread, done on a thread of its
// own while the GUI thread builds the first window: reading the font
// configuration and the font database, and connecting to the session bus
// with a first listing of the running applications. Each step only fills
// a process-wide cache that the GUI thread would otherwise fill itself a
// moment later; the GUI thread never waits for the thread, except for a
// font configuration that is already being read (see
// WaitForFontConfiguration). Layer-internal.
#ifndef APPLICATION_WARM_UP_H
#define APPLICATION_WARM_UP_H

#include <condition_variable>
#include <mutex>
#include <thread>

namespace BPrivate {

class ApplicationWarmUp
{
public:
	ApplicationWarmUp() = default;
	~ApplicationWarmUp();
	ApplicationWarmUp(const ApplicationWarmUp&) = delete;
	ApplicationWarmUp& operator=(const ApplicationWarmUp&) = delete;

	// Before the Qt application exists: starts on what needs no Qt.
	void Start();
	// The Qt application exists now; the Qt steps may follow.
	void QtReady();
	// Waits for the thread; the Qt steps are skipped if the Qt
	// application never became ready.
	void Join();

	// Called before a thread first measures text. If the warm-up thread is
	// reading the font configuration, waits for it, since reading it a
	// second time alongside takes longer than the rest of the wait; if it
	// has not begun, it never will, and Qt reads it here as usual. Cheap
	// once the question is settled; any thread.
	static void WaitForFontConfiguration();

private:
	void _Run();

	std::thread mThread;
	std::mutex mLock;
	std::condition_variable mChanged;
	bool mQtReady = false;
	bool mStopping = false;
};

} // namespace BPrivate

#endif // APPLICATION_WARM_UP_H
