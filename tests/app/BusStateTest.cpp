// What the process keeps of the bus, without a bus: names that change while
// a listing is under way, the app_info kept for present teams only, and
// launch notices that must not outlive a quit.
#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "BusState.h"

using BPrivate::app_record;
using BPrivate::BusState;

namespace {

app_record record_of(team_id team, const char* signature)
{
	app_record record;
	record.team = team;
	record.signature = signature;
	return record;
}

// Records what the watcher is told.
struct Notices
{
	std::vector<std::pair<bool, team_id>> seen;
	BusState::Watcher Watcher()
	{
		return [this](bool launched, const app_record& record) {
			seen.emplace_back(launched, record.team);
		};
	}
};

} // namespace

TEST(BusStateTest, NamesThatChangeDuringAListingAreReplayedOnTopOfIt)
{
	BusState state;
	std::set<team_id> teams;
	EXPECT_FALSE(state.Teams(&teams)) << "nothing is known before the first listing";

	size_t mark = state.BeginListing();
	// The bus answered with 10 and 11, but meanwhile 11 quit and 12 came.
	state.NoteName(11, false);
	state.NoteName(12, true);
	std::set<team_id> listing{10, 11};
	state.EndListing(mark, &listing);
	EXPECT_EQ((std::set<team_id>{10, 12}), listing);
	ASSERT_TRUE(state.Teams(&teams));
	EXPECT_EQ((std::set<team_id>{10, 12}), teams);

	// From then on the signal alone keeps it current.
	state.NoteName(10, false);
	state.NoteName(13, true);
	ASSERT_TRUE(state.Teams(&teams));
	EXPECT_EQ((std::set<team_id>{12, 13}), teams);

	// Changes seen before a listing began are older than it: not replayed.
	mark = state.BeginListing();
	listing = {12, 13, 14};
	state.EndListing(mark, &listing);
	ASSERT_TRUE(state.Teams(&teams));
	EXPECT_EQ((std::set<team_id>{12, 13, 14}), teams);
}

TEST(BusStateTest, AFailedListingKeepsWhatWasKnown)
{
	BusState state;
	size_t mark = state.BeginListing();
	state.EndListing(mark, nullptr);
	std::set<team_id> teams;
	EXPECT_FALSE(state.Teams(&teams));

	std::set<team_id> listing{5};
	state.EndListing(state.BeginListing(), &listing);
	mark = state.BeginListing();
	state.NoteName(6, true);
	state.EndListing(mark, nullptr);
	ASSERT_TRUE(state.Teams(&teams));
	EXPECT_EQ((std::set<team_id>{5, 6}), teams);
}

TEST(BusStateTest, KeptRecordsFollowThePresentTeams)
{
	BusState state;
	state.Remember(record_of(1, "application/x-one"));
	state.Remember(record_of(2, "application/x-two"));
	EXPECT_EQ((std::vector<team_id>{3}), state.KeepOnly({2, 3}));
	app_record record;
	EXPECT_FALSE(state.Cached(1, &record)) << "a team that is gone is forgotten";
	ASSERT_TRUE(state.Cached(2, &record));
	EXPECT_EQ("application/x-two", record.signature);
	std::vector<app_record> records = state.Records({2, 3});
	ASSERT_EQ(1u, records.size());
	EXPECT_EQ(2, records[0].team);
}

TEST(BusStateTest, ALaunchIsAnnouncedOnlyWhileItsTeamIsStillThere)
{
	BusState state;
	Notices notices;
	state.SetWatcher(notices.Watcher());

	state.LaunchSeen(7);
	BusState::Watcher watcher = state.LaunchConfirmed(record_of(7, "application/x-seven"));
	ASSERT_TRUE(watcher);
	app_record record;
	ASSERT_TRUE(state.Cached(7, &record));
	watcher(true, record);

	// Team 8 quits while its app_info is being asked for: no launch notice
	// may follow the quit notice, and nothing of it is kept.
	state.LaunchSeen(8);
	BusState::Watcher quitWatcher = state.Quit(8, &record);
	ASSERT_TRUE(quitWatcher);
	quitWatcher(false, record);
	EXPECT_EQ(8, record.team);
	EXPECT_TRUE(record.signature.empty());
	EXPECT_FALSE(state.LaunchConfirmed(record_of(8, "application/x-eight")));
	EXPECT_FALSE(state.Cached(8, &record));

	// A quit hands over what was known of the team.
	state.Quit(7, &record);
	EXPECT_EQ("application/x-seven", record.signature);
	EXPECT_FALSE(state.Cached(7, &record));

	state.LaunchSeen(9);
	state.LaunchFailed(9);
	EXPECT_FALSE(state.LaunchConfirmed(record_of(9, "application/x-nine")));
	EXPECT_EQ((std::vector<std::pair<bool, team_id>>{{true, 7}, {false, 8}}), notices.seen);
}

TEST(BusStateTest, APeerWithoutRequestsIsForgivenOnceItsNameGoes)
{
	BusState state;
	EXPECT_TRUE(state.UnderstandsRequests(4));
	state.NoteSingleRequestsOnly(4);
	EXPECT_FALSE(state.UnderstandsRequests(4));
	// The team id may come back as another program.
	state.NoteName(4, false);
	EXPECT_TRUE(state.UnderstandsRequests(4));
}
