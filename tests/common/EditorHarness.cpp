#include "EditorHarness.h"

#include <csignal>
#include <sys/wait.h>
#include <utility>

#include "BuiltPrograms.h"
#include "Wait.h"

EditorHarness::EditorHarness(const std::string& executable, std::vector<std::string> arguments,
                             const std::map<std::string, std::string>& environment, Waiting waiting)
    : mPid(StartOffscreen(executable, std::move(arguments), environment)), mWaiting(waiting)
{
}

EditorHarness::~EditorHarness()
{
	Kill();
}

void EditorHarness::Kill()
{
	if (mPid <= 0)
		return;
	kill(mPid, SIGKILL);
	waitpid(mPid, nullptr, 0);
	mPid = -1;
}

bool EditorHarness::_Wait(const std::function<bool()>& condition,
                          std::chrono::milliseconds timeout) const
{
	return mWaiting == Waiting::kServingEvents ? WaitFor(condition, timeout)
	                                           : WaitUntil(condition, timeout);
}

bool EditorHarness::WaitUntilAnswering(std::chrono::milliseconds timeout)
{
	return WaitUntilAnswering(timeout, [this] {
		return Hey({"get", "Title", "of", "Window", "0"}).exitCode == 0;
	});
}

bool EditorHarness::WaitUntilAnswering(std::chrono::milliseconds timeout,
                                       const std::function<bool()>& answered)
{
	if (mPid <= 0)
		return false;
	// A program that died on the way never answers: no need to wait the
	// whole time for it.
	bool gone = false;
	const bool answering = _Wait(
	    [&] {
		    siginfo_t info = {};
		    gone = waitid(P_PID, (id_t)mPid, &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
		           info.si_pid == mPid;
		    return gone || answered();
	    },
	    timeout);
	return answering && !gone;
}

HeyResult EditorHarness::Hey(const std::vector<std::string>& words) const
{
	std::vector<std::string> arguments = {"-t", "5000", std::to_string(mPid)};
	arguments.insert(arguments.end(), words.begin(), words.end());
	return RunHey(arguments);
}

int EditorHarness::WaitForExit(std::chrono::milliseconds timeout)
{
	return _Reap(timeout, nullptr, nullptr);
}

int EditorHarness::Stop(std::chrono::milliseconds timeout, int* status, bool* endedByItself)
{
	if (mPid > 0)
		kill(mPid, SIGTERM);
	return _Reap(timeout, status, endedByItself);
}

int EditorHarness::_Reap(std::chrono::milliseconds timeout, int* status, bool* endedByItself)
{
	int reaped = -1;
	bool ended = false;
	if (mPid > 0) {
		ended = _Wait([&] { return waitpid(mPid, &reaped, WNOHANG) == mPid; }, timeout);
		if (!ended) {
			kill(mPid, SIGKILL);
			waitpid(mPid, &reaped, 0);
		}
		mPid = -1;
	}
	if (status != nullptr)
		*status = reaped;
	if (endedByItself != nullptr)
		*endedByItself = ended;
	return ended && WIFEXITED(reaped) ? WEXITSTATUS(reaped) : -1;
}
