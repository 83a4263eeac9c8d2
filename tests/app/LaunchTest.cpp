// Starting an application: files on the command line, running without a
// session bus, the quit path on SIGTERM.
#include <csignal>

#include <gtest/gtest.h>

#include "AppTestSupport.h"

using namespace apptest;

TEST(LaunchTest, FilesOnTheCommandLineArriveAsOneRefsMessageAfterReadyToRun)
{
	Watchdog watchdog(60);
	ScratchFolder dir;
	std::string log = dir / "log";
	PeerProcess peer(
	    peer_path("plain_peer"),
	    {"--log-file=" + log, "a.locale", "--refuse-quit", "sub/../b.locale", "--", "-odd"},
	    dir.Path());
	ASSERT_TRUE(peer.Started());
	ASSERT_TRUE(
	    wait_until([&] { return ReadFileBytes(log).find("refs") != std::string::npos; }, 10000));
	peer.Signal(SIGTERM);
	ASSERT_TRUE(wait_until(
	    [&] { return ReadFileBytes(log).find("quit-requested") != std::string::npos; }, 10000));
	// "sub" does not exist, so its ref cannot be made; refusing keeps it running.
	std::string expected =
	    "ready\nargv 7\nrefs " + dir.Path() + "/a.locale " + dir.Path() + "/-odd\nquit-requested\n";
	EXPECT_EQ(expected, ReadFileBytes(log));
	peer.Signal(SIGKILL);
}

TEST(LaunchTest, RunsWithoutASessionBusAndQuitsOnSigterm)
{
	Watchdog watchdog(60);
	ScratchFolder dir;
	std::string ready = dir / "ready";
	std::string log = dir / "log";
	PeerProcess peer(peer_path("plain_peer"), {"--ready-file=" + ready, "--log-file=" + log}, "",
	                 true);
	ASSERT_TRUE(peer.Started());
	ASSERT_TRUE(wait_until([&] { return !ReadFileBytes(ready).empty(); }, 10000));
	EXPECT_EQ("ready " + std::to_string(peer.Pid()) + "\n", ReadFileBytes(ready));
	peer.Signal(SIGTERM);
	EXPECT_EQ(0, peer.WaitForExit(10000));
	EXPECT_EQ("ready\nargv 3\nquit-requested\n", ReadFileBytes(log));
}
