// Messages between processes: the locale suite of a peer, time-outs, replies
// to a handler, and hostile or broken bytes on the bus.
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>

#include <gtest/gtest.h>

#include "BusTestSupport.h"
#include "FakeTeam.h"
#include "Message.h"
#include "Messenger.h"
#include "OS.h"
#include "PropertyInfo.h"
#include "Roster.h"

using namespace apptest;

namespace {

QDBusMessage raw_call(team_id team, const char* method)
{
	return QDBusMessage::createMethodCall(QString("org.vessmor.Team%1").arg(team),
	                                      "/org/vessmor/App", "org.vessmor.App", method);
}

// A process pretending to be an application: answers every request with
// what the test chose, on a connection of its own.
class HostileObject : public QDBusVirtualObject
{
public:
	enum Mode { kGarbage, kWrongType, kTruncated, kSilent };
	Mode mode = kGarbage;

	QString introspect(const QString&) const override { return QString(); }
	bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
	{
		if (message.member() != QLatin1String("Request"))
			return false;
		switch (mode) {
		case kGarbage:
			connection.send(message.createReply(QVariant(QByteArray("not a message at all"))));
			break;
		case kWrongType:
			connection.send(message.createReply(QVariant(QString("text"))));
			break;
		case kTruncated: {
			BMessage reply(B_REPLY);
			reply.AddString("result", "cut short");
			QByteArray bytes(reply.FlattenedSize(), 0);
			reply.Flatten(bytes.data(), bytes.size());
			bytes.chop(5);
			connection.send(message.createReply(QVariant(bytes)));
			break;
		}
		case kSilent:
			break;
		}
		return true;
	}
};

} // namespace

TEST_F(BusTest, LocaleSuiteIsAnsweredByAnotherProcess)
{
	Watchdog watchdog(60);
	run_app(app.get(), [&] {
		auto peer =
		    StartPeer("locale_peer", {"--language=Deutsch", "--app-id=peer id", "--text=first",
		                              "--text=with\nline feed", "--text=third"});
		BMessenger messenger(localeSignature.c_str());
		ASSERT_TRUE(messenger.IsValid());

		BMessage reply;
		ASSERT_EQ(B_OK, ask_property(messenger, "DefaultText", &reply));
		EXPECT_EQ((uint32)B_REPLY, reply.what);
		EXPECT_EQ(1, reply.CountNames(B_ANY_TYPE)); // "result" and nothing else
		type_code type;
		int32 count = 0;
		ASSERT_EQ(B_OK, reply.GetInfo("result", &type, &count));
		EXPECT_EQ((type_code)B_STRING_TYPE, type);
		ASSERT_EQ(3, count);
		EXPECT_STREQ("with\nline feed", reply.GetString("result", 1, ""));

		ASSERT_EQ(B_OK, ask_property(messenger, "DefaultLanguage", &reply));
		EXPECT_STREQ("Deutsch", reply.GetString("result", ""));
		ASSERT_EQ(B_OK, ask_property(messenger, "TextAppID", &reply));
		EXPECT_STREQ("peer id", reply.GetString("result", ""));

		// A name that differs in case is not the suite's.
		ASSERT_EQ(B_OK, ask_property(messenger, "defaulttext", &reply));
		EXPECT_EQ((uint32)B_MESSAGE_NOT_UNDERSTOOD, reply.what);
		EXPECT_EQ(B_BAD_SCRIPT_SYNTAX, reply.GetInt32("error", 0));

		ASSERT_EQ(B_OK, ask_property(messenger, "Suites", &reply));
		EXPECT_STREQ("suite/vnd.Vessmor-locale", reply.GetString("suites", 0, ""));
		EXPECT_STREQ("suite/vnd.Be-application", reply.GetString("suites", 1, ""));
		EXPECT_STREQ("suite/vnd.Be-handler", reply.GetString("suites", 2, ""));
		BPropertyInfo table;
		ASSERT_EQ(B_OK, reply.FindFlat("messages", 0, &table));
		ASSERT_EQ(3, table.CountProperties());
		EXPECT_STREQ("TextAppID", table.Properties()[2].name);
	});
}

TEST_F(BusTest, PeerWithoutTheSuiteDoesNotListIt)
{
	Watchdog watchdog(60);
	RunWithPeer("locale_peer", {"--no-suite"}, [&](PeerProcess&, BMessenger& messenger) {
		BMessage reply;
		ASSERT_EQ(B_OK, ask_property(messenger, "Suites", &reply));
		EXPECT_EQ((uint32)B_REPLY, reply.what);
		for (int32 i = 0; reply.HasString("suites", i); i++)
			EXPECT_STRNE("suite/vnd.Vessmor-locale", reply.GetString("suites", i, ""));
		ASSERT_EQ(B_OK, ask_property(messenger, "DefaultText", &reply));
		EXPECT_EQ((uint32)B_MESSAGE_NOT_UNDERSTOOD, reply.what);
	});
}

TEST_F(BusTest, SilentPeerCostsNoMoreThanTheReplyTimeOut)
{
	Watchdog watchdog(60);
	RunWithPeer("locale_peer", {"--silent"}, [&](PeerProcess&, BMessenger& messenger) {
		BMessage request = get_property("DefaultText");
		BMessage reply(B_REPLY);
		bigtime_t start = system_time();
		EXPECT_EQ(B_TIMED_OUT, messenger.SendMessage(&request, &reply, B_INFINITE_TIMEOUT, 400000));
		bigtime_t waited = system_time() - start;
		EXPECT_GE(waited, 350000);
		EXPECT_LT(waited, 1500000);
		EXPECT_EQ((uint32)B_NO_REPLY, reply.what);

		// The peer itself is fine; it only keeps that one request.
		EXPECT_EQ(B_OK, ask_property(messenger, "Suites", &reply));
		EXPECT_EQ((uint32)B_REPLY, reply.what);
	});
}

