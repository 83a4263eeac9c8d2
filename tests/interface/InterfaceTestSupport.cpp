#include "InterfaceTestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QWidget>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "ViewPrivate.h"

namespace interfacetest {

TestApplication::TestApplication() : BApplication("application/x-vnd.le-interface-tests") {}

void TestApplication::MessageReceived(BMessage* message)
{
	{
		std::lock_guard<std::mutex> guard(mLock);
		mReceived.push_back(*message);
	}
	BApplication::MessageReceived(message);
}

std::vector<BMessage> TestApplication::Received() const
{
	std::lock_guard<std::mutex> guard(mLock);
	return mReceived;
}

void TestApplication::ClearReceived()
{
	std::lock_guard<std::mutex> guard(mLock);
	mReceived.clear();
}

TestApplication* test_app()
{
	return static_cast<TestApplication*>(be_app);
}

void settle(int milliseconds)
{
	QElapsedTimer timer;
	timer.start();
	while (timer.elapsed() < milliseconds)
		QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

RecordingWindow::RecordingWindow(BRect frame, const char* title)
    : BWindow(frame, title, B_TITLED_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL, 0)
{
}

void RecordingWindow::MessageReceived(BMessage* message)
{
	received.push_back(*message);
	BWindow::MessageReceived(message);
}

bool RecordingWindow::QuitRequested()
{
	quitRequests++;
	return allowQuit;
}

const BMessage* RecordingWindow::Find(uint32 what) const
{
	for (const BMessage& message : received) {
		if (message.what == what)
			return &message;
	}
	return nullptr;
}

bool RecordingWindow::WaitFor(uint32 what, int timeoutMs) const
{
	return wait_until([this, what] { return Find(what) != nullptr; }, timeoutMs);
}

void close_window(BWindow* window)
{
	if (window != nullptr && window->Lock())
		window->Quit();
}

QImage render_view(const BView* view)
{
	QWidget* widget = BPrivate::ViewAccess::Widget(view);
	QImage image(widget->size(), QImage::Format_ARGB32);
	image.fill(Qt::transparent);
	widget->render(&image);
	return image;
}

} // namespace interfacetest
