#include "Wait.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <thread>

namespace {

bool _Poll(const std::function<bool()>& condition, std::chrono::milliseconds timeout,
           const std::function<void()>& between)
{
	auto end = std::chrono::steady_clock::now() + timeout;
	while (!condition()) {
		if (std::chrono::steady_clock::now() > end)
			return false;
		between();
		std::this_thread::sleep_for(std::chrono::milliseconds(1));
	}
	return true;
}

} // namespace

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
	return _Poll(condition, timeout, [] {
		QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
		QCoreApplication::sendPostedEvents();
	});
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
	return _Poll(condition, timeout, [] {});
}
