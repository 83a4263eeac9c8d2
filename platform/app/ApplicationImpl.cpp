#include "ApplicationImpl.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <unistd.h>

#include "Application.h"
#include "Entry.h"
#include "LooperImpl.h"
#include "Message.h"
#include "ReplyChannels.h"
#include "TokenRegistry.h"

namespace BPrivate {

namespace {

int sSignalPipe[2] = {-1, -1};
struct sigaction sOldTerm;
struct sigaction sOldInt;

void on_quit_signal(int)
{
	int saved = errno;
	char c = 'q';
	if (sSignalPipe[1] >= 0 && write(sSignalPipe[1], &c, 1) < 0) {
		// A full pipe already holds a quit request.
	}
	errno = saved;
}

status_t post_to_application(std::unique_ptr<BMessage> message, bool front = false)
{
	std::shared_ptr<LooperImpl> looper =
	    TokenRegistry::Default().Looper(application_looper_token());
	if (!looper)
		return B_BAD_PORT_ID;
	return looper->Enqueue(std::move(message), -1, front);
}

} // namespace

std::vector<std::string> process_arguments()
{
	std::ifstream file("/proc/self/cmdline", std::ios::binary);
	std::string all((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
	std::vector<std::string> args;
	size_t start = 0;
	while (start < all.size()) {
		size_t end = all.find('\0', start);
		if (end == std::string::npos)
			end = all.size();
		args.push_back(all.substr(start, end - start));
		start = end + 1;
	}
	return args;
}

ApplicationImpl::ApplicationImpl(BApplication* owner) : owner(owner) {}

ApplicationImpl::~ApplicationImpl()
{
	RemoveSignalHandlers();
}

void ApplicationImpl::LoopStarted()
{
	set_own_app_thread(find_thread(nullptr));
	{
		// Bounded: a bus that hangs must not keep the application from
		// starting.
		std::unique_lock<std::mutex> guard(mRegistrationLock);
		mRegistrationDone.wait_for(guard, std::chrono::seconds(2), [this] { return mRegistered; });
	}
	owner->ReadyToRun();
	launching = false;
	QueueLaunchMessages();
}

void ApplicationImpl::Registered()
{
	{
		std::lock_guard<std::mutex> guard(mRegistrationLock);
		mRegistered = true;
	}
	mRegistrationDone.notify_all();
}

void ApplicationImpl::QueueLaunchMessages()
{
	std::vector<std::string> args = process_arguments();
	if (args.size() <= 1)
		return;
	char cwd[PATH_MAX];
	if (getcwd(cwd, sizeof(cwd)) == nullptr)
		cwd[0] = '\0';

	auto argv = std::make_unique<BMessage>(B_ARGV_RECEIVED);
	argv->AddInt32("argc", (int32)args.size());
	for (const std::string& arg : args)
		argv->AddString("argv", arg.c_str());
	argv->AddString("cwd", cwd);

	// Options ("-x", "--name=value") are the program's own; everything else
	// names a file, taken against the folder we were started in.
	auto refs = std::make_unique<BMessage>(B_REFS_RECEIVED);
	bool options = true;
	for (size_t i = 1; i < args.size(); i++) {
		const std::string& arg = args[i];
		if (options && arg == "--") {
			options = false;
			continue;
		}
		if (arg.empty() || (options && arg[0] == '-'))
			continue;
		std::string path = arg[0] == '/' ? arg : std::string(cwd) + "/" + arg;
		entry_ref ref;
		if (get_ref_for_path(path.c_str(), &ref) == B_OK)
			refs->AddRef("refs", &ref);
	}
	// Ahead of anything posted before Run, in the order argv, refs.
	if (!refs->IsEmpty())
		post_to_application(std::move(refs), true);
	post_to_application(std::move(argv), true);
}

void ApplicationImpl::StartQuitRound()
{
	if (mQuitRound)
		return;
	mQuitRound = true;
	mRound++;
	mRoundWindows = window_looper_tokens();
	mRoundNext = 0;
	_AskNextWindow();
}

void ApplicationImpl::_AskNextWindow()
{
	while (mRoundNext < mRoundWindows.size()) {
		int32 token = mRoundWindows[mRoundNext++];
		std::shared_ptr<LooperImpl> window = TokenRegistry::Default().Looper(token);
		if (!window || window->Owner() == nullptr)
			continue;
		int32 round = mRound;
		auto ask = std::make_unique<BMessage>(kMsgQuitAsk);
		// A window that goes away before answering counts as agreeing.
		MessageInternals::SetReplyChannel(
		    *ask, std::make_shared<CallbackReplyChannel>([round](const BMessage& reply) {
			    auto answer = std::make_unique<BMessage>(kMsgQuitAnswer);
			    answer->AddInt32("round", round);
			    answer->AddBool("agreed",
			                    reply.what == B_NO_REPLY || reply.GetBool("result", false));
			    post_to_application(std::move(answer));
		    }));
		// Whether queued or refused, the answer arrives through the channel.
		window->Enqueue(std::move(ask), -1);
		return;
	}

	mQuitRound = false;
	if (owner->QuitRequested())
		owner->Quit();
}

void ApplicationImpl::QuitAnswered(BMessage* answer)
{
	if (!mQuitRound || answer->GetInt32("round", -1) != mRound)
		return;
	if (!answer->GetBool("agreed", false)) {
		mQuitRound = false;
		return;
	}
	_AskNextWindow();
}

void ApplicationImpl::InstallSignalHandlers()
{
	if (sSignalPipe[0] >= 0)
		return;
	if (pipe2(sSignalPipe, O_CLOEXEC) != 0) {
		sSignalPipe[0] = sSignalPipe[1] = -1;
		return;
	}
	fcntl(sSignalPipe[1], F_SETFL, O_NONBLOCK);
	int readEnd = sSignalPipe[0];
	mSignalThread = std::thread([readEnd] {
		for (;;) {
			char c;
			ssize_t count = read(readEnd, &c, 1);
			if (count < 0 && errno == EINTR)
				continue;
			if (count <= 0 || c == 'x')
				return;
			post_to_application(std::make_unique<BMessage>(B_QUIT_REQUESTED));
		}
	});

	struct sigaction action = {};
	action.sa_handler = on_quit_signal;
	sigemptyset(&action.sa_mask);
	action.sa_flags = SA_RESTART;
	sigaction(SIGTERM, &action, &sOldTerm);
	sigaction(SIGINT, &action, &sOldInt);
}

void ApplicationImpl::RemoveSignalHandlers()
{
	if (!mSignalThread.joinable())
		return;
	sigaction(SIGTERM, &sOldTerm, nullptr);
	sigaction(SIGINT, &sOldInt, nullptr);
	char c = 'x';
	if (write(sSignalPipe[1], &c, 1) < 0) {
		// The reader will still see the pipe close below.
	}
	mSignalThread.join();
	close(sSignalPipe[0]);
	close(sSignalPipe[1]);
	sSignalPipe[0] = sSignalPipe[1] = -1;
}

} // namespace BPrivate
