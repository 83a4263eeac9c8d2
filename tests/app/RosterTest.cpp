// The roster across processes: the list of applications, their app_info,
// launch and quit notices, messengers by signature and team.
#include <sys/stat.h>

#include <climits>
#include <cstdlib>

#include <gtest/gtest.h>

#include "BusTestSupport.h"
#include "Entry.h"
#include "EnvironmentGuard.h"
#include "List.h"
#include "Message.h"
#include "Messenger.h"
#include "Path.h"
#include "Roster.h"

using namespace apptest;

namespace {

team_id team_at(const BList& list, int32 index)
{
	return (team_id)(addr_t)list.ItemAt(index);
}

std::string real_path(const std::string& path)
{
	char resolved[PATH_MAX];
	return realpath(path.c_str(), resolved) != nullptr ? resolved : path;
}

std::string ref_path(const entry_ref& ref)
{
	BEntry entry(&ref);
	BPath path;
	if (entry.GetPath(&path) != B_OK)
		return "";
	return path.Path();
}

} // namespace

TEST_F(BusTest, RosterListsEveryApplicationInLaunchOrderWithItsRealExecutable)
{
	Watchdog watchdog(60);
	run_app(app.get(), [&] {
		auto first = StartPeer("locale_peer");
		auto second = StartPeer("locale_peer");
		auto plain = StartPeer("plain_peer");

		BList all;
		be_roster->GetAppList(&all);
		std::vector<team_id> ours;
		for (int32 i = 0; i < all.CountItems(); i++) {
			team_id team = team_at(all, i);
			if (team == getpid() || team == first->Pid() || team == second->Pid() ||
			    team == plain->Pid())
				ours.push_back(team);
		}
		EXPECT_EQ((std::vector<team_id>{getpid(), first->Pid(), second->Pid(), plain->Pid()}),
		          ours);

		BList same;
		be_roster->GetAppList(localeSignature.c_str(), &same);
		ASSERT_EQ(2, same.CountItems());
		EXPECT_EQ(first->Pid(), team_at(same, 0));
		EXPECT_EQ(second->Pid(), team_at(same, 1));
		EXPECT_EQ(first->Pid(), be_roster->TeamFor(localeSignature.c_str()));
		EXPECT_TRUE(be_roster->IsRunning(plainSignature.c_str()));
		EXPECT_FALSE(be_roster->IsRunning("application/x-vnd.test-nobody"));

		for (PeerProcess* peer : {first.get(), second.get()}) {
			app_info info;
			ASSERT_EQ(B_OK, be_roster->GetRunningAppInfo(peer->Pid(), &info));
			EXPECT_EQ(peer->Pid(), info.team);
			EXPECT_STREQ(localeSignature.c_str(), info.signature);
			EXPECT_EQ(real_path(peer_path("locale_peer")), ref_path(info.ref));
			EXPECT_GT(info.thread, 0);
		}
		app_info own;
		ASSERT_EQ(B_OK, be_roster->GetRunningAppInfo(getpid(), &own));
		EXPECT_STREQ(kBusTestSignature, own.signature);
		app_info bySignature;
		ASSERT_EQ(B_OK, be_roster->GetAppInfo(plainSignature.c_str(), &bySignature));
		EXPECT_EQ(plain->Pid(), bySignature.team);

		// The messenger to a shared signature goes to the first registered.
		status_t status;
		BMessenger messenger(localeSignature.c_str(), -1, &status);
		EXPECT_EQ(B_OK, status);
		EXPECT_EQ(first->Pid(), messenger.Team());
		EXPECT_FALSE(messenger.IsTargetLocal());
		BMessenger byTeam(nullptr, second->Pid(), &status);
		EXPECT_EQ(B_OK, status);
		EXPECT_TRUE(byTeam.IsValid());
		BMessenger mismatch(plainSignature.c_str(), second->Pid(), &status);
		EXPECT_EQ(B_MISMATCHED_VALUES, status);
		BMessenger nobody("application/x-vnd.test-nobody", -1, &status);
		EXPECT_NE(B_OK, status);
		EXPECT_FALSE(nobody.IsValid());
	});
}

