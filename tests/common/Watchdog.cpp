#include "Watchdog.h"

#include <chrono>
#include <cstdio>
#include <unistd.h>

#include <gtest/gtest.h>

Watchdog::Watchdog(int seconds)
{
	const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
	std::string name = info != nullptr ? std::string(info->test_suite_name()) + "." + info->name()
	                                   : std::string("the test program");
	mThread = std::thread([this, seconds, name] {
		std::unique_lock<std::mutex> guard(mLock);
		if (!mCond.wait_for(guard, std::chrono::seconds(seconds), [this] { return mDone; })) {
			std::fprintf(stderr, "watchdog: %s still running after %d s\n", name.c_str(), seconds);
			std::fflush(stderr);
			_exit(3);
		}
	});
}

Watchdog::~Watchdog()
{
	{
		std::lock_guard<std::mutex> guard(mLock);
		mDone = true;
	}
	mCond.notify_all();
	mThread.join();
}
