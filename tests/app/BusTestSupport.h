// Shared set-up of the tests that talk to other processes over the bus.
#ifndef BUS_TEST_SUPPORT_H
#define BUS_TEST_SUPPORT_H

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "AppTestSupport.h"
#include "Application.h"

namespace apptest {

const char* const kBusTestSignature = "application/x-vnd.test-bustest";
const char* const kLocalePeerSignature = "application/x-vnd.test-localepeer";
const char* const kPlainPeerSignature = "application/x-vnd.test-plainpeer";

// Skips without a session bus; each test gets its own application object.
class BusTest : public testing::Test {
protected:
	void SetUp() override
	{
		if (!have_session_bus())
			GTEST_SKIP() << "no session bus (run under dbus-run-session)";
		app = std::make_unique<BApplication>(kBusTestSignature);
	}

	void TearDown() override { app.reset(); }

	// Starts a peer and waits until the roster lists it.
	std::unique_ptr<PeerProcess> StartPeer(const char* program,
		const std::vector<std::string>& args = {})
	{
		auto peer = std::make_unique<PeerProcess>(peer_path(program), args);
		EXPECT_TRUE(peer->Started()) << program;
		EXPECT_TRUE(wait_for_team(peer->Pid())) << program << " never registered";
		return peer;
	}

	std::unique_ptr<BApplication> app;
};

} // namespace apptest

#endif // BUS_TEST_SUPPORT_H
