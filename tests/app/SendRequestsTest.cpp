// Several requests sent in one go: answered in order by a local looper or
// another process, each with its own result; a target that hangs or quits
// costs one wait for all of them, and hostile answers are refused.
#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include <QByteArrayList>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVirtualObject>

#include <gtest/gtest.h>

#include "BusTestSupport.h"
#include "FakeTeam.h"
#include "Looper.h"
#include "Message.h"
#include "Messenger.h"
#include "OS.h"

using namespace apptest;

namespace {

// Answers 'echo' with its "index" and the order it was handled in, keeps
// 'hold' unanswered, and on 'self' asks itself with SendRequests.
class OrderedResponder : public HoldingLooper
{
public:
	OrderedResponder() : HoldingLooper("ordered responder") {}

	void MessageReceived(BMessage* message) override
	{
		handled++;
		switch (message->what) {
		case 'echo': {
			BMessage reply(B_REPLY);
			reply.AddInt32("index", message->GetInt32("index", -1));
			reply.AddInt32("order", handled.load());
			message->SendReply(&reply);
			break;
		}
		case 'hold':
			HoldCurrentMessage();
			break;
		case 'self': {
			BMessage inner('echo');
			BMessage* messages[] = {&inner};
			BMessage replies[1];
			status_t results[1];
			selfStatus = BMessenger(this).SendRequests(messages, 1, replies, results, 1000000);
			selfResult = results[0];
			message->SendReply(B_REPLY);
			break;
		}
		default:
			BLooper::MessageReceived(message);
			break;
		}
	}

	std::atomic<int32> handled{0};
	std::atomic<status_t> selfStatus{B_OK};
	std::atomic<status_t> selfResult{B_OK};
};

using RunningOrderedResponder = apptest::RunningLooper<OrderedResponder>;

BMessage echo(int32 index)
{
	BMessage message('echo');
	message.AddInt32("index", index);
	return message;
}

// The suite's three questions in the order a fetch asks them, with room
// for the answers.
struct SuiteQuestions
{
	BMessage language = get_property("DefaultLanguage");
	BMessage id = get_property("TextAppID");
	BMessage texts = get_property("DefaultText");
	BMessage* messages[3] = {&language, &id, &texts};
	BMessage replies[3];
	status_t results[3] = {};
	bigtime_t waited = 0; // by the last Ask

	status_t Ask(BMessenger& messenger, bigtime_t timeout)
	{
		const bigtime_t start = system_time();
		const status_t status = messenger.SendRequests(messages, 3, replies, results, timeout);
		waited = system_time() - start;
		return status;
	}
};

} // namespace

TEST(SendRequestsTest, LocalRequestsAreAnsweredEachInTheOrderSent)
{
	Watchdog watchdog(20);
	RunningOrderedResponder responder;
	BMessage first = echo(0), second = echo(1), third = echo(2);
	BMessage* messages[] = {&first, &second, &third};
	BMessage replies[3];
	replies[1].what = 'old!'; // what was there before never survives
	status_t results[3];
	ASSERT_EQ(B_OK, BMessenger(responder.looper).SendRequests(messages, 3, replies, results));
	for (int32 i = 0; i < 3; i++) {
		EXPECT_EQ(B_OK, results[i]);
		EXPECT_EQ((uint32)B_REPLY, replies[i].what);
		EXPECT_TRUE(replies[i].IsReply());
		EXPECT_EQ(i, replies[i].GetInt32("index", -1));
		EXPECT_EQ(i + 1, replies[i].GetInt32("order", -1));
	}
	EXPECT_EQ(B_OK, BMessenger(responder.looper).SendRequests(messages, 0, replies, results));
}

TEST(SendRequestsTest, AHeldRequestTimesOutAloneWhileTheOthersAreAnswered)
{
	Watchdog watchdog(20);
	RunningOrderedResponder responder;
	BMessage first = echo(0), held('hold'), third = echo(2);
	BMessage* messages[] = {&first, &held, &third};
	BMessage replies[3];
	replies[1].what = B_REPLY;
	status_t results[3];
	bigtime_t start = system_time();
	EXPECT_EQ(B_TIMED_OUT,
	          BMessenger(responder.looper).SendRequests(messages, 3, replies, results, 300000));
	bigtime_t waited = system_time() - start;
	EXPECT_EQ(B_OK, results[0]);
	EXPECT_EQ(B_TIMED_OUT, results[1]);
	EXPECT_EQ(B_OK, results[2]);
	EXPECT_EQ((uint32)B_NO_REPLY, replies[1].what);
	EXPECT_EQ(2, replies[2].GetInt32("index", -1));
	// One wait for all of them, not one each.
	EXPECT_GE(waited, 290000);
	EXPECT_LT(waited, 2000000);
}

