// Loopers with their own thread: dispatch order, locking, the current
// message, quitting.
#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include "AppTestSupport.h"
#include "Looper.h"
#include "Message.h"
#include "Messenger.h"
#include "OS.h"

using apptest::RecordingHandler;
using apptest::RecordingLooper;
using apptest::Watchdog;

namespace {

// Notes its own deletion, and what the current message was while handling.
class ProbeLooper : public BLooper
{
public:
	explicit ProbeLooper(std::atomic<bool>* deleted) : BLooper("probe"), mDeleted(deleted) {}
	~ProbeLooper() override { *mDeleted = true; }

	void MessageReceived(BMessage* message) override
	{
		if (message->what == 'slow')
			snooze(200000);
		if (message->what == 'curr') {
			sawCurrent = CurrentMessage() == message;
			if (message->GetBool("detach", false))
				detached = DetachCurrentMessage();
		}
		handled++;
	}

	std::atomic<int> handled{0};
	std::atomic<bool> sawCurrent{false};
	BMessage* detached = nullptr;

private:
	std::atomic<bool>* mDeleted;
};

} // namespace

TEST(LooperTest, DispatchesInArrivalOrderOnItsOwnThreadToTheNamedHandler)
{
	Watchdog watchdog(20);
	RecordingLooper recording;
	RecordingHandler second("second");
	ASSERT_TRUE(recording.ChangeHandlers({&second}));

	for (uint32 i = 0; i < 200; i++) {
		BMessage message('m000' + i);
		BHandler* target = i % 3 == 0 ? (BHandler*)&second : nullptr;
		ASSERT_EQ(B_OK, recording.looper->PostMessage(&message, target));
	}
	ASSERT_TRUE(recording.handler->WaitForCount(133));
	ASSERT_TRUE(second.WaitForCount(67));

	std::vector<uint32> first = recording.handler->Codes();
	std::vector<uint32> other = second.Codes();
	for (size_t i = 1; i < first.size(); i++)
		EXPECT_LT(first[i - 1], first[i]);
	for (size_t i = 1; i < other.size(); i++)
		EXPECT_LT(other[i - 1], other[i]);
	for (uint32 code : other)
		EXPECT_EQ(0u, (code - 'm000') % 3);
	thread_id looperThread = recording.looper->Thread();
	EXPECT_NE(find_thread(nullptr), looperThread);
	for (thread_id thread : recording.handler->Threads())
		EXPECT_EQ(looperThread, thread);

	ASSERT_TRUE(recording.ChangeHandlers({}, {&second}));
}

TEST(LooperTest, PostingForAHandlerOfAnotherLooperIsRefused)
{
	RecordingLooper a;
	RecordingLooper b;
	EXPECT_EQ(B_BAD_HANDLER, a.looper->PostMessage('nope', b.handler));
	BHandler loose("loose");
	EXPECT_EQ(B_BAD_HANDLER, a.looper->PostMessage('nope', &loose));
}

TEST(LooperTest, LocksNestAndKeepOtherThreadsOut)
{
	Watchdog watchdog(20);
	RecordingLooper recording;
	BLooper* looper = recording.looper;
	ASSERT_TRUE(looper->Lock());
	ASSERT_TRUE(looper->Lock());
	EXPECT_TRUE(looper->IsLocked());
	EXPECT_EQ(2, looper->CountLocks());
	EXPECT_EQ(find_thread(nullptr), looper->LockingThread());

	status_t fromOther = B_OK;
	std::thread other([&] { fromOther = looper->LockWithTimeout(50000); });
	other.join();
	EXPECT_EQ(B_TIMED_OUT, fromOther);

	// Messages wait while the lock is held elsewhere.
	looper->PostMessage('wait');
	snooze(50000);
	EXPECT_EQ(0, recording.handler->Count());

	looper->Unlock();
	EXPECT_TRUE(looper->IsLocked());
	looper->Unlock();
	EXPECT_FALSE(looper->IsLocked());
	EXPECT_TRUE(recording.handler->WaitForCount(1));

	std::thread again([&] {
		fromOther = looper->LockWithTimeout(1000000);
		if (fromOther == B_OK)
			looper->Unlock();
	});
	again.join();
	EXPECT_EQ(B_OK, fromOther);
}

TEST(LooperTest, CurrentMessageIsTheOneBeingHandledAndDetachingKeepsIt)
{
	Watchdog watchdog(20);
	std::atomic<bool> deleted{false};
	auto* looper = new ProbeLooper(&deleted);
	looper->Run();
	BMessage message('curr');
	message.AddBool("detach", true);
	message.AddString("mark", "kept");
	looper->PostMessage(&message);
	ASSERT_TRUE(apptest::wait_until([&] { return looper->handled == 1; }));
	EXPECT_TRUE(looper->sawCurrent);
	ASSERT_TRUE(looper->Lock());
	EXPECT_EQ(nullptr, looper->CurrentMessage());
	ASSERT_NE(nullptr, looper->detached);
	EXPECT_STREQ("kept", looper->detached->GetString("mark", ""));
	delete looper->detached;
	looper->Quit();
	EXPECT_TRUE(deleted);
}

TEST(LooperTest, QuitFromAnotherThreadFinishesTheCurrentMessageThenDeletes)
{
	Watchdog watchdog(20);
	std::atomic<bool> deleted{false};
	auto* looper = new ProbeLooper(&deleted);
	BMessenger messenger(looper);
	looper->Run();
	looper->PostMessage('slow');
	looper->PostMessage('late');
	ASSERT_TRUE(apptest::wait_until([&] { return looper->CountLocks() > 0; }));
	ASSERT_TRUE(looper->Lock());
	looper->Quit(); // waits for the loop to end
	EXPECT_TRUE(deleted);
	EXPECT_FALSE(messenger.IsValid());
	EXPECT_EQ(B_BAD_PORT_ID, messenger.SendMessage('gone'));
}

TEST(LooperTest, QuitFromItsOwnThreadEndsAfterTheMessage)
{
	Watchdog watchdog(20);
	std::atomic<bool> deleted{false};
	auto* looper = new ProbeLooper(&deleted);
	looper->Run();
	looper->PostMessage(B_QUIT_REQUESTED);
	EXPECT_TRUE(apptest::wait_until([&] { return deleted.load(); }));
}

TEST(LooperTest, LooperForThreadFindsTheRunningLooper)
{
	RecordingLooper recording;
	EXPECT_EQ(recording.looper, BLooper::LooperForThread(recording.looper->Thread()));
	EXPECT_EQ(nullptr, BLooper::LooperForThread(find_thread(nullptr)));
}
