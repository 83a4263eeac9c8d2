#include "ShellTestSupport.h"

#include "BuiltPrograms.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

#include <AppDefs.h>

namespace fs = std::filesystem;

std::string BuiltEditorPath()
{
	return BuildFolder() + "/LocaleEditor";
}

TempAppFolder::TempAppFolder()
{
	char pattern[] = "/tmp/shell-test-XXXXXX";
	if (mkdtemp(pattern) == nullptr)
		throw std::runtime_error("mkdtemp failed");
	mPath = pattern;
	fs::copy_file(BuiltEditorPath(), Executable());
}

TempAppFolder::~TempAppFolder()
{
	std::error_code error;
	fs::remove_all(mPath, error);
}

EditorProcess::EditorProcess(const std::string& executable, std::vector<std::string> arguments)
    : EditorHarness(executable, std::move(arguments), {}, Waiting::kPolling)
{
}

BMessenger EditorProcess::Messenger() const
{
	return BMessenger(nullptr, (team_id)Pid());
}

bool EditorProcess::WaitUntilAnswering(std::chrono::milliseconds timeout)
{
	return EditorHarness::WaitUntilAnswering(timeout, [this] {
		BMessenger messenger = Messenger();
		if (!messenger.IsValid())
			return false;
		BMessage request(B_GET_PROPERTY);
		request.AddSpecifier("TextAppID");
		BMessage reply;
		return SendRequest(messenger, &request, &reply) == B_OK && reply.what == B_REPLY;
	});
}

status_t SendRequest(const BMessenger& target, BMessage* request, BMessage* reply)
{
	const bigtime_t kTimeout = 5 * 1000 * 1000;
	return target.SendMessage(request, reply, kTimeout, kTimeout);
}