TEST(SendRequestsTest, NullArgumentsSendNothingAndDeadTargetsFailEveryRequest)
{
	Watchdog watchdog(20);
	RunningOrderedResponder responder;
	BMessenger messenger(responder.looper);
	BMessage first = echo(0);
	BMessage* withNull[] = {&first, nullptr};
	BMessage replies[2];
	status_t results[2];
	EXPECT_EQ(B_BAD_VALUE, messenger.SendRequests(withNull, 2, replies, results));
	EXPECT_EQ(B_BAD_VALUE, messenger.SendRequests(nullptr, 1, replies, results));
	EXPECT_EQ(B_BAD_VALUE, messenger.SendRequests(withNull, 1, nullptr, results));
	EXPECT_EQ(B_BAD_VALUE, messenger.SendRequests(withNull, -1, replies, results));
	// The first message of the refused call never arrived.
	BMessage reply;
	ASSERT_EQ(B_OK, messenger.SendMessage(&first, &reply));
	EXPECT_EQ(1, reply.GetInt32("order", -1));

	BMessage* one[] = {&first};
	EXPECT_EQ(B_BAD_PORT_ID, BMessenger().SendRequests(one, 1, replies, results));
	EXPECT_EQ(B_BAD_PORT_ID, results[0]);
	EXPECT_EQ((uint32)B_NO_REPLY, replies[0].what);
}

TEST(SendRequestsTest, AskingTheOwnLooperFromItsThreadWouldBlock)
{
	Watchdog watchdog(20);
	RunningOrderedResponder responder;
	BMessage reply;
	ASSERT_EQ(B_OK, BMessenger(responder.looper).SendMessage('self', &reply));
	EXPECT_EQ(B_WOULD_BLOCK, responder.looper->selfStatus.load());
	EXPECT_EQ(B_WOULD_BLOCK, responder.looper->selfResult.load());
}

TEST_F(BusTest, AnotherProcessAnswersSeveralQuestionsAskedInOneGo)
{
	Watchdog watchdog(60);
	run_app(app.get(), [&] {
		auto peer = StartPeer("locale_peer", {"--language=Deutsch", "--app-id=peer id",
		                                      "--text=eins", "--text=zwei"});
		BMessenger messenger(localeSignature.c_str());
		ASSERT_EQ(peer->Pid(), messenger.Team());

		BMessage language = get_property("DefaultLanguage");
		BMessage id = get_property("TextAppID");
		BMessage texts = get_property("DefaultText");
		BMessage unknown = get_property("NoSuchProperty");
		BMessage* messages[] = {&language, &id, &texts, &unknown};
		BMessage replies[4];
		status_t results[4];
		ASSERT_EQ(B_OK, messenger.SendRequests(messages, 4, replies, results, 5000000));
		EXPECT_STREQ("Deutsch", replies[0].GetString("result", ""));
		EXPECT_STREQ("peer id", replies[1].GetString("result", ""));
		EXPECT_STREQ("eins", replies[2].GetString("result", 0, ""));
		EXPECT_STREQ("zwei", replies[2].GetString("result", 1, ""));
		EXPECT_EQ((uint32)B_MESSAGE_NOT_UNDERSTOOD, replies[3].what);
		for (int32 i = 0; i < 4; i++) {
			EXPECT_EQ(B_OK, results[i]);
			EXPECT_TRUE(replies[i].IsReply());
		}
	});
}

TEST_F(BusTest, ASilentPeerCostsOneTimeOutForAllTheQuestions)
{
	Watchdog watchdog(60);
	RunWithPeer("locale_peer", {"--silent"}, [&](PeerProcess&, BMessenger& messenger) {
		SuiteQuestions questions;
		EXPECT_EQ(B_TIMED_OUT, questions.Ask(messenger, 400000));
		for (int32 i = 0; i < 3; i++) {
			EXPECT_EQ(B_TIMED_OUT, questions.results[i]);
			EXPECT_EQ((uint32)B_NO_REPLY, questions.replies[i].what);
		}
		// The peer sends what it has a little before the time-out.
		EXPECT_GE(questions.waited, 300000);
		// Three waits one after another would be 1.2 s.
		EXPECT_LT(questions.waited, 1100000);
	});
}

