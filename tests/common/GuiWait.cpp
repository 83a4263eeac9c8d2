#include "GuiWait.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <thread>

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
	auto end = std::chrono::steady_clock::now() + timeout;
	while (!condition()) {
		if (std::chrono::steady_clock::now() > end)
			return false;
		QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
		QCoreApplication::sendPostedEvents();
		std::this_thread::sleep_for(std::chrono::milliseconds(1));
	}
	return true;
}
