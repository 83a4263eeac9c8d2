// The inner state of BApplication: launch messages, the quit round over
// the windows, the signal watcher, and this process's app record.
#ifndef APPLICATION_IMPL_H
#define APPLICATION_IMPL_H

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

class ApplicationImpl {
public:
	explicit ApplicationImpl(BApplication* owner);
	~ApplicationImpl();

	// Runs on the application thread before any message.
	void LoopStarted();
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
	bool loopEnded = false;		   // main thread only
	ApplicationWarmUp warmUp;

private:
	void _AskNextWindow();

	bool mQuitRound = false;
	int32 mRound = 0;
	std::vector<int32> mRoundWindows;
	size_t mRoundNext = 0;

	std::thread mSignalThread;
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
