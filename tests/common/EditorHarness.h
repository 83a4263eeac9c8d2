// The one way tests start a program of the layer (the built or installed
// editor, a peer) in a process of their own and end it: started offscreen
// with arguments and environment, waited for until it answers, asked through
// hey, stopped the way the desktop stops it and reaped. Whatever still runs
// when the harness goes away is killed and reaped, so no test leaves a
// process behind, whatever it asserted.
#ifndef TESTS_COMMON_EDITOR_HARNESS_H
#define TESTS_COMMON_EDITOR_HARNESS_H

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <sys/types.h>
#include <vector>

#include "ProgramRun.h"

class EditorHarness
{
public:
	// How the harness waits: keeping this process's GUI going (a test that
	// serves objects on the bus meanwhile), or only polling (a test whose
	// application runs on a thread of its own, or that has none).
	enum class Waiting { kServingEvents, kPolling };

	// Starts executable (see StartOffscreen for the environment it gets).
	EditorHarness(const std::string& executable, std::vector<std::string> arguments = {},
	              const std::map<std::string, std::string>& environment = {},
	              Waiting waiting = Waiting::kServingEvents);
	~EditorHarness();
	EditorHarness(const EditorHarness&) = delete;
	EditorHarness& operator=(const EditorHarness&) = delete;

	// The process id (its team), -1 once reaped or when it did not start.
	pid_t Pid() const { return mPid; }

	// Waits until answered holds; by default, until its first window answers
	// a request of hey's. False after timeout, or once the process ended.
	bool WaitUntilAnswering(std::chrono::milliseconds timeout);
	bool WaitUntilAnswering(std::chrono::milliseconds timeout,
	                        const std::function<bool()>& answered);

	// hey -t 5000 <the team> words...
	HeyResult Hey(const std::vector<std::string>& words) const;

	// Waits for the process to end by itself; its exit code, or -1 when it
	// did not end in time (it is killed then) or did not exit normally.
	int WaitForExit(std::chrono::milliseconds timeout);
	// Asks it to quit as the desktop does (SIGTERM) and waits for the end,
	// killing it at the limit. The exit code, or -1 when it was killed or
	// crashed; *status, when given, gets the wait status, and *endedByItself
	// whether it ended before the limit.
	int Stop(std::chrono::milliseconds timeout, int* status = nullptr,
	         bool* endedByItself = nullptr);
	// Kills it as a crash would and reaps it.
	void Kill();

private:
	bool _Wait(const std::function<bool()>& condition, std::chrono::milliseconds timeout) const;
	// Reaps the process once it has ended, or after killing it at the limit.
	int _Reap(std::chrono::milliseconds timeout, int* status, bool* endedByItself);

	pid_t mPid = -1;
	Waiting mWaiting;
};

#endif // TESTS_COMMON_EDITOR_HARNESS_H