TEST_F(BusTest, MessengerToAPeerThatQuitIsInvalid)
{
	Watchdog watchdog(60);
	RunWithPeer("plain_peer", {}, [&](PeerProcess& peer, BMessenger& messenger) {
		EXPECT_TRUE(messenger.IsValid());
		peer.Signal(SIGTERM);
		EXPECT_EQ(0, peer.WaitForExit(5000));
		EXPECT_FALSE(messenger.IsValid());
		BMessage reply;
		EXPECT_EQ(B_BAD_PORT_ID, messenger.SendMessage('ping', &reply));
		EXPECT_EQ((uint32)B_NO_REPLY, reply.what);
		app_info info;
		EXPECT_EQ(B_BAD_TEAM_ID, be_roster->GetRunningAppInfo(peer.Pid(), &info));
	});
}

TEST_F(BusTest, LaunchAndQuitNoticesReachTheWatcher)
{
	Watchdog watchdog(60);
	run_app(app.get(), [&] {
		RecordingLooper watcher;
		BMessenger target(watcher.handler);
		ASSERT_EQ(B_OK, be_roster->StartWatching(target));

		// Other programs may come and go meanwhile: look for our peers only.
		auto notice = [&](uint32 what, team_id team, BMessage* found, int timeoutMs) {
			return wait_until(
			    [&] {
				    for (int32 i = 0; i < watcher.handler->Count(); i++) {
					    BMessage message = watcher.handler->MessageAt(i);
					    if (message.what == what && message.GetInt32("be:team", -1) == team) {
						    *found = message;
						    return true;
					    }
				    }
				    return false;
			    },
			    timeoutMs);
		};

		auto peer =
		    std::make_unique<PeerProcess>(peer_path("plain_peer"), WithSignature("plain_peer", {}));
		team_id team = peer->Pid();
		BMessage launched;
		ASSERT_TRUE(notice(B_SOME_APP_LAUNCHED, team, &launched, 10000));
		EXPECT_STREQ(plainSignature.c_str(), launched.GetString("be:signature", ""));
		EXPECT_EQ((int32)B_MULTIPLE_LAUNCH, launched.GetInt32("be:flags", -1));
		EXPECT_GT(launched.GetInt32("be:thread", -1), 0);
		entry_ref ref;
		ASSERT_EQ(B_OK, launched.FindRef("be:ref", &ref));
		EXPECT_EQ(real_path(peer_path("plain_peer")), ref_path(ref));

		peer.reset(); // SIGTERM
		BMessage quit;
		ASSERT_TRUE(notice(B_SOME_APP_QUIT, team, &quit, 10000));
		EXPECT_STREQ(plainSignature.c_str(), quit.GetString("be:signature", ""));

		// Launches only: the quit of the next one is not reported.
		ASSERT_EQ(B_OK, be_roster->StartWatching(target, B_REQUEST_LAUNCHED));
		auto next = StartPeer("plain_peer");
		team_id nextTeam = next->Pid();
		ASSERT_TRUE(notice(B_SOME_APP_LAUNCHED, nextTeam, &launched, 10000));
		next.reset();
		EXPECT_FALSE(notice(B_SOME_APP_QUIT, nextTeam, &quit, 300));

		ASSERT_EQ(B_OK, be_roster->StopWatching(target));
		EXPECT_EQ(B_BAD_VALUE, be_roster->StopWatching(target));
		auto unseen = StartPeer("plain_peer");
		EXPECT_FALSE(notice(B_SOME_APP_LAUNCHED, unseen->Pid(), &launched, 300));
	});
}

TEST(RosterTest, LaunchOpensExistingDocumentsOnly)
{
	static std::string opened;
	opened.clear();
	BPrivate::set_document_opener([](const char* path) {
		opened = path;
		return (status_t)B_OK;
	});
	ScratchFolder dir;
	std::string file = dir / "help.html";
	ASSERT_TRUE(WriteFileBytes(file, ""));

	entry_ref missing(dir.Path().c_str(), "missing.html");
	team_id team = 42;
	EXPECT_EQ(B_ENTRY_NOT_FOUND, be_roster->Launch(&missing, nullptr, &team));
	EXPECT_EQ(-1, team);
	EXPECT_TRUE(opened.empty());

	entry_ref present(dir.Path().c_str(), "help.html");
	team = 42;
	EXPECT_EQ(B_OK, be_roster->Launch(&present, nullptr, &team));
	EXPECT_EQ(-1, team);
	EXPECT_EQ(file, opened);
	EXPECT_EQ(B_BAD_VALUE, be_roster->Launch(nullptr));
	BPrivate::set_document_opener(nullptr);
}

