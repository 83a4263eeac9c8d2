#include "Application.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <strings.h>
#include <unistd.h>

#include <QEventLoop>
#include <QGuiApplication>

#include "ApplicationImpl.h"
#include "Bus.h"
#include "BusWire.h"
#include "LooperImpl.h"
#include "MainThread.h"
#include "Message.h"
#include "QtApplicationFactory.h"
#include "Roster.h"
#include "TokenRegistry.h"
#include "WindowList.h"

namespace {

struct WindowEntry
{
	BWindow* window;
	BLooper* looper;
	std::string title; // kept here, so the application thread can match it unlocked
};

std::mutex sWindowsLock;
std::vector<WindowEntry> sWindows;

// Qt keeps pointers to these for the life of the application object.
int sQtArgc = 1;
char sQtProgram[256] = "application";
char* sQtArgv[] = {sQtProgram, nullptr};

// Constant-initialized, so a factory registered during static
// initialization is never overwritten.
BPrivate::qt_application_factory sQtApplicationFactory = nullptr;

void ensure_qt_application()
{
	if (QCoreApplication::instance() != nullptr)
		return;
	// Only the program name: files and options on the command line are
	// ours, Qt must not interpret them. Kept for the whole process. Qt names
	// the windows' class (WM_CLASS) after it, which task bars match against
	// the desktop entry's StartupWMClass: the executable's own name.
	char path[4096];
	ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
	if (length > 0) {
		path[length] = '\0';
		const char* leaf = strrchr(path, '/');
		leaf = leaf != nullptr ? leaf + 1 : path;
		size_t size = std::min(strlen(leaf), sizeof(sQtProgram) - 1);
		if (size > 0) {
			memcpy(sQtProgram, leaf, size);
			sQtProgram[size] = '\0';
		}
	}
	if (sQtApplicationFactory != nullptr)
		sQtApplicationFactory(sQtArgc, sQtArgv);
	else
		new QGuiApplication(sQtArgc, sQtArgv);
}

} // namespace

namespace BPrivate {

void set_qt_application_factory(qt_application_factory factory)
{
	sQtApplicationFactory = factory;
}

void register_window(BWindow* window, BLooper* looper)
{
	if (looper == nullptr)
		return;
	std::lock_guard<std::mutex> guard(sWindowsLock);
	sWindows.push_back(WindowEntry{window, looper, std::string()});
}

void set_window_title(BLooper* looper, const char* title)
{
	std::lock_guard<std::mutex> guard(sWindowsLock);
	for (WindowEntry& entry : sWindows) {
		if (entry.looper == looper)
			entry.title = title != nullptr ? title : "";
	}
}

BLooper* window_looper_at(int32 index)
{
	std::lock_guard<std::mutex> guard(sWindowsLock);
	if (index < 0 || index >= (int32)sWindows.size())
		return nullptr;
	return sWindows[index].looper;
}

BLooper* window_looper_titled(const char* title)
{
	std::lock_guard<std::mutex> guard(sWindowsLock);
	for (const WindowEntry& entry : sWindows) {
		if (title != nullptr && entry.title == title)
			return entry.looper;
	}
	return nullptr;
}

std::vector<int32> window_looper_tokens()
{
	std::lock_guard<std::mutex> guard(sWindowsLock);
	std::vector<int32> tokens;
	for (const WindowEntry& entry : sWindows)
		tokens.push_back(entry.looper->Token());
	return tokens;
}

void unregister_window(BLooper* looper)
{
	std::lock_guard<std::mutex> guard(sWindowsLock);
	for (auto it = sWindows.begin(); it != sWindows.end(); ++it) {
		if (it->looper == looper) {
			sWindows.erase(it);
			return;
		}
	}
}

} // namespace BPrivate

BApplication::BApplication(const char* signature) : BApplication(signature, nullptr) {}

BApplication::BApplication(const char* signature, status_t* error)
    : BLooper("application", BPrivate::kOwnThread)
{
	mAppImpl = std::make_unique<BPrivate::ApplicationImpl>(this);
	mAppImpl->signature = signature != nullptr ? signature : "";
	if (signature == nullptr || strncasecmp(signature, "application/", 12) != 0)
		mAppImpl->initStatus = B_BAD_VALUE;

	if (be_app != nullptr) {
		// One application object per process; this one stays inert.
		mAppImpl->initStatus = B_ALREADY_RUNNING;
		if (error != nullptr)
			*error = mAppImpl->initStatus;
		return;
	}
	be_app = this;
	// Caches the first window will need are filled beside its building.
	mAppImpl->warmUp.Start();
	ensure_qt_application();
	mAppImpl->warmUp.QtReady();
	if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
		gui->setQuitOnLastWindowClosed(false); // windows quit through the app kit

	be_app_messenger = BMessenger(this);
	BPrivate::set_application_looper_token(Token());

	BPrivate::app_record record;
	record.team = current_team();
	record.thread = -1;
	record.flags = B_MULTIPLE_LAUNCH;
	record.signature = mAppImpl->signature.substr(0, B_MIME_TYPE_LENGTH - 1);
	record.executable = BPrivate::executable_of(record.team);
	record.registeredAt = system_time();
	BPrivate::set_own_app_record(&record);
	mAppImpl->InstallSignalHandlers();

	if (error != nullptr)
		*error = mAppImpl->initStatus;
}