TEST_F(BusTest, WhatAPeerAnswersInTimeComesBackAndTheRestTimesOut)
{
	Watchdog watchdog(60);
	// Each answer takes 400 ms, one after another: with a second to wait,
	// the language and the id are in time and the texts are not.
	RunWithPeer("locale_peer", {"--delay=400"}, [&](PeerProcess&, BMessenger& messenger) {
		SuiteQuestions questions;
		EXPECT_EQ(B_TIMED_OUT, questions.Ask(messenger, 1000000));
		EXPECT_EQ(B_OK, questions.results[0]);
		EXPECT_STREQ("English", questions.replies[0].GetString("result", ""));
		EXPECT_EQ(B_OK, questions.results[1]);
		EXPECT_STREQ("test localepeer locale", questions.replies[1].GetString("result", ""));
		EXPECT_EQ(B_TIMED_OUT, questions.results[2]);
		EXPECT_EQ((uint32)B_NO_REPLY, questions.replies[2].what);
		EXPECT_LT(questions.waited, 1500000);
	});
}

TEST_F(BusTest, APeerThatQuitsMidwayFailsTheRestWithoutWaitingOut)
{
	Watchdog watchdog(60);
	run_app(app.get(), [&] {
		// Each answer takes 700 ms; the peer is killed while it works on
		// the second.
		ScratchFolder folder;
		std::string asked = folder / "asked";
		auto peer = StartPeer("locale_peer", {"--delay=700", "--asked-file=" + asked});
		BMessenger messenger(nullptr, peer->Pid());
		SuiteQuestions questions;
		std::thread stopper([&] {
			apptest::wait_until(
			    [&] {
				    std::string text = ReadFileBytes(asked);
				    return std::count(text.begin(), text.end(), '\n') >= 2;
			    },
			    10000);
			peer->Signal(SIGKILL);
		});
		EXPECT_NE(B_OK, questions.Ask(messenger, 20000000));
		stopper.join();
		// The answers travel together, so what the peer had gathered is
		// lost with it; nothing unanswered passes for an answer.
		for (int32 i = 1; i < 3; i++) {
			EXPECT_NE(B_OK, questions.results[i]);
			EXPECT_EQ((uint32)B_NO_REPLY, questions.replies[i].what);
		}
		EXPECT_LT(questions.waited, 10000000) << "a peer that is gone must not cost the time-out";
	});
}

namespace {

// A process pretending to be an application, answering Requests with what
// the test chose; plain Requests always get a good reply.
class HostileBatchObject : public QDBusVirtualObject
{
public:
	enum Mode { kWrongType, kWrongCount, kMixedSlots, kNoBatch };
	Mode mode = kWrongType;
	std::atomic<int> batches{0};
	std::atomic<int> singles{0};

	QString introspect(const QString&) const override { return QString(); }
	bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
	{
		if (message.member() == QLatin1String("Request")) {
			singles++;
			connection.send(message.createReply(QVariant(Flat("single"))));
			return true;
		}
		if (message.member() != QLatin1String("Requests"))
			return false;
		batches++;
		switch (mode) {
		case kWrongType:
			connection.send(message.createReply(QVariant(QString("text"))));
			break;
		case kWrongCount:
			connection.send(message.createReply(QVariant::fromValue(QByteArrayList{Flat("one")})));
			break;
		case kMixedSlots:
			connection.send(message.createReply(QVariant::fromValue(
			    QByteArrayList{Flat("together"), QByteArray("garbage"), QByteArray()})));
			break;
		case kNoBatch:
			return false;
		}
		return true;
	}

	static QByteArray Flat(const char* result)
	{
		BMessage reply(B_REPLY);
		reply.AddString("result", result);
		QByteArray bytes(reply.FlattenedSize(), 0);
		reply.Flatten(bytes.data(), bytes.size());
		return bytes;
	}
};

} // namespace

