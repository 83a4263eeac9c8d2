// The inner state of BApplication: launch messages, the quit round over
// the windows, the signal watcher, and this process's app record.
#ifndef APPLICATION_IMPL_H
#define APPLICATION_IMPL_H

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "AppRecord.h"
#include "ApplicationWarmUp.h"
#include "SupportDefs.h"

class BApplication;
class BMessage;
class QEventLoop;

namespace BPrivate {

enum {
	// A window's answer to kMsgQuitAsk, reported to the application.
	kMsgQuitAnswer = 'bpqr',
};

class ApplicationImpl
{
public:
	explicit ApplicationImpl(BApplication* owner);
	~ApplicationImpl();

	// Runs on the application thread before any message; ReadyToRun waits
	// until the application is on the bus (see Registered), so that what
	// it tells others there can be answered.
	void LoopStarted();
	// The main thread has registered the application on the bus, or found
	// it cannot.
	void Registered();
	void QueueLaunchMessages();

	void StartQuitRound();
	void QuitAnswered(BMessage* answer);

	void InstallSignalHandlers();
	void RemoveSignalHandlers();

	BApplication* owner;
	std::string signature;
	status_t initStatus = B_OK;
	bool launching = true;
	bool quitBeforeRun = false;
	QEventLoop* runLoop = nullptr; // main thread only
	bool loopEnded = false;        // main thread only
	ApplicationWarmUp warmUp;

private:
	void _AskNextWindow();

	bool mQuitRound = false;
	int32 mRound = 0;
	std::vector<int32> mRoundWindows;
	size_t mRoundNext = 0;

	std::thread mSignalThread;

	std::mutex mRegistrationLock;
	std::condition_variable mRegistrationDone;
	bool mRegistered = false;
};

// The app record of this process, kept for the bus thread.
void set_own_app_record(const app_record* record);
void set_own_app_thread(thread_id thread);
void set_own_app_registered(bigtime_t when);

// Looper tokens of the registered windows, in registration order.
std::vector<int32> window_looper_tokens();

// Launch arguments: the process's argv as the kernel has it.
std::vector<std::string> process_arguments();

} // namespace BPrivate

#endif // APPLICATION_IMPL_H
