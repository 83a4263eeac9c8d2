// Shared set-up of the tests that talk to other processes over the bus.
#ifndef BUS_TEST_SUPPORT_H
#define BUS_TEST_SUPPORT_H

#include <functional>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "AppTestSupport.h"
#include "Application.h"
#include "FakeTeam.h"
#include "Messenger.h"

namespace apptest {

const char* const kBusTestSignature = "application/x-vnd.test-bustest";

// Skips without a session bus; each test gets its own application object.
// Other test programs may share the bus at the same time, so the peers of
// each test get signatures of their own.
class BusTest : public testing::Test
{
protected:
	void SetUp() override
	{
		if (!have_session_bus())
			GTEST_SKIP() << "no session bus (run under dbus-run-session)";
		app = std::make_unique<BApplication>(kBusTestSignature);
		// Appended piece by piece: GCC 12 at -O3 misreads "-" + a temporary
		// as an overlapping copy (-Wrestrict).
		std::string suffix = "-";
		suffix += std::to_string(getpid());
		suffix += "-";
		suffix += std::to_string(++sTestCount);
		localeSignature = "application/x-vnd.test-localepeer" + suffix;
		plainSignature = "application/x-vnd.test-plainpeer" + suffix;
	}

	void TearDown() override { app.reset(); }

	// Starts a peer and waits until the roster lists it.
	std::unique_ptr<PeerProcess> StartPeer(const char* program,
	                                       const std::vector<std::string>& args = {})
	{
		auto peer = std::make_unique<PeerProcess>(peer_path(program), WithSignature(program, args));
		EXPECT_TRUE(peer->Started()) << program;
		EXPECT_TRUE(wait_for_team(peer->Pid())) << program << " never registered";
		return peer;
	}

	// Runs body while the application runs, with program started (its
	// options args) and a messenger to its team.
	void RunWithPeer(const char* program, const std::vector<std::string>& args,
	                 const std::function<void(PeerProcess& peer, BMessenger& messenger)>& body)
	{
		run_app(app.get(), [&] {
			auto peer = StartPeer(program, args);
			BMessenger messenger(nullptr, peer->Pid());
			body(*peer, messenger);
		});
	}

	// Runs body while the application runs, with a team of the test's own
	// (connection names its bus connection) answered by object, and a
	// messenger to it.
	void RunWithFakeTeam(const char* connection, QDBusVirtualObject* object,
	                     const std::function<void(const FakeTeam& fake, BMessenger& target)>& body)
	{
		FakeTeam fake(connection, object);
		ASSERT_TRUE(fake.Registered());
		run_app(app.get(), [&] {
			BMessenger target = fake.Messenger();
			body(fake, target);
		});
	}

	// The peer's options with this test's signature for it.
	std::vector<std::string> WithSignature(const char* program, std::vector<std::string> args)
	{
		std::string signature =
		    std::string(program) == "locale_peer" ? localeSignature : plainSignature;
		args.insert(args.begin(), "--signature=" + signature);
		return args;
	}

	std::unique_ptr<BApplication> app;
	std::string localeSignature;
	std::string plainSignature;

private:
	static inline int sTestCount = 0;
};

} // namespace apptest

#endif // BUS_TEST_SUPPORT_H
