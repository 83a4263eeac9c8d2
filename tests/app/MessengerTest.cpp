// Messengers inside one process: synchronous replies, time-outs, B_NO_REPLY,
// replies to a handler, targets that went away.
#include <atomic>
#include <mutex>

#include <gtest/gtest.h>

#include "AppTestSupport.h"
#include "Looper.h"
#include "LooperImpl.h"
#include "Message.h"
#include "Messenger.h"
#include "OS.h"

using apptest::RecordingHandler;
using apptest::RecordingLooper;
using apptest::Watchdog;

namespace {

// Answers 'echo' with the same fields, holds 'hold' without answering,
// handles 'drop' without answering, and answers 'fwd' via a handler.
class Responder : public apptest::HoldingLooper
{
public:
	Responder() : HoldingLooper("responder") {}

	void MessageReceived(BMessage* message) override
	{
		switch (message->what) {
		case 'echo': {
			BMessage reply(*message);
			reply.what = B_REPLY;
			reply.AddInt32("thread", find_thread(nullptr));
			message->SendReply(&reply);
			break;
		}
		case 'hold':
			HoldCurrentMessage();
			break;
		case 'twic': {
			BMessage reply(B_REPLY);
			first = message->SendReply(&reply);
			second = message->SendReply(&reply);
			break;
		}
		case 'drop':
			break;
		default:
			BLooper::MessageReceived(message);
			break;
		}
	}

	std::atomic<status_t> first{B_ERROR};
	std::atomic<status_t> second{B_ERROR};
};

using RunningResponder = apptest::RunningLooper<Responder>;

} // namespace

TEST(MessengerTest, SynchronousSendWaitsForTheReplyFromTheTargetsThread)
{
	Watchdog watchdog(20);
	RunningResponder responder;
	BMessenger messenger(responder.looper);
	EXPECT_TRUE(messenger.IsValid());
	EXPECT_TRUE(messenger.IsTargetLocal());
	EXPECT_EQ(current_team(), messenger.Team());

	BMessage request('echo');
	request.AddString("text", "hello");
	BMessage reply;
	ASSERT_EQ(B_OK, messenger.SendMessage(&request, &reply));
	EXPECT_EQ((uint32)B_REPLY, reply.what);
	EXPECT_STREQ("hello", reply.GetString("text", ""));
	EXPECT_EQ(responder.looper->Thread(), reply.GetInt32("thread", -1));
	EXPECT_TRUE(reply.IsReply());
}

TEST(MessengerTest, OnlyTheFirstReplyCounts)
{
	Watchdog watchdog(20);
	RunningResponder responder;
	BMessage reply;
	ASSERT_EQ(B_OK, BMessenger(responder.looper).SendMessage('twic', &reply));
	// The reply wakes us before the handler has noted its results.
	ASSERT_TRUE(apptest::wait_until([&] { return responder.looper->second != B_ERROR; }));
	EXPECT_EQ(B_OK, responder.looper->first.load());
	EXPECT_EQ(B_DUPLICATE_REPLY, responder.looper->second.load());
}

TEST(MessengerTest, ReplyTimeOutEndsTheWaitWithTimedOut)
{
	Watchdog watchdog(20);
	RunningResponder responder;
	BMessage reply(B_REPLY); // a stale reply must not survive the failure
	BMessage hold('hold');
	bigtime_t start = system_time();
	EXPECT_EQ(B_TIMED_OUT,
	          BMessenger(responder.looper).SendMessage(&hold, &reply, B_INFINITE_TIMEOUT, 200000));
	bigtime_t waited = system_time() - start;
	EXPECT_GE(waited, 190000);
	EXPECT_LT(waited, 2000000);
	EXPECT_EQ((uint32)B_NO_REPLY, reply.what);
}

TEST(MessengerTest, HandledWithoutReplyGivesNoReply)
{
	Watchdog watchdog(20);
	RunningResponder responder;
	BMessage reply;
	ASSERT_EQ(B_OK, BMessenger(responder.looper).SendMessage('drop', &reply));
	EXPECT_EQ((uint32)B_NO_REPLY, reply.what);
}

