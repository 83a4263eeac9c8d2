// The one watchdog of the tests: a hang ends the test program in seconds,
// naming the test, instead of at the test runner's time limit.
#ifndef TESTS_COMMON_WATCHDOG_H
#define TESTS_COMMON_WATCHDOG_H

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

// Ends the process (exit status 3) unless destroyed within the time.
class Watchdog
{
public:
	explicit Watchdog(int seconds);
	~Watchdog();
	Watchdog(const Watchdog&) = delete;
	Watchdog& operator=(const Watchdog&) = delete;

private:
	std::mutex mLock;
	std::condition_variable mCond;
	bool mDone = false;
	std::thread mThread;
};

#endif // TESTS_COMMON_WATCHDOG_H
