// Bus names are no proof of who holds them: a process that takes the name of
// another process's team never gets that team's requests, the real
// application is still reached, and silent peers cost hey no more than -t.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "BuiltPrograms.h"
#include "EndToEnd.h"
#include "ScratchFolder.h"
#include "Wait.h"

namespace {

using namespace std::chrono_literals;

// A peer program of the tests, ended at the end of the test.
class Child : public EditorHarness
{
public:
	Child(const std::string& program, const std::vector<std::string>& arguments)
	    : EditorHarness(BuildFolder() + "/tests/" + program, arguments)
	{
	}
};

bool Ready(const std::string& path)
{
	return WaitUntil([&] { return std::ifstream(path).good(); }, 10s);
}

std::string Squat(pid_t team)
{
	return "--name=org.vessmor.Team" + std::to_string(team);
}

TEST(BusNameTest, ANameHeldByAnotherProcessIsRefusedAndTheRealApplicationStillReached)
{
	ScratchFolder scratch;
	// The peer joins the bus only after a while, so its name can be taken
	// first, as a squatter taking the names of future process ids would.
	Child peer("plain_peer", {"--start-delay-ms=1500", "--ready-file=" + (scratch / "peer")});
	ASSERT_GT(peer.Pid(), 0);
	Child squatter("name_squatter", {Squat(peer.Pid()), "--ready-file=" + (scratch / "squat")});
	ASSERT_TRUE(Ready(scratch / "squat"));
	ASSERT_TRUE(Ready(scratch / "peer")) << "the peer must run without its own name";

	// By team and by signature, the request reaches the peer (the squatter
	// answers nothing, so a request sent to it would only time out).
	const std::string team = std::to_string(peer.Pid());
	for (const std::string& app : {team, std::string("application/x-vnd.test-plainpeer")}) {
		// It writes its ready file as it joins the bus: asked again until
		// it has.
		HeyResult name;
		WaitUntil(
		    [&] {
			    name = RunHey({"-t", "5000", app, "get", "Name"});
			    return name.exitCode == 0;
		    },
		    5s);
		EXPECT_EQ(0, name.exitCode) << app << ": " << name.err;
		EXPECT_EQ("plain_peer", ResultString(name)) << app;
	}

	// A live process that never joined the bus, its name held by another:
	// the request is refused with the holder named, not sent to it.
	Child sleeper("name_squatter", {"--lifetime-ms=30000"});
	ASSERT_GT(sleeper.Pid(), 0);
	Child impostor("name_squatter", {Squat(sleeper.Pid()), "--ready-file=" + (scratch / "imp")});
	ASSERT_TRUE(Ready(scratch / "imp"));
	HeyResult refused = RunHey({"-t", "5000", std::to_string(sleeper.Pid()), "get", "Name"});
	EXPECT_EQ(1, refused.exitCode) << refused.err;
	EXPECT_NE(std::string::npos,
	          refused.err.find("held by process " + std::to_string(impostor.Pid())))
	    << refused.err;
	EXPECT_LT(refused.took, 2000ms) << "refused at once, not after waiting for the impostor";
}

TEST(BusNameTest, SilentPeersCostHeyNoMoreThanItsTimeOut)
{
	ScratchFolder scratch;
	// Each holds its own team's name, so it passes the owner check, and then
	// never says what it is: every look-up by name asks each of them.
	std::vector<std::unique_ptr<Child>> silent;
	for (int i = 0; i < 5; i++) {
		const std::string ready = scratch / ("silent" + std::to_string(i));
		silent.push_back(std::make_unique<Child>(
		    "name_squatter", std::vector<std::string>{"--own-team", "--ready-file=" + ready}));
		ASSERT_TRUE(Ready(ready));
	}
	HeyResult result = RunHey({"-t", "1000", "NoSuchProgram", "get", "Name"}, 30s);
	EXPECT_EQ(1, result.exitCode) << result.err;
	EXPECT_NE(std::string::npos, result.err.find("not found in time")) << result.err;
	EXPECT_GE(result.took, 800ms) << "it did ask the silent peers";
	EXPECT_LT(result.took, 3000ms) << "every question counts against -t";
}

} // namespace
