#include "AppTestSupport.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "List.h"
#include "OS.h"
#include "Roster.h"

extern char** environ;

namespace apptest {

RecordingHandler::RecordingHandler(const char* name) : BHandler(name) {}

void RecordingHandler::MessageReceived(BMessage* message)
{
	std::lock_guard<std::mutex> guard(mLock);
	mMessages.push_back(*message);
	mThreads.push_back(find_thread(nullptr));
}

int32 RecordingHandler::Count() const
{
	std::lock_guard<std::mutex> guard(mLock);
	return (int32)mMessages.size();
}

std::vector<uint32> RecordingHandler::Codes() const
{
	std::lock_guard<std::mutex> guard(mLock);
	std::vector<uint32> codes;
	for (const BMessage& message : mMessages)
		codes.push_back(message.what);
	return codes;
}

std::vector<thread_id> RecordingHandler::Threads() const
{
	std::lock_guard<std::mutex> guard(mLock);
	return mThreads;
}

BMessage RecordingHandler::MessageAt(int32 index) const
{
	std::lock_guard<std::mutex> guard(mLock);
	return mMessages.at(index);
}

bool RecordingHandler::WaitForCount(int32 count, int timeoutMs) const
{
	return wait_until([this, count] { return Count() >= count; }, timeoutMs);
}

RecordingLooper::RecordingLooper()
{
	looper = new BLooper("recording looper");
	handler = new RecordingHandler;
	looper->AddHandler(handler);
	looper->SetPreferredHandler(handler);
	looper->Run();
}

RecordingLooper::~RecordingLooper()
{
	if (looper->Lock()) {
		looper->RemoveHandler(handler);
		looper->Quit();
	}
	delete handler;
}

bool RecordingLooper::ChangeHandlers(std::initializer_list<BHandler*> added,
                                     std::initializer_list<BHandler*> removed)
{
	if (!looper->Lock())
		return false;
	for (BHandler* handler : added)
		looper->AddHandler(handler);
	for (BHandler* handler : removed)
		looper->RemoveHandler(handler);
	looper->Unlock();
	return true;
}

PeerProcess::PeerProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& workingDir, bool withoutBus)
{
	std::vector<std::string> all{program};
	all.insert(all.end(), args.begin(), args.end());
	std::vector<char*> argv;
	for (std::string& arg : all)
		argv.push_back(arg.data());
	argv.push_back(nullptr);

	std::vector<std::string> env;
	for (char** entry = environ; *entry != nullptr; entry++) {
		std::string text = *entry;
		if (withoutBus && text.rfind("DBUS_SESSION_BUS_ADDRESS=", 0) == 0)
			continue;
		env.push_back(text);
	}
	std::vector<char*> envp;
	for (std::string& entry : env)
		envp.push_back(entry.data());
	envp.push_back(nullptr);

	// posix_spawn has no working-folder option in this libc; change around it.
	char previous[4096];
	bool moved = false;
	if (!workingDir.empty() && getcwd(previous, sizeof(previous)) != nullptr)
		moved = chdir(workingDir.c_str()) == 0;
	if (posix_spawn(&mPid, program.c_str(), nullptr, nullptr, argv.data(), envp.data()) != 0)
		mPid = -1;
	if (moved && chdir(previous) != 0)
		ADD_FAILURE() << "could not return to " << previous;
}

PeerProcess::~PeerProcess()
{
	if (mPid <= 0 || mExited)
		return;
	kill(mPid, SIGTERM);
	if (WaitForExit(3000) < 0) {
		kill(mPid, SIGKILL);
		WaitForExit(3000);
	}
}

int PeerProcess::WaitForExit(int timeoutMs)
{
	if (mPid <= 0)
		return -1;
	if (mExited)
		return mStatus;
	auto ended = [this] {
		int status;
		if (waitpid(mPid, &status, WNOHANG) != mPid)
			return false;
		mExited = true;
		mStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
		return true;
	};
	return WaitUntil(ended, std::chrono::milliseconds(timeoutMs)) ? mStatus : -1;
}

void PeerProcess::Signal(int signal)
{
	if (mPid > 0 && !mExited)
		kill(mPid, signal);
}

std::string peer_path(const char* name)
{
	char self[4096];
	ssize_t length = readlink("/proc/self/exe", self, sizeof(self) - 1);
	if (length <= 0)
		return name;
	self[length] = '\0';
	std::string folder(self);
	folder.erase(folder.rfind('/'));
	return folder + "/" + name;
}

bool have_session_bus()
{
	const char* address = getenv("DBUS_SESSION_BUS_ADDRESS");
	return address != nullptr && address[0] != '\0';
}

BMessage get_property(const char* property)
{
	BMessage request(B_GET_PROPERTY);
	request.AddSpecifier(property);
	return request;
}

status_t ask_property(const BMessenger& target, const char* property, BMessage* reply,
                      bigtime_t replyTimeout)
{
	BMessage request = get_property(property);
	return target.SendMessage(&request, reply, 5000000, replyTimeout);
}

void run_app(BApplication* app, const std::function<void()>& body)
{
	std::thread worker([app, &body] {
		body();
		app->Quit();
	});
	app->Run();
	worker.join();
}

bool wait_for_team(team_id team, int timeoutMs)
{
	return wait_until(
	    [team] {
		    BList teams;
		    be_roster->GetAppList(&teams);
		    return teams.HasItem((void*)(addr_t)team);
	    },
	    timeoutMs);
}

BMessage large_text_reply(size_t minBytes)
{
	BMessage reply(B_REPLY);
	std::string text;
	for (int i = 0; text.size() < minBytes; i++)
		text += std::to_string(i) + " = entry number " + std::to_string(i) + " — Grüße\n";
	reply.AddString("result", text.c_str());
	reply.AddInt32("error", B_OK);
	return reply;
}

std::string flattened(const BMessage& message)
{
	std::string bytes((size_t)message.FlattenedSize(), '\0');
	EXPECT_EQ(B_OK, message.Flatten(bytes.data(), (ssize_t)bytes.size()));
	return bytes;
}

} // namespace apptest