TEST_F(BusTest, AnApplicationIsOnTheBusBeforeItsReadyToRun)
{
	// What an application does in ReadyToRun (here: tell the test it is
	// ready) may make others ask it at once: by then it must answer.
	Watchdog watchdog(120);
	for (int round = 0; round < 8; round++) {
		ScratchFolder dir;
		const std::string ready = dir / "ready";
		PeerProcess peer(peer_path("plain_peer"),
		                 WithSignature("plain_peer", {"--ready-file=" + ready}));
		ASSERT_TRUE(peer.Started());
		ASSERT_TRUE(wait_until([&] { return !ReadFileBytes(ready).empty(); }, 10000));
		BMessenger byTeam(nullptr, peer.Pid());
		EXPECT_TRUE(byTeam.IsValid()) << "round " << round;
		app_info info;
		EXPECT_EQ(B_OK, be_roster->GetRunningAppInfo(peer.Pid(), &info)) << "round " << round;
	}
}

TEST(RosterTest, LaunchReportsADesktopOpenerThatFails)
{
	// Stand-ins for xdg-open: one finds no program for the file, as on a
	// system without a browser; one opens it.
	ScratchFolder dir;
	ASSERT_TRUE(WriteFileBytes(dir / "guide.html", ""));
	entry_ref guide(dir.Path().c_str(), "guide.html");
	for (int exitCode : {3, 0}) {
		SCOPED_TRACE(exitCode);
		std::string bin = dir.Path() + "/bin" + std::to_string(exitCode);
		ASSERT_EQ(0, mkdir(bin.c_str(), 0755));
		std::string opener = bin + "/xdg-open";
		ASSERT_TRUE(WriteFileBytes(opener, "#!/bin/sh\nexit " + std::to_string(exitCode) + "\n"));
		ASSERT_EQ(0, chmod(opener.c_str(), 0755));
		EnvironmentGuard path("PATH", bin + ":/usr/bin:/bin");
		team_id team = 42;
		status_t status = be_roster->Launch(&guide, nullptr, &team);
		EXPECT_EQ(-1, team);
		if (exitCode == 0)
			EXPECT_EQ(B_OK, status);
		else
			EXPECT_NE(B_OK, status);
	}
}

TEST_F(BusTest, ANameTakenByAnotherProcessNeverGetsTheTeamsMessages)
{
	Watchdog watchdog(60);
	run_app(app.get(), [&] {
		ScratchFolder scratch;
		// The peer joins the bus late, so its name can be taken first, as a
		// squatter on the names of future process ids would.
		PeerProcess peer(peer_path("plain_peer"),
		                 WithSignature("plain_peer", {"--start-delay-ms=1500"}));
		ASSERT_TRUE(peer.Started());
		PeerProcess squatter(peer_path("name_squatter"),
		                     {"--name=org.vessmor.Team" + std::to_string(peer.Pid()),
		                      "--ready-file=" + (scratch / "squat")});
		ASSERT_TRUE(wait_until([&] { return ReadFileBytes(scratch / "squat").size() > 0; }));
		ASSERT_TRUE(wait_for_team(peer.Pid())) << "the roster finds it under its other name";

		status_t status;
		BMessenger byTeam(nullptr, peer.Pid(), &status);
		ASSERT_EQ(B_OK, status);
		BMessage reply;
		// The squatter answers nothing: a request sent to it would time out.
		ASSERT_EQ(B_OK, ask_property(byTeam, "Name", &reply, 3000000));
		EXPECT_STREQ("plain_peer", reply.GetString("result", ""));
		BMessenger bySignature(plainSignature.c_str(), -1, &status);
		ASSERT_EQ(B_OK, status);
		EXPECT_EQ(peer.Pid(), bySignature.Team());

		// A live process that never joined, its name held by another: refused
		// at once, nothing sent to the holder, and no application listed.
		PeerProcess quiet(peer_path("name_squatter"), {"--lifetime-ms=30000"});
		PeerProcess impostor(peer_path("name_squatter"),
		                     {"--name=org.vessmor.Team" + std::to_string(quiet.Pid()),
		                      "--ready-file=" + (scratch / "impostor")});
		ASSERT_TRUE(wait_until([&] { return ReadFileBytes(scratch / "impostor").size() > 0; }));
		const bigtime_t start = system_time();
		EXPECT_EQ(B_PERMISSION_DENIED,
		          BMessenger::FromAddress({quiet.Pid(), -1, -1}).SendMessage('ping', &reply));
		EXPECT_LT(system_time() - start, 2000000) << "refused, not waited for";
		app_info info;
		EXPECT_EQ(B_BAD_TEAM_ID, be_roster->GetRunningAppInfo(quiet.Pid(), &info));
	});
}
