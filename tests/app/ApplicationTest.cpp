// The application object in this process: start order, the quit round over
// windows, GUI-thread loopers, alerts from the application thread, signals.
#include <atomic>
#include <csignal>
#include <cstring>
#include <mutex>
#include <vector>

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QThread>
#include <QTimer>

#include "Alert.h"
#include "AlertTesting.h"
#include "AppTestSupport.h"
#include "Application.h"
#include "Entry.h"
#include "Looper.h"
#include "Message.h"
#include "Messenger.h"
#include "Path.h"
#include "Roster.h"

using apptest::Watchdog;

namespace {

const char* kTestSignature = "application/x-vnd.test-apptest";

bool on_main_thread()
{
	return QThread::currentThread() == QCoreApplication::instance()->thread();
}

class TestApp : public BApplication
{
public:
	TestApp() : BApplication(kTestSignature) {}

	void ReadyToRun() override { _Note(B_READY_TO_RUN); }

	bool QuitRequested() override
	{
		quitAsked++;
		return allowQuit;
	}

	void MessageReceived(BMessage* message) override
	{
		_Note(message->what);
		switch (message->what) {
		case 'ask!': {
			if (lateTarget != nullptr)
				BMessenger(lateTarget).SendMessage('late');
			BMessage reply(B_REPLY);
			reply.AddString("answer", "from the application");
			message->SendReply(&reply);
			break;
		}
		case 'alrt': {
			alertThread = find_thread(nullptr);
			BAlert* alert = new BAlert("Title", "Text", "A", "B", "C");
			alertResult = alert->Go();
			break;
		}
		default:
			BApplication::MessageReceived(message);
			break;
		}
	}

	std::vector<uint32> Order()
	{
		std::lock_guard<std::mutex> guard(mLock);
		return mOrder;
	}

	bool Saw(uint32 code)
	{
		std::lock_guard<std::mutex> guard(mLock);
		return std::find(mOrder.begin(), mOrder.end(), code) != mOrder.end();
	}

	std::atomic<int> quitAsked{0};
	std::atomic<bool> allowQuit{true};
	std::atomic<int32> alertResult{-100};
	std::atomic<thread_id> alertThread{-1};
	BHandler* lateTarget = nullptr;

private:
	void _Note(uint32 code)
	{
		std::lock_guard<std::mutex> guard(mLock);
		mOrder.push_back(code);
	}

	std::mutex mLock;
	std::vector<uint32> mOrder;
};

// What a test window went through; outlives the window.
struct WindowLog
{
	std::atomic<int> asked{0};
	std::atomic<bool> askedOnMain{false};
	std::atomic<bool> deleted{false};
	std::atomic<status_t> requestStatus{B_ERROR};
	std::mutex lock;
	std::string answer;
	std::vector<uint32> order;
	std::vector<bool> onMain;

	std::vector<uint32> Order()
	{
		std::lock_guard<std::mutex> guard(lock);
		return order;
	}
};

// A looper dispatched on the main thread, registered as a window.
class TestWindow : public BLooper
{
public:
	TestWindow(bool agree, WindowLog* log)
	    : BLooper("test window", BPrivate::kGuiThread), mAgree(agree), mLog(log)
	{
		BPrivate::register_window(nullptr, this);
	}

	~TestWindow() override
	{
		BPrivate::unregister_window(this);
		mLog->deleted = true;
	}

	bool QuitRequested() override
	{
		mLog->asked++;
		mLog->askedOnMain = on_main_thread();
		return mAgree;
	}

	void MessageReceived(BMessage* message) override
	{
		_Note(message->what);
		if (message->what == 'go!!') {
			BMessage request('ask!');
			BMessage reply;
			mLog->requestStatus = be_app_messenger.SendMessage(&request, &reply);
			{
				std::lock_guard<std::mutex> guard(mLog->lock);
				mLog->answer = reply.GetString("answer", "");
			}
			_Note('done');
		}
	}

private:
	void _Note(uint32 code)
	{
		std::lock_guard<std::mutex> guard(mLog->lock);
		mLog->order.push_back(code);
		mLog->onMain.push_back(on_main_thread());
	}

	bool mAgree;
	WindowLog* mLog;
};

} // namespace