TEST_F(BusTest, SlowPeerIsWaitedForWithinTheTimeOut)
{
	Watchdog watchdog(60);
	RunWithPeer("locale_peer", {"--delay=300"}, [&](PeerProcess&, BMessenger& messenger) {
		BMessage reply;
		EXPECT_EQ(B_OK, ask_property(messenger, "DefaultLanguage", &reply));
		EXPECT_STREQ("English", reply.GetString("result", ""));
		EXPECT_EQ(B_TIMED_OUT, ask_property(messenger, "DefaultLanguage", &reply, 100000));
	});
}

TEST_F(BusTest, RemoteMessageHandledWithoutReplyComesBackAsNoReply)
{
	Watchdog watchdog(60);
	run_app(app.get(), [&] {
		auto peer = StartPeer("plain_peer");
		BMessage reply(B_REPLY);
		BMessage request('zzzz');
		EXPECT_EQ(B_OK,
		          BMessenger(nullptr, peer->Pid()).SendMessage(&request, &reply, 5000000, 5000000));
		EXPECT_EQ((uint32)B_NO_REPLY, reply.what);
	});
}

TEST_F(BusTest, RemoteRepliesReachTheReplyToHandler)
{
	Watchdog watchdog(60);
	run_app(app.get(), [&] {
		auto peer = StartPeer("locale_peer", {"--language=Suomi"});
		RecordingLooper replies;
		BMessage request = get_property("DefaultLanguage");
		ASSERT_EQ(B_OK, BMessenger(nullptr, peer->Pid()).SendMessage(&request, replies.handler));
		ASSERT_TRUE(replies.handler->WaitForCount(1, 10000));
		BMessage reply = replies.handler->MessageAt(0);
		EXPECT_EQ((uint32)B_REPLY, reply.what);
		EXPECT_STREQ("Suomi", reply.GetString("result", ""));
	});
}

TEST_F(BusTest, MalformedPayloadsAreRefusedAndThePeerLivesOn)
{
	Watchdog watchdog(60);
	run_app(app.get(), [&] {
		auto peer = StartPeer("locale_peer");
		QDBusConnection bus = QDBusConnection::sessionBus();

		QDBusMessage garbage = raw_call(peer->Pid(), "Request");
		garbage << QByteArray("\x01\x02\x03 definitely not flattened") << -1 << -1;
		QDBusMessage answer = bus.call(garbage, QDBus::Block, 5000);
		EXPECT_EQ(QDBusMessage::ErrorMessage, answer.type());
		EXPECT_EQ(QString("org.vessmor.Error.BadMessage"), answer.errorName());

		BMessage valid = get_property("DefaultText");
		QByteArray bytes(valid.FlattenedSize(), 0);
		valid.Flatten(bytes.data(), bytes.size());
		for (qsizetype cut : {(qsizetype)1, (qsizetype)8, bytes.size() / 2, bytes.size() - 1}) {
			QDBusMessage truncated = raw_call(peer->Pid(), "Post");
			truncated << bytes.left(cut) << -1 << -1 << 0 << -1 << -1;
			answer = bus.call(truncated, QDBus::Block, 5000);
			EXPECT_EQ(QString("org.vessmor.Error.BadMessage"), answer.errorName()) << cut;
		}

		QDBusMessage wrongArgs = raw_call(peer->Pid(), "Request");
		wrongArgs << QString("a string") << 1;
		answer = bus.call(wrongArgs, QDBus::Block, 5000);
		EXPECT_EQ(QDBusMessage::ErrorMessage, answer.type());

		QDBusMessage noTarget = raw_call(peer->Pid(), "Request");
		noTarget << bytes << 123456 << -1;
		answer = bus.call(noTarget, QDBus::Block, 5000);
		EXPECT_EQ(QString("org.vessmor.Error.NoTarget"), answer.errorName());

		QDBusMessage proper = raw_call(peer->Pid(), "Request");
		proper << bytes << -1 << -1;
		answer = bus.call(proper, QDBus::Block, 5000);
		ASSERT_EQ(QDBusMessage::ReplyMessage, answer.type());
		BMessage reply;
		QByteArray replyBytes = answer.arguments().at(0).toByteArray();
		ASSERT_EQ(B_OK, reply.Unflatten(replyBytes.constData(), replyBytes.size()));
		EXPECT_EQ((uint32)B_REPLY, reply.what);
	});
}

TEST_F(BusTest, HostileRepliesAreDroppedWithAnError)
{
	Watchdog watchdog(60);
	HostileObject object;
	RunWithFakeTeam("hostile", &object, [&](const FakeTeam& fake, BMessenger& target) {
		BMessage request = get_property("DefaultText");
		for (HostileObject::Mode mode :
		     {HostileObject::kGarbage, HostileObject::kWrongType, HostileObject::kTruncated}) {
			object.mode = mode;
			BMessage reply(B_REPLY);
			EXPECT_EQ(B_BAD_REPLY, target.SendMessage(&request, &reply, 2000000, 2000000))
			    << "mode " << mode;
			EXPECT_EQ((uint32)B_NO_REPLY, reply.what);
		}
		object.mode = HostileObject::kSilent;
		BMessage reply;
		bigtime_t start = system_time();
		EXPECT_EQ(B_TIMED_OUT, target.SendMessage(&request, &reply, 300000, 300000));
		EXPECT_LT(system_time() - start, 1500000);

		// It claims a team that is not its own: the roster does not list it.
		app_info info;
		EXPECT_NE(B_OK, be_roster->GetRunningAppInfo(fake.Team(), &info));
	});
}
