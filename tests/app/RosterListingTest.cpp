// The roster's kept listing of the bus: applications that start after the
// first look-up are found, ones that quit are neither found nor reached, and
// look-ups by signature do not each ask the bus again.
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QVariantMap>

#include <gtest/gtest.h>

#include "BusTestSupport.h"
#include "List.h"
#include "Message.h"
#include "Messenger.h"
#include "Roster.h"

using namespace apptest;

namespace {

// How many messages this process's connection has sent to the bus, from
// the bus's own statistics; -1 where the bus keeps none.
int64 messages_sent_to_bus()
{
	QDBusConnection bus = QDBusConnection::sessionBus();
	QDBusMessage call =
	    QDBusMessage::createMethodCall("org.freedesktop.DBus", "/org/freedesktop/DBus",
	                                   "org.freedesktop.DBus.Debug.Stats", "GetConnectionStats");
	call << bus.baseService();
	QDBusMessage reply = bus.call(call, QDBus::Block, 5000);
	if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1)
		return -1;
	QVariantMap stats = qdbus_cast<QVariantMap>(reply.arguments().at(0));
	if (!stats.contains("IncomingMessages"))
		return -1;
	return stats.value("IncomingMessages").toLongLong();
}

bool listed(team_id team)
{
	BList teams;
	be_roster->GetAppList(&teams);
	return teams.HasItem((void*)(addr_t)team);
}

} // namespace

TEST_F(BusTest, AnApplicationStartedAfterTheFirstLookUpIsFoundBySignature)
{
	Watchdog watchdog(60);
	run_app(app.get(), [&] {
		// The first look-ups fill what the roster keeps of the bus.
		status_t status;
		BMessenger before(localeSignature.c_str(), -1, &status);
		EXPECT_NE(B_OK, status);
		EXPECT_EQ(B_ERROR, be_roster->TeamFor(localeSignature.c_str()));

		PeerProcess peer(peer_path("locale_peer"), WithSignature("locale_peer", {}));
		ASSERT_TRUE(peer.Started());
		// Waited for the way the editor's tests do, through the team alone:
		// that says nothing of whether the roster's listing has it yet.
		ASSERT_TRUE(wait_until(
		    [&] {
			    app_info info;
			    return be_roster->GetRunningAppInfo(peer.Pid(), &info) == B_OK;
		    },
		    10000));

		BMessenger after(localeSignature.c_str(), -1, &status);
		EXPECT_EQ(B_OK, status);
		EXPECT_EQ(peer.Pid(), after.Team());
		EXPECT_EQ(peer.Pid(), be_roster->TeamFor(localeSignature.c_str()));
		EXPECT_TRUE(be_roster->IsRunning(localeSignature.c_str()));
		app_info info;
		ASSERT_EQ(B_OK, be_roster->GetAppInfo(localeSignature.c_str(), &info));
		EXPECT_EQ(peer.Pid(), info.team);
		BList same;
		be_roster->GetAppList(localeSignature.c_str(), &same);
		EXPECT_EQ(1, same.CountItems());
		EXPECT_TRUE(wait_until([&] { return listed(peer.Pid()); }, 5000));

		BMessage request(B_GET_PROPERTY);
		request.AddSpecifier("DefaultLanguage");
		BMessage reply;
		EXPECT_EQ(B_OK, after.SendMessage(&request, &reply, 5000000, 5000000));
		EXPECT_STREQ("English", reply.GetString("result", ""));
	});
}

TEST_F(BusTest, AnApplicationThatQuitIsNeitherFoundNorReached)
{
	Watchdog watchdog(60);
	run_app(app.get(), [&] {
		auto peer = StartPeer("locale_peer");
		team_id team = peer->Pid();
		status_t status;
		BMessenger messenger(localeSignature.c_str(), -1, &status);
		ASSERT_EQ(B_OK, status);
		ASSERT_EQ(team, messenger.Team());

		peer->Signal(SIGTERM);
		ASSERT_EQ(0, peer->WaitForExit(5000));

		BMessage request(B_GET_PROPERTY);
		request.AddSpecifier("DefaultLanguage");
		BMessage reply(B_REPLY);
		EXPECT_EQ(B_BAD_PORT_ID, messenger.SendMessage(&request, &reply, 2000000, 2000000));
		EXPECT_EQ((uint32)B_NO_REPLY, reply.what);

		// The failed send already told the roster that the name is gone.
		BMessenger again(localeSignature.c_str(), -1, &status);
		EXPECT_NE(B_OK, status);
		EXPECT_LT(again.Team(), 0);
		EXPECT_EQ(B_ERROR, be_roster->TeamFor(localeSignature.c_str()));
		EXPECT_FALSE(listed(team));
		app_info info;
		EXPECT_EQ(B_BAD_TEAM_ID, be_roster->GetRunningAppInfo(team, &info));
	});
}

TEST_F(BusTest, AQuitSeenOnlyOnTheBusLeavesTheListingToo)
{
	Watchdog watchdog(60);
	run_app(app.get(), [&] {
		auto peer = StartPeer("plain_peer");
		team_id team = peer->Pid();
		ASSERT_TRUE(listed(team));
		peer->Signal(SIGTERM);
		ASSERT_EQ(0, peer->WaitForExit(5000));
		// Nothing was sent to it: only the bus's notice of the lost name.
		EXPECT_TRUE(wait_until([&] { return !listed(team); }, 5000));
		EXPECT_EQ(B_ERROR, be_roster->TeamFor(plainSignature.c_str()));
	});
}

TEST_F(BusTest, LookUpsBySignatureDoNotAskTheBusEachTime)
{
	Watchdog watchdog(60);
	run_app(app.get(), [&] {
		auto peer = StartPeer("locale_peer");
		if (messages_sent_to_bus() < 0)
			GTEST_SKIP() << "the bus keeps no statistics";
		const int kLookUps = 50;
		int64 before = messages_sent_to_bus();
		for (int i = 0; i < kLookUps; i++) {
			BMessenger messenger(localeSignature.c_str());
			EXPECT_EQ(peer->Pid(), messenger.Team());
		}
		int64 after = messages_sent_to_bus();
		// The second statistics call counts too; other programs starting on
		// a shared bus may cost a question or two each.
		EXPECT_LT(after - before, 10) << "each look-up asked the bus";
	});
}
