// Helpers of the interface tests: the test application, waiting on the
// event loop with a deadline, and a window that records what it receives.
#ifndef INTERFACE_TEST_SUPPORT_H
#define INTERFACE_TEST_SUPPORT_H

#include <QImage>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "AppDefs.h"
#include "Application.h"
#include "Message.h"
#include "View.h"
#include "Wait.h"
#include "Watchdog.h"
#include "Window.h"

namespace interfacetest {

// The application of the test program; records what reaches it.
class TestApplication : public BApplication
{
public:
	TestApplication();
	void MessageReceived(BMessage* message) override;

	// Thread-safe: the application dispatches on its own thread.
	std::vector<BMessage> Received() const;
	void ClearReceived();

private:
	mutable std::mutex mLock;
	std::vector<BMessage> mReceived;
};

TestApplication* test_app();

using ::Watchdog;

// Runs Qt events until predicate holds; false when timeoutMs passed first.
inline bool wait_until(const std::function<bool()>& predicate, int timeoutMs = 3000)
{
	return WaitFor(predicate, std::chrono::milliseconds(timeoutMs));
}

// Runs the events already posted: one turn of the event loop.
void settle();

// A shown window that records the messages reaching MessageReceived.
class RecordingWindow : public BWindow
{
public:
	explicit RecordingWindow(BRect frame = BRect(100, 100, 500, 400),
	                         const char* title = "test window");
	void MessageReceived(BMessage* message) override;
	bool QuitRequested() override;

	std::vector<BMessage> received;
	int quitRequests = 0;
	bool allowQuit = false;
	// Returns the first received message with the code, or nullptr.
	const BMessage* Find(uint32 what) const;
	// Waits until a message with the code arrived.
	bool WaitFor(uint32 what, int timeoutMs = 3000) const;
	// Posts a message of the tests' own and waits until it was dispatched,
	// and with it everything posted before: what did not arrive by then was
	// never sent.
	bool WaitUntilIdle(int timeoutMs = 3000);
};

// Deletes a window the way the framework does.
void close_window(BWindow* window);

// Renders a view's widget (with its children) into an image.
QImage render_view(const BView* view);

} // namespace interfacetest

#endif // INTERFACE_TEST_SUPPORT_H
