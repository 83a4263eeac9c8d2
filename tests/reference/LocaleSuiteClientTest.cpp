// The suite client asking another process: a program too slow for the
// time-out gives what it answered in time, and one that quits in the middle
// of a fetch ends it at once.

#include "ReferenceTestSupport.h"

#include <Messenger.h>
#include <OS.h>

#include <fstream>
#include <iterator>
#include <signal.h>
#include <thread>

#include "LocaleSuiteClient.h"

TEST(LocaleSuiteClientFetch, WhatASlowProgramAnswersInTimeIsKept)
{
	// Each answer takes 400 ms, one after another: within a second the
	// language and the id are answered, the texts are not.
	ChildProcess peer(PeerExecutable("locale_peer"),
	                  {"--delay=400", "--signature=application/x-vnd.test-slow-fetch"});
	ASSERT_TRUE(peer.WaitUntilRegistered());

	LocaleSuiteClient client(current_team(), 500000, 1000000);
	BMessage reference;
	bigtime_t start = system_time();
	EXPECT_EQ(client.FetchReference("application/x-vnd.test-slow-fetch", &reference), B_TIMED_OUT);
	EXPECT_LT(system_time() - start, 1500000);
	const char* value = nullptr;
	ASSERT_EQ(reference.FindString("zt:language", &value), B_OK);
	EXPECT_STREQ(value, "English");
	ASSERT_EQ(reference.FindString("zt:app_id", &value), B_OK);
	EXPECT_STREQ(value, "test localepeer locale");
	EXPECT_NE(reference.FindString("zt:text", &value), B_OK);
}

TEST(LocaleSuiteClientFetch, AProgramThatQuitsMidFetchEndsItAtOnce)
{
	// Each answer takes 700 ms: the program is killed while it works on the
	// id.
	ScratchFolder folder;
	std::string asked = folder / "asked";
	ChildProcess peer(PeerExecutable("locale_peer"),
	                  {"--delay=700", "--signature=application/x-vnd.test-quits-midway",
	                   "--asked-file=" + asked});
	ASSERT_TRUE(peer.WaitUntilRegistered());
	team_id team = peer.Team();

	LocaleSuiteClient client(current_team(), 500000, 20000000);
	std::thread killer([team, asked] {
		WaitUntil(
		    [&] {
			    std::ifstream in(asked);
			    std::string text((std::istreambuf_iterator<char>(in)),
			                     std::istreambuf_iterator<char>());
			    return text.find("TextAppID") != std::string::npos;
		    },
		    std::chrono::seconds(10));
		kill(team, SIGKILL);
	});
	BMessage reference;
	bigtime_t start = system_time();
	status_t status = client.FetchReference("application/x-vnd.test-quits-midway", &reference);
	bigtime_t elapsed = system_time() - start;
	killer.join();

	EXPECT_NE(status, B_OK);
	EXPECT_LT(elapsed, 10000000) << "a program that is gone must not cost the time-out";
	const char* value = nullptr;
	EXPECT_NE(reference.FindString("zt:app_id", &value), B_OK);
	EXPECT_NE(reference.FindString("zt:text", &value), B_OK);
}
