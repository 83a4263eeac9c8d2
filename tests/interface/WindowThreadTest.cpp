// Windows driven from another thread than the GUI thread: their widget is
// only ever touched on the GUI thread.
#include <QApplication>
#include <QThread>
#include <QWidget>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "InterfaceTestSupport.h"
#include "ViewPrivate.h"

using namespace interfacetest;

namespace {

class ThreadTrackingWindow : public RecordingWindow
{
public:
	ThreadTrackingWindow(std::atomic<bool>* deleted, std::atomic<bool>* onGuiThread)
	    : mDeleted(deleted), mOnGuiThread(onGuiThread)
	{
	}
	~ThreadTrackingWindow() override
	{
		*mOnGuiThread = QThread::currentThread() == qApp->thread();
		*mDeleted = true;
	}

private:
	std::atomic<bool>* mDeleted;
	std::atomic<bool>* mOnGuiThread;
};

// Notes whether the widget ever got a show, hide or title change event
// on another thread than the GUI thread.
class ThreadWatcher : public QObject
{
public:
	bool eventFilter(QObject*, QEvent* event) override
	{
		switch (event->type()) {
		case QEvent::Show:
		case QEvent::Hide:
		case QEvent::WindowTitleChange:
			seen++;
			if (QThread::currentThread() != qApp->thread())
				offThread = true;
			break;
		default:
			break;
		}
		return false;
	}
	std::atomic<int> seen{0};
	std::atomic<bool> offThread{false};
};

} // namespace

TEST(WindowThreads, ShowTitleAndQuitFromAnotherThreadHappenOnTheGuiThread)
{
	std::atomic<bool> deleted(false);
	std::atomic<bool> onGuiThread(false);
	ThreadTrackingWindow* window = new ThreadTrackingWindow(&deleted, &onGuiThread);
	BView* probe = new BView(BRect(0, 0, 5, 5), "probe", B_FOLLOW_NONE, 0);
	window->AddChild(probe);
	QWidget* top = BPrivate::ViewAccess::Widget(probe)->window();
	// The creator hands the window over, as an application thread would
	// find it: unlocked and running.
	window->Show();
	window->Hide();
	ThreadWatcher watcher;
	top->installEventFilter(&watcher);

	std::thread other([window] {
		if (window->Lock()) {
			window->SetTitle("From elsewhere");
			window->Show();
			window->Unlock();
		}
	});
	other.join();
	EXPECT_TRUE(wait_until([&] { return top->isVisible(); }));
	EXPECT_TRUE(wait_until([&] { return top->windowTitle() == QString("From elsewhere"); }));

	std::thread quitter([window] {
		if (window->Lock())
			window->Quit();
	});
	quitter.join();
	EXPECT_TRUE(wait_until([&] { return deleted.load(); }));
	EXPECT_TRUE(onGuiThread.load());
	EXPECT_GT(watcher.seen.load(), 0);
	EXPECT_FALSE(watcher.offThread.load());
}