TEST_F(BusTest, HostileAnswersToSeveralQuestionsAreRefusedOneByOne)
{
	Watchdog watchdog(60);
	qDBusRegisterMetaType<QByteArrayList>();
	HostileBatchObject object;
	RunWithFakeTeam("hostile-batch", &object, [&](const FakeTeam&, BMessenger& target) {
		BMessage first = get_property("DefaultLanguage");
		BMessage second = get_property("TextAppID");
		BMessage third = get_property("DefaultText");
		BMessage* messages[] = {&first, &second, &third};
		BMessage replies[3];
		status_t results[3];

		for (HostileBatchObject::Mode mode :
		     {HostileBatchObject::kWrongType, HostileBatchObject::kWrongCount}) {
			object.mode = mode;
			EXPECT_EQ(B_BAD_REPLY, target.SendRequests(messages, 3, replies, results, 2000000))
			    << "mode " << mode;
			for (int32 i = 0; i < 3; i++) {
				EXPECT_EQ(B_BAD_REPLY, results[i]);
				EXPECT_EQ((uint32)B_NO_REPLY, replies[i].what);
			}
		}

		object.mode = HostileBatchObject::kMixedSlots;
		EXPECT_EQ(B_BAD_REPLY, target.SendRequests(messages, 3, replies, results, 2000000));
		EXPECT_EQ(B_OK, results[0]);
		EXPECT_STREQ("together", replies[0].GetString("result", ""));
		EXPECT_EQ(B_BAD_REPLY, results[1]);
		EXPECT_EQ(B_TIMED_OUT, results[2]);
		EXPECT_EQ((uint32)B_NO_REPLY, replies[2].what);
		EXPECT_EQ(0, object.singles.load());

		// A program that knows only Request is asked one message at a
		// time, and from then on without trying Requests first.
		object.mode = HostileBatchObject::kNoBatch;
		int batchesBefore = object.batches.load();
		for (int round = 0; round < 2; round++) {
			ASSERT_EQ(B_OK, target.SendRequests(messages, 3, replies, results, 2000000));
			for (int32 i = 0; i < 3; i++)
				EXPECT_STREQ("single", replies[i].GetString("result", ""));
		}
		EXPECT_EQ(6, object.singles.load());
		EXPECT_EQ(batchesBefore + 1, object.batches.load());
	});
}

TEST_F(BusTest, MalformedSeveralQuestionsAreRefusedWholeAndThePeerLivesOn)
{
	Watchdog watchdog(60);
	qDBusRegisterMetaType<QByteArrayList>();
	run_app(app.get(), [&] {
		auto peer = StartPeer("locale_peer", {"--language=Deutsch"});
		QDBusConnection bus = QDBusConnection::sessionBus();
		auto call = [&](const QByteArrayList& messages, int waitMs) {
			QDBusMessage requests =
			    QDBusMessage::createMethodCall(QString("org.vessmor.Team%1").arg(peer->Pid()),
			                                   "/org/vessmor/App", "org.vessmor.App", "Requests");
			requests << QVariant::fromValue(messages) << -1 << -1 << waitMs;
			return bus.call(requests, QDBus::Block, 5000);
		};
		BMessage valid = get_property("DefaultLanguage");
		QByteArray bytes(valid.FlattenedSize(), 0);
		valid.Flatten(bytes.data(), bytes.size());

		QDBusMessage answer = call({bytes, QByteArray("not flattened"), bytes}, 1000);
		EXPECT_EQ(QString("org.vessmor.Error.BadMessage"), answer.errorName());
		answer = call({bytes, bytes.left(bytes.size() / 2)}, 1000);
		EXPECT_EQ(QString("org.vessmor.Error.BadMessage"), answer.errorName());
		answer = call({}, 1000);
		EXPECT_EQ(QString("org.freedesktop.DBus.Error.InvalidArgs"), answer.errorName());
		QByteArrayList tooMany;
		for (int i = 0; i < 65; i++)
			tooMany.append(bytes);
		answer = call(tooMany, 1000);
		EXPECT_EQ(QString("org.freedesktop.DBus.Error.InvalidArgs"), answer.errorName());
		QDBusMessage wrongArgs =
		    QDBusMessage::createMethodCall(QString("org.vessmor.Team%1").arg(peer->Pid()),
		                                   "/org/vessmor/App", "org.vessmor.App", "Requests");
		wrongArgs << bytes << -1 << -1 << 1000;
		answer = bus.call(wrongArgs, QDBus::Block, 5000);
		EXPECT_EQ(QString("org.freedesktop.DBus.Error.InvalidArgs"), answer.errorName());

		// Without a wait the answers come once all are answered.
		answer = call({bytes, bytes}, 0);
		ASSERT_EQ(QDBusMessage::ReplyMessage, answer.type());
		ASSERT_EQ(QString("aay"), answer.signature());
		QByteArrayList replies = qdbus_cast<QByteArrayList>(answer.arguments().at(0));
		ASSERT_EQ(2, replies.size());
		for (const QByteArray& replyBytes : replies) {
			BMessage reply;
			ASSERT_EQ(B_OK, reply.Unflatten(replyBytes.constData(), replyBytes.size()));
			EXPECT_STREQ("Deutsch", reply.GetString("result", ""));
		}
	});
}