TEST(MessengerTest, LooperQuittingWithTheRequestQueuedAnswersNoReply)
{
	Watchdog watchdog(20);
	auto* looper = new Responder;
	// Never run: the request waits in the queue until the looper goes.
	BMessenger messenger(looper);
	BMessage reply;
	std::atomic<status_t> status{B_ERROR};
	std::thread asker([&] { status = messenger.SendMessage('echo', &reply); });
	EXPECT_TRUE(
	    apptest::wait_until([&] { return BPrivate::LooperImpl::Of(looper)->CountQueued() == 1; }));
	looper->Quit(); // still locked since construction
	asker.join();
	EXPECT_EQ(B_OK, status.load());
	EXPECT_EQ((uint32)B_NO_REPLY, reply.what);
}

TEST(MessengerTest, SendingToTheCallersOwnLooperWouldBlock)
{
	Watchdog watchdog(20);
	class SelfAsker : public BLooper
	{
	public:
		void MessageReceived(BMessage* message) override
		{
			if (message->what != 'self') {
				BLooper::MessageReceived(message);
				return;
			}
			BMessage reply;
			result = BMessenger(this).SendMessage('echo', &reply);
			replyCode = reply.what;
		}
		std::atomic<status_t> result{B_OK};
		std::atomic<uint32> replyCode{0};
	};
	auto* looper = new SelfAsker;
	looper->Run();
	looper->PostMessage('self');
	ASSERT_TRUE(apptest::wait_until([&] { return looper->result.load() != B_OK; }));
	EXPECT_EQ(B_WOULD_BLOCK, looper->result.load());
	EXPECT_EQ((uint32)B_NO_REPLY, looper->replyCode.load());
	ASSERT_TRUE(looper->Lock());
	looper->Quit();
}

TEST(MessengerTest, RepliesToAReplyToHandlerArePostedToIt)
{
	Watchdog watchdog(20);
	RunningResponder responder;
	RecordingLooper replies;
	BMessage request('echo');
	request.AddInt32("n", 7);
	ASSERT_EQ(B_OK, BMessenger(responder.looper).SendMessage(&request, replies.handler));
	ASSERT_TRUE(replies.handler->WaitForCount(1));
	BMessage reply = replies.handler->MessageAt(0);
	EXPECT_EQ((uint32)B_REPLY, reply.what);
	EXPECT_EQ(7, reply.GetInt32("n", 0));
	EXPECT_TRUE(reply.IsReply());
}

TEST(MessengerTest, MessengerToAGoneTargetIsInvalid)
{
	Watchdog watchdog(20);
	BMessenger messenger;
	{
		RecordingLooper recording;
		messenger = BMessenger(recording.handler);
		EXPECT_TRUE(messenger.IsValid());
		BLooper* looper = nullptr;
		EXPECT_EQ(recording.handler, messenger.Target(&looper));
		EXPECT_EQ(recording.looper, looper);
		EXPECT_EQ(B_OK, messenger.SendMessage('ping'));
		EXPECT_TRUE(recording.handler->WaitForCount(1));
	}
	EXPECT_FALSE(messenger.IsValid());
	BLooper* looper = (BLooper*)1;
	EXPECT_EQ(nullptr, messenger.Target(&looper));
	EXPECT_EQ(nullptr, looper);
	BMessage reply;
	EXPECT_EQ(B_BAD_PORT_ID, messenger.SendMessage('ping', &reply));
	EXPECT_EQ((uint32)B_NO_REPLY, reply.what);
	EXPECT_FALSE(BMessenger().IsValid());

	status_t status;
	BHandler loose;
	BMessenger toLoose(&loose, nullptr, &status);
	EXPECT_EQ(B_BAD_HANDLER, status);
	EXPECT_FALSE(toLoose.IsValid());
}

TEST(MessengerTest, HandlerRemovedFromItsLooperIsNoLongerATarget)
{
	Watchdog watchdog(20);
	RecordingLooper recording;
	RecordingHandler extra("extra");
	ASSERT_TRUE(recording.ChangeHandlers({&extra}));
	BMessenger messenger(&extra);
	EXPECT_TRUE(messenger.IsValid());
	ASSERT_TRUE(recording.ChangeHandlers({}, {&extra}));
	EXPECT_FALSE(messenger.IsValid());
	EXPECT_EQ(B_BAD_HANDLER, messenger.SendMessage('ping'));
}
