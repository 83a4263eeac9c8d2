// What this process knows of the session bus: whether it is registered
// there, which teams have a name on it, their app_info, the launches being
// looked into and who is told of launches and quits. One per process; any
// thread. It only keeps and answers, it never asks the bus itself.
#ifndef BUS_STATE_H
#define BUS_STATE_H

#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "AppRecord.h"

namespace BPrivate {

class BusState
{
public:
	using Watcher = std::function<void(bool launched, const app_record&)>;

	BusState() = default;
	BusState(const BusState&) = delete;
	BusState& operator=(const BusState&) = delete;

	// The process's state; it lives as long as the process, since the bus
	// thread may still use it while static objects are torn down.
	static BusState& Default();

	// Returns what it was before.
	bool SetRegistered(bool registered);
	bool IsRegistered();

	// A name came or went: from the bus's signal, or learnt from a call
	// that found nobody.
	void NoteName(team_id team, bool present);
	// The teams with a name, once a listing came in; false before.
	bool Teams(std::set<team_id>* teams);
	// What is known of the teams may be out of date (the signal was missed):
	// Teams is false again until the next listing.
	void Unlist();
	// A listing of the bus: begin it before asking, end it with what the
	// bus said (nullptr when it did not answer). A change noted meanwhile
	// may be newer than the listing, so it is replayed on top; the result
	// becomes the known set and is left in listing.
	size_t BeginListing();
	void EndListing(size_t mark, std::set<team_id>* listing);

	// app_info of other teams, as far as fetched.
	void Remember(const app_record& record);
	bool Cached(team_id team, app_record* record);
	// Forgets the teams not present; returns the present ones not cached.
	std::vector<team_id> KeepOnly(const std::set<team_id>& present);
	// The cached records of these teams, in their order.
	std::vector<app_record> Records(const std::set<team_id>& present);

	// The unique bus name of the connection found to be the team's own
	// process (find_team_owner); forgotten when a name of the team changes
	// hands or a call finds nobody.
	bool Owner(team_id team, std::string* owner);
	void NoteOwner(team_id team, const std::string& owner);

	// A test that answers for a made-up team from a bus connection of its
	// own vouches for it, so that the team's name counts as the team's
	// although no process has that id. Nothing but tests calls this.
	void VouchForTesting(team_id team, bool vouch);
	bool VouchedForTesting(team_id team);

	// Teams whose program does not know Requests: asked one at a time.
	bool UnderstandsRequests(team_id team);
	void NoteSingleRequestsOnly(team_id team);

	void SetWatcher(Watcher watcher);
	// A new name: its app_info is being asked for. Confirmed returns the
	// watcher to tell (empty when none, or when the team quit meanwhile);
	// Failed drops the launch unannounced.
	void LaunchSeen(team_id team);
	Watcher LaunchConfirmed(const app_record& record);
	void LaunchFailed(team_id team);
	// A name went: the team's last record (its team only when none was
	// known) and the watcher to tell.
	Watcher Quit(team_id team, app_record* record);

private:
	std::mutex mLock;
	bool mRegistered = false;
	std::map<team_id, app_record> mCache;
	bool mListed = false;
	std::set<team_id> mTeams;
	int mListingsUnderWay = 0;
	std::vector<std::pair<team_id, bool>> mNameLog;
	std::set<team_id> mSingleRequestsOnly;
	std::map<team_id, std::string> mOwners;
	std::set<team_id> mVouched;
	std::set<team_id> mPendingLaunches;
	Watcher mWatcher;
};

} // namespace BPrivate

#endif // BUS_STATE_H
