// BLooper::CancelRequests: a looper waiting for a reply that will not come,
// from its own process or from a hung peer on the bus, is let go at once,
// so that it can be quit without waiting out the time-out.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <vector>

#include "BusTestSupport.h"
#include "FileBytes.h"
#include "Looper.h"
#include "Message.h"
#include "Messenger.h"
#include "OS.h"
#include "ScratchFolder.h"
#include "Wait.h"
#include "Watchdog.h"

using namespace apptest;

namespace {

// A time-out no test waits out: a wait that ends sooner was cut short.
const bigtime_t kLongTimeout = 30000000;
const bigtime_t kPromptly = 5000000;

// Keeps every message and never answers it.
class Keeper : public BLooper
{
public:
	Keeper() : BLooper("keeper") {}
	~Keeper() override
	{
		for (BMessage* message : mKept)
			delete message;
	}
	void MessageReceived(BMessage*) override
	{
		mKept.push_back(DetachCurrentMessage());
		kept++;
	}
	std::atomic<int> kept{0};

private:
	std::vector<BMessage*> mKept;
};

// Asks target once per 'ask' message, and notes how the request ended.
class Asker : public BLooper
{
public:
	// remote: ask a peer of the bus for one of its suite's properties.
	Asker(const BMessenger& target, bool together, bool remote = false)
	    : BLooper("asker"), mTarget(target), mTogether(together), mRemote(remote)
	{
	}
	void MessageReceived(BMessage* message) override
	{
		if (message->what != 'ask ') {
			BLooper::MessageReceived(message);
			return;
		}
		const bigtime_t start = system_time();
		BMessage request = mRemote ? get_property("DefaultText") : BMessage('keep');
		if (mTogether) {
			BMessage second = mRemote ? get_property("DefaultLanguage") : BMessage('keep');
			BMessage* requests[] = {&request, &second};
			BMessage replies[2];
			status_t results[2];
			result = mTarget.SendRequests(requests, 2, replies, results, kLongTimeout);
		} else {
			BMessage reply;
			result = mTarget.SendMessage(&request, &reply, kLongTimeout, kLongTimeout);
		}
		waited = system_time() - start;
		answered++;
	}

	std::atomic<int> answered{0};
	std::atomic<status_t> result{B_OK};
	std::atomic<bigtime_t> waited{0};

private:
	BMessenger mTarget;
	bool mTogether;
	bool mRemote;
};

// Cancels asker's wait once it is in it, then quits it; how long that took.
bigtime_t CancelAndQuit(Asker* asker)
{
	const bigtime_t start = system_time();
	asker->CancelRequests();
	EXPECT_TRUE(WaitUntil([&] { return asker->answered == 1; }, std::chrono::seconds(20)));
	EXPECT_EQ(asker->result, B_TIMED_OUT);
	if (asker->Lock())
		asker->Quit();
	return system_time() - start;
}

} // namespace

TEST(CancelRequests, AWaitForALooperThatNeverAnswersEndsAtOnce)
{
	Watchdog watchdog(60);
	Keeper* keeper = new Keeper;
	keeper->Run();
	for (bool together : {false, true}) {
		SCOPED_TRACE(together ? "SendRequests" : "SendMessage");
		const int keptBefore = keeper->kept;
		Asker* asker = new Asker(BMessenger(keeper), together);
		asker->Run();
		asker->PostMessage('ask ');
		// The keeper holds the request: the asker waits in its send now.
		ASSERT_TRUE(WaitUntil([&] { return keeper->kept > keptBefore; }));
		EXPECT_LT(CancelAndQuit(asker), kPromptly);
	}
	if (keeper->Lock())
		keeper->Quit();
}

TEST(CancelRequests, ACancelBeforeTheSendEndsItsWaitToo)
{
	Watchdog watchdog(60);
	Keeper* keeper = new Keeper;
	keeper->Run();
	Asker* asker = new Asker(BMessenger(keeper), false);
	asker->Run();
	// Nothing to cut short yet: the send that comes later is.
	asker->CancelRequests();
	asker->PostMessage('ask ');
	ASSERT_TRUE(WaitUntil([&] { return asker->answered == 1; }, std::chrono::seconds(20)));
	EXPECT_EQ(asker->result, B_TIMED_OUT);
	EXPECT_LT(asker->waited, kPromptly);
	if (asker->Lock())
		asker->Quit();
	if (keeper->Lock())
		keeper->Quit();
}

TEST(CancelRequests, AnotherThreadsWaitIsLeftAlone)
{
	Watchdog watchdog(60);
	Keeper* keeper = new Keeper;
	keeper->Run();
	Asker* asker = new Asker(BMessenger(keeper), false);
	asker->Run();
	Asker* other = new Asker(BMessenger(keeper), false);
	other->Run();
	asker->PostMessage('ask ');
	other->PostMessage('ask ');
	ASSERT_TRUE(WaitUntil([&] { return keeper->kept == 2; }));
	CancelAndQuit(asker);
	// The other asker still waits for its own reply; quitting the keeper
	// answers it with B_NO_REPLY.
	EXPECT_EQ(other->answered, 0);
	if (keeper->Lock())
		keeper->Quit();
	ASSERT_TRUE(WaitUntil([&] { return other->answered == 1; }));
	EXPECT_EQ(other->result, B_OK);
	if (other->Lock())
		other->Quit();
}

TEST_F(BusTest, ALooperWaitingForAHungPeerIsLetGoAtOnce)
{
	Watchdog watchdog(90);
	run_app(app.get(), [&] {
		ScratchFolder folder;
		const std::string asked = folder / "asked";
		auto peer = StartPeer("locale_peer", {"--silent", "--asked-file=" + asked});
		int askedBefore = 0;
		for (bool together : {false, true}) {
			SCOPED_TRACE(together ? "SendRequests" : "SendMessage");
			Asker* asker = new Asker(BMessenger(nullptr, peer->Pid()), together, true);
			asker->Run();
			asker->PostMessage('ask ');
			// The peer holds the request: the asker waits in its send now.
			ASSERT_TRUE(WaitUntil([&] {
				std::string lines = ReadFileBytes(asked);
				return std::count(lines.begin(), lines.end(), '\n') > askedBefore;
			}));
			askedBefore += together ? 2 : 1;
			EXPECT_LT(CancelAndQuit(asker), kPromptly);
		}
	});
}