TEST(ApplicationTest, ReadyToRunComesBeforeMessagesPostedEarlier)
{
	Watchdog watchdog(30);
	TestApp app;
	EXPECT_EQ(&app, be_app);
	EXPECT_TRUE(app.IsLaunching());
	EXPECT_EQ(B_OK, app.InitCheck());
	BMessage early('earl');
	ASSERT_EQ(B_OK, be_app_messenger.SendMessage(&early));
	apptest::run_app(&app, [&] {
		ASSERT_TRUE(apptest::wait_until([&] { return app.Saw('earl'); }));
		EXPECT_FALSE(app.IsLaunching());
	});
	std::vector<uint32> order;
	for (uint32 code : app.Order()) {
		if (code != B_ARGV_RECEIVED) // the test program's own options
			order.push_back(code);
	}
	ASSERT_GE(order.size(), 2u);
	EXPECT_EQ((uint32)B_READY_TO_RUN, order[0]);
	EXPECT_EQ((uint32)'earl', order[1]);
}

TEST(ApplicationTest, QuitRequestAsksEveryWindowOnTheMainThreadThenTheApplication)
{
	Watchdog watchdog(30);
	WindowLog first;
	WindowLog second;
	TestApp app;
	(new TestWindow(true, &first))->Run();
	(new TestWindow(true, &second))->Run();
	EXPECT_EQ(2, app.CountWindows());

	ASSERT_EQ(B_OK, be_app_messenger.SendMessage(B_QUIT_REQUESTED));
	app.Run(); // returns once the round has finished
	EXPECT_EQ(1, first.asked.load());
	EXPECT_EQ(1, second.asked.load());
	EXPECT_TRUE(first.askedOnMain);
	EXPECT_TRUE(second.askedOnMain);
	EXPECT_TRUE(first.deleted);
	EXPECT_TRUE(second.deleted);
	EXPECT_EQ(1, app.quitAsked.load());
	EXPECT_EQ(0, app.CountWindows());
}

TEST(ApplicationTest, AWindowThatRefusesStopsTheQuit)
{
	Watchdog watchdog(30);
	WindowLog refusing;
	WindowLog later;
	TestApp app;
	auto* refusingWindow = new TestWindow(false, &refusing);
	refusingWindow->Run();
	(new TestWindow(true, &later))->Run();
	apptest::run_app(&app, [&] {
		be_app_messenger.SendMessage(B_QUIT_REQUESTED);
		ASSERT_TRUE(apptest::wait_until([&] { return refusing.asked == 1; }));
		// Once the window has answered one more message, its refusal is
		// queued at the application; once the application has answered, the
		// round has ended there.
		BMessage reply;
		ASSERT_EQ(B_OK, BMessenger(refusingWindow).SendMessage('sync', &reply));
		ASSERT_EQ(B_OK, be_app_messenger.SendMessage('ask!', &reply));
		EXPECT_EQ(0, later.asked.load());
		EXPECT_EQ(0, app.quitAsked.load());
		EXPECT_FALSE(refusing.deleted);
		EXPECT_FALSE(later.deleted);
		EXPECT_TRUE(refusing.askedOnMain);
		// A second round starts again from the first window.
		be_app_messenger.SendMessage(B_QUIT_REQUESTED);
		ASSERT_TRUE(apptest::wait_until([&] { return refusing.asked == 2; }));
	});
	// Windows still open when the application ends go with it.
	EXPECT_TRUE(refusing.deleted);
	EXPECT_TRUE(later.deleted);
	EXPECT_EQ(0, app.CountWindows());
}

TEST(ApplicationTest, WindowAsksItsOwnApplicationAndIsNotReentered)
{
	Watchdog watchdog(30);
	WindowLog log;
	TestApp app;
	auto* window = new TestWindow(true, &log);
	app.lateTarget = window;
	window->Run();
	apptest::run_app(&app, [&] {
		window->PostMessage('go!!');
		ASSERT_TRUE(apptest::wait_until([&] { return log.Order().size() >= 3; }));
	});
	std::vector<uint32> order = log.Order();
	ASSERT_EQ(3u, order.size());
	// 'late' was posted while the window waited for its reply; it came after.
	EXPECT_EQ((uint32)'go!!', order[0]);
	EXPECT_EQ((uint32)'done', order[1]);
	EXPECT_EQ((uint32)'late', order[2]);
	for (bool main : log.onMain)
		EXPECT_TRUE(main);
	EXPECT_EQ(B_OK, log.requestStatus.load());
	EXPECT_EQ("from the application", log.answer);
}