BApplication::~BApplication()
{
	if (be_app == this) {
		mAppImpl->warmUp.Join();
		mAppImpl->RemoveSignalHandlers();
		BPrivate::Bus::UnregisterSelf();
		BPrivate::set_own_app_record(nullptr);
		BPrivate::set_application_looper_token(-1);
		be_app_messenger = BMessenger();
		be_app = nullptr;
	}
	mAppImpl.reset();
}

status_t BApplication::InitCheck() const
{
	return mAppImpl->initStatus;
}

thread_id BApplication::Run()
{
	if (be_app != this)
		return B_ERROR;
	if (mAppImpl->quitBeforeRun)
		return B_ERROR;

	QEventLoop loop;
	mAppImpl->runLoop = &loop;
	mAppImpl->loopEnded = false;
	BPrivate::ApplicationImpl* impl = mAppImpl.get();
	mImpl->SetDeleteOnQuit(false);
	mImpl->SetLoopHooks([impl] { impl->LoopStarted(); },
	                    [impl] {
		                    BPrivate::post_to_main([impl] {
			                    impl->loopEnded = true;
			                    if (impl->runLoop != nullptr)
				                    impl->runLoop->quit();
		                    });
	                    });
	thread_id thread = BLooper::Run();
	// Others see the application once it runs: its thread is known and
	// messages from them are dispatched.
	BPrivate::set_own_app_thread(thread);
	BPrivate::set_own_app_registered(system_time());
	const status_t joined = BPrivate::Bus::RegisterSelf([] {
		BPrivate::app_record own;
		BPrivate::own_app_record(&own);
		return own;
	});
	// Without a name of its own nobody can reach it; say so rather than
	// look as if it could be scripted.
	if (joined == B_NAME_IN_USE)
		fprintf(stderr,
		        "no bus name could be taken for team %d; other applications cannot "
		        "reach this one\n",
		        (int)Team());
	impl->Registered();
	while (!mAppImpl->loopEnded)
		loop.exec();
	mAppImpl->runLoop = nullptr;
	mImpl->WaitForLoopEnd();
	// Gone for the others as soon as it stops answering.
	BPrivate::Bus::UnregisterSelf();

	// Windows still open when the application quits go with it.
	for (;;) {
		BLooper* window = nullptr;
		{
			std::lock_guard<std::mutex> guard(sWindowsLock);
			if (!sWindows.empty())
				window = sWindows.back().looper;
		}
		if (window == nullptr)
			break;
		if (window->Lock())
			window->Quit();
		BPrivate::unregister_window(window); // in case the window kept itself
	}
	return thread;
}

void BApplication::Quit()
{
	if (!IsRunning()) {
		mAppImpl->quitBeforeRun = true;
		return;
	}
	mImpl->Quit();
}

bool BApplication::QuitRequested()
{
	return true;
}

void BApplication::ReadyToRun() {}

void BApplication::ArgvReceived(int32 argc, char** argv)
{
	(void)argc;
	(void)argv;
}

void BApplication::RefsReceived(BMessage* message)
{
	(void)message;
}

void BApplication::AboutRequested() {}

void BApplication::MessageReceived(BMessage* message)
{
	switch (message->what) {
	case B_REFS_RECEIVED:
		RefsReceived(message);
		break;
	case B_ABOUT_REQUESTED:
		AboutRequested();
		break;
	case B_READY_TO_RUN:
		ReadyToRun();
		break;
	case B_ARGV_RECEIVED: {
		int32 argc = 0;
		if (message->FindInt32("argc", &argc) != B_OK || argc <= 0)
			break;
		std::vector<char*> argv;
		for (int32 i = 0; i < argc; i++) {
			const char* arg = nullptr;
			if (message->FindString("argv", i, &arg) != B_OK)
				break;
			argv.push_back(const_cast<char*>(arg));
		}
		argv.push_back(nullptr);
		ArgvReceived((int32)argv.size() - 1, argv.data());
		break;
	}
	default:
		if (!BPrivate::answer_application_scripting(this, message))
			BLooper::MessageReceived(message);
		break;
	}
}

void BApplication::DispatchMessage(BMessage* message, BHandler* handler)
{
	if (handler == this && message->what == B_QUIT_REQUESTED) {
		mAppImpl->StartQuitRound();
		return;
	}
	if (handler == this && message->what == BPrivate::kMsgQuitAnswer) {
		mAppImpl->QuitAnswered(message);
		return;
	}
	BLooper::DispatchMessage(message, handler);
}

status_t BApplication::GetAppInfo(app_info* info) const
{
	if (info == nullptr)
		return B_BAD_VALUE;
	if (be_app != this)
		return B_NO_INIT;
	BPrivate::app_record record;
	if (!BPrivate::own_app_record(&record))
		return B_NO_INIT;
	BPrivate::fill_app_info(record, info);
	return B_OK;
}

const char* BApplication::Signature() const
{
	return mAppImpl->signature.c_str();
}

int32 BApplication::CountWindows() const
{
	std::lock_guard<std::mutex> guard(sWindowsLock);
	return (int32)sWindows.size();
}

BWindow* BApplication::WindowAt(int32 index) const
{
	std::lock_guard<std::mutex> guard(sWindowsLock);
	if (index < 0 || index >= (int32)sWindows.size())
		return nullptr;
	return sWindows[index].window;
}

bool BApplication::IsLaunching() const
{
	return mAppImpl->launching;
}
