// Helpers of the app kit tests: watchdogs, waiting, recording handlers,
// peer processes and running an application around a test body.
#ifndef APP_TEST_SUPPORT_H
#define APP_TEST_SUPPORT_H

#include <chrono>
#include <functional>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <sys/types.h>

#include "Application.h"
#include "FileBytes.h"
#include "Handler.h"
#include "Looper.h"
#include "Message.h"
#include "Messenger.h"
#include "ScratchFolder.h"
#include "Wait.h"
#include "Watchdog.h"

namespace apptest {

using ::Watchdog;

// Polls until predicate holds (no events run); false when timeoutMs passed
// first.
inline bool wait_until(const std::function<bool()>& predicate, int timeoutMs = 5000)
{
	return WaitUntil(predicate, std::chrono::milliseconds(timeoutMs));
}

// Records every message it receives (what, thread, a copy).
class RecordingHandler : public BHandler
{
public:
	explicit RecordingHandler(const char* name = "recorder");
	void MessageReceived(BMessage* message) override;

	int32 Count() const;
	std::vector<uint32> Codes() const;
	std::vector<thread_id> Threads() const;
	BMessage MessageAt(int32 index) const;
	bool WaitForCount(int32 count, int timeoutMs = 5000) const;

private:
	mutable std::mutex mLock;
	std::vector<BMessage> mMessages;
	std::vector<thread_id> mThreads;
};

// A looper (own thread) with a recording handler that is also its
// preferred handler. Quits in the destructor.
class RecordingLooper
{
public:
	RecordingLooper();
	~RecordingLooper();
	// Adds the handlers of added and removes those of removed, under the
	// looper's lock; false when the lock could not be had.
	bool ChangeHandlers(std::initializer_list<BHandler*> added,
	                    std::initializer_list<BHandler*> removed = {});
	BLooper* looper;
	RecordingHandler* handler;
};

// A looper that can keep the message it handles unanswered until the looper
// is destroyed: the sender waits for a reply that does not come.
class HoldingLooper : public BLooper
{
public:
	explicit HoldingLooper(const char* name) : BLooper(name) {}

protected:
	// Keeps the message being handled; one held before is let go.
	void HoldCurrentMessage() { mHeld.reset(DetachCurrentMessage()); }

private:
	std::unique_ptr<BMessage> mHeld;
};

// A looper of type LooperType, running on its own thread from construction
// and quit in the destructor.
template <class LooperType> class RunningLooper
{
public:
	RunningLooper() : looper(new LooperType) { looper->Run(); }
	~RunningLooper()
	{
		if (looper->Lock())
			looper->Quit();
	}
	LooperType* looper;
};

// A B_GET_PROPERTY request for property of the target.
BMessage get_property(const char* property);

// Asks target for property and waits for the reply: the request delivered
// within five seconds (long for a loaded machine, short for a hung peer),
// answered within replyTimeout.
status_t ask_property(const BMessenger& target, const char* property, BMessage* reply,
                      bigtime_t replyTimeout = 5000000);

// A test peer program, stopped (SIGTERM, then SIGKILL) when destroyed.
class PeerProcess
{
public:
	PeerProcess(const std::string& program, const std::vector<std::string>& args,
	            const std::string& workingDir = "", bool withoutBus = false);
	~PeerProcess();

	pid_t Pid() const { return mPid; }
	bool Started() const { return mPid > 0; }
	// Waits for exit; the exit status (>= 0) or -1 when it did not end.
	int WaitForExit(int timeoutMs);
	void Signal(int signal);

private:
	pid_t mPid = -1;
	bool mExited = false;
	int mStatus = -1;
};

// Full path of a peer program built beside this test binary.
std::string peer_path(const char* name);
bool have_session_bus();

// Runs app->Run() on the calling (main) thread while body runs on another
// thread; when body returns, the application is asked to quit.
void run_app(BApplication* app, const std::function<void()>& body);

// Waits until the roster lists the team; false on time-out.
bool wait_for_team(team_id team, int timeoutMs = 10000);

// A B_REPLY whose "result" is a text of at least minBytes (numbered lines,
// some of them not ASCII), as a large scripting answer would be.
BMessage large_text_reply(size_t minBytes);
// The message's flattened bytes.
std::string flattened(const BMessage& message);

} // namespace apptest

#endif // APP_TEST_SUPPORT_H
