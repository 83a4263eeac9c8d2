// The plain bus client (no Qt, for command-line tools): a request to another
// process answers as a messenger's does, its errors are a messenger's, and
// the applications it lists are those the roster trusts.
#include <gtest/gtest.h>

#include "BusTestSupport.h"
#include "EnvironmentGuard.h"
#include "OS.h"
#include "PlainBusClient.h"

using namespace apptest;
using BPrivate::PlainBusClient;

namespace {

TEST_F(BusTest, APlainClientAsksAPeerAndListsItAsTheRosterDoes)
{
	Watchdog watchdog(60);
	run_app(app.get(), [&] {
		auto peer = StartPeer("locale_peer", {"--text=first", "--text=second"});
		PlainBusClient client;
		ASSERT_TRUE(client.Connect());

		BMessage reply;
		ASSERT_EQ(B_OK, client.Request(peer->Pid(), get_property("DefaultText"), &reply, 5000000));
		EXPECT_EQ((uint32)B_REPLY, reply.what);
		EXPECT_STREQ("first", reply.GetString("result", 0, ""));
		EXPECT_STREQ("second", reply.GetString("result", 1, ""));

		bool listed = false;
		for (const PlainBusClient::Application& running : client.Applications()) {
			if (running.team != peer->Pid())
				continue;
			listed = true;
			EXPECT_EQ(localeSignature, running.signature);
			EXPECT_EQ(peer_path("locale_peer"), running.executable);
		}
		EXPECT_TRUE(listed);
	});
}

TEST_F(BusTest, APlainClientsErrorsAreThoseOfAMessenger)
{
	Watchdog watchdog(60);
	run_app(app.get(), [&] {
		auto peer = StartPeer("locale_peer", {"--silent"});
		PlainBusClient client;
		ASSERT_TRUE(client.Connect());

		BMessage reply(B_REPLY);
		bigtime_t start = system_time();
		EXPECT_EQ(B_TIMED_OUT,
		          client.Request(peer->Pid(), get_property("DefaultText"), &reply, 400000));
		EXPECT_LT(system_time() - start, 1500000);
		EXPECT_EQ((uint32)B_NO_REPLY, reply.what);

		// No application under that team: the bus says so at once.
		reply.what = B_REPLY;
		EXPECT_EQ(B_BAD_PORT_ID,
		          client.Request(peer->Pid() + 1000000, get_property("Suites"), &reply, 5000000));
		EXPECT_EQ((uint32)B_NO_REPLY, reply.what);
	});
}

TEST(PlainBusClient, WithoutASessionBusNothingIsAsked)
{
	EnvironmentGuard noBus("DBUS_SESSION_BUS_ADDRESS", std::nullopt);
	PlainBusClient client;
	EXPECT_FALSE(client.Connect());
	BMessage reply;
	EXPECT_EQ(B_BAD_PORT_ID, client.Request(getpid(), get_property("Suites"), &reply, 100000));
	EXPECT_TRUE(client.Applications().empty());
}

} // namespace
