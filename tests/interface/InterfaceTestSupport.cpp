#include "InterfaceTestSupport.h"

#include <QCoreApplication>
#include <QWidget>

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

void settle()
{
	QCoreApplication::sendPostedEvents();
	QCoreApplication::processEvents();
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

bool RecordingWindow::WaitUntilIdle(int timeoutMs)
{
	const uint32 kIdle = 'idle';
	auto count = [this, kIdle] {
		int seen = 0;
		for (const BMessage& message : received)
			seen += message.what == kIdle ? 1 : 0;
		return seen;
	};
	int before = count();
	return PostMessage(kIdle) == B_OK && wait_until([&] { return count() > before; }, timeoutMs);
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