TEST(ApplicationTest, AlertFromTheApplicationThreadShowsOnTheMainThread)
{
	Watchdog watchdog(30);
	BPrivate::clear_shown_alerts();
	TestApp app;
	std::atomic<bool> dialogOnMain{false};
	QTimer presser;
	QObject::connect(&presser, &QTimer::timeout, [&] {
		auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
		if (box == nullptr)
			return;
		dialogOnMain = on_main_thread();
		for (QAbstractButton* button : box->buttons()) {
			if (button->text() == QLatin1String("B"))
				button->click();
		}
	});
	presser.start(10);
	apptest::run_app(&app, [&] {
		be_app_messenger.SendMessage('alrt');
		ASSERT_TRUE(apptest::wait_until([&] { return app.alertResult != -100; }, 10000));
	});
	EXPECT_EQ(1, app.alertResult.load());
	EXPECT_TRUE(dialogOnMain);
	std::vector<BPrivate::shown_alert> shown = BPrivate::shown_alerts();
	ASSERT_EQ(1u, shown.size());
	EXPECT_EQ(app.alertThread.load(), shown[0].thread);
	EXPECT_NE(find_thread(nullptr), shown[0].thread);
}

TEST(ApplicationTest, AlertResponderAnswersWithoutADialog)
{
	Watchdog watchdog(30);
	BPrivate::clear_shown_alerts();
	std::atomic<bool> dialogSeen{false};
	BPrivate::ScopedAlertResponder responder([&](const BPrivate::shown_alert& alert) {
		dialogSeen = QApplication::activeModalWidget() != nullptr;
		return alert.buttons.size() == 3 ? 2 : 0;
	});
	TestApp app;
	apptest::run_app(&app, [&] {
		be_app_messenger.SendMessage('alrt');
		ASSERT_TRUE(apptest::wait_until([&] { return app.alertResult != -100; }));
	});
	EXPECT_EQ(2, app.alertResult.load());
	EXPECT_FALSE(dialogSeen);
	std::vector<BPrivate::shown_alert> shown = BPrivate::shown_alerts();
	ASSERT_EQ(1u, shown.size());
	EXPECT_EQ("Title", shown[0].title);
	EXPECT_EQ("Text", shown[0].text);
	EXPECT_EQ((std::vector<std::string>{"A", "B", "C"}), shown[0].buttons);
	EXPECT_EQ((int32)B_INFO_ALERT, shown[0].type);

	// An answer out of range counts as the last button.
	BPrivate::ScopedAlertResponder wild([](const BPrivate::shown_alert&) { return 9; });
	EXPECT_EQ(1, (new BAlert("t", "x", "Yes", "No"))->Go());
}

TEST(ApplicationTest, TerminationSignalTakesTheNormalQuitPath)
{
	Watchdog watchdog(30);
	WindowLog log;
	TestApp app;
	(new TestWindow(true, &log))->Run();
	apptest::run_app(&app, [&] {
		ASSERT_TRUE(apptest::wait_until([&] { return app.Saw(B_READY_TO_RUN); }));
		kill(getpid(), SIGTERM);
		EXPECT_TRUE(apptest::wait_until([&] { return app.quitAsked == 1; }));
	});
	EXPECT_EQ(1, log.asked.load());
	EXPECT_TRUE(log.deleted);
	EXPECT_EQ(1, app.quitAsked.load());
}

TEST(ApplicationTest, AppInfoDescribesThisProcess)
{
	Watchdog watchdog(30);
	TestApp app;
	apptest::run_app(&app, [&] {
		ASSERT_TRUE(apptest::wait_until([&] { return app.Saw(B_READY_TO_RUN); }));
		app_info info;
		ASSERT_EQ(B_OK, app.GetAppInfo(&info));
		EXPECT_EQ(getpid(), info.team);
		EXPECT_EQ(app.Thread(), info.thread);
		EXPECT_STREQ(kTestSignature, info.signature);
		BPath path;
		BEntry entry(&info.ref);
		ASSERT_EQ(B_OK, entry.GetPath(&path));
		char self[4096];
		ssize_t length = readlink("/proc/self/exe", self, sizeof(self) - 1);
		ASSERT_GT(length, 0);
		self[length] = '\0';
		EXPECT_STREQ(self, path.Path());
	});
}

TEST(ApplicationTest, ApplicationSuitesComeBeforeTheHandlerSuite)
{
	Watchdog watchdog(30);
	TestApp app;
	apptest::run_app(&app, [&] {
		BMessage request(B_GET_PROPERTY);
		request.AddSpecifier("Suites");
		BMessage reply;
		ASSERT_EQ(B_OK, be_app_messenger.SendMessage(&request, &reply));
		EXPECT_STREQ("suite/vnd.Be-application", reply.GetString("suites", 0, ""));
		EXPECT_STREQ("suite/vnd.Be-handler", reply.GetString("suites", 1, ""));
		EXPECT_EQ(B_OK, reply.GetInt32("error", -1));
	});
}
