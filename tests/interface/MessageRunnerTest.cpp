// BMessageRunner: a count of messages to the target, then no more.
#include <gtest/gtest.h>

#include <algorithm>

#include "InterfaceTestSupport.h"
#include "MessageRunner.h"

using namespace interfacetest;

namespace {

const uint32 kTick = 'tick';

int CountTicks(const RecordingWindow* window)
{
	return (int)std::count_if(window->received.begin(), window->received.end(),
	                          [](const BMessage& message) { return message.what == kTick; });
}

} // namespace

TEST(MessageRunner, SendsItsCountOfMessagesThenStops)
{
	RecordingWindow* window = new RecordingWindow;
	window->Show();
	BMessage tick(kTick);
	tick.AddInt32("n", 7);
	BMessageRunner runner(BMessenger(nullptr, window), &tick, 10000, 3);
	EXPECT_EQ(runner.InitCheck(), B_OK);
	ASSERT_TRUE(wait_until([&] { return CountTicks(window) == 3; }));
	EXPECT_EQ(window->Find(kTick)->GetInt32("n", 0), 7);
	EXPECT_TRUE(wait_until([&] { return runner.InitCheck() == B_NO_INIT; }));
	ASSERT_TRUE(window->WaitUntilIdle());
	EXPECT_EQ(CountTicks(window), 3);

	// Counted again, it runs again.
	runner.SetCount(1);
	EXPECT_TRUE(wait_until([&] { return CountTicks(window) == 4; }));
	close_window(window);
}

TEST(MessageRunner, WithoutAMessageOrACountItIsNotRunning)
{
	RecordingWindow* window = new RecordingWindow;
	window->Show();
	BMessage tick(kTick);
	BMessageRunner none(BMessenger(nullptr, window), nullptr, 1000, 1);
	BMessageRunner zero(BMessenger(nullptr, window), &tick, 1000, 0);
	EXPECT_EQ(none.InitCheck(), B_NO_INIT);
	EXPECT_EQ(zero.InitCheck(), B_NO_INIT);
	EXPECT_EQ(none.SetInterval(1000), B_NO_INIT);
	ASSERT_TRUE(window->WaitUntilIdle());
	EXPECT_EQ(CountTicks(window), 0);
	close_window(window);
}
