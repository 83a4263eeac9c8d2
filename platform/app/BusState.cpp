#include "BusState.h"

namespace BPrivate {

namespace {

void apply_name(std::set<team_id>* teams, team_id team, bool present)
{
	if (present)
		teams->insert(team);
	else
		teams->erase(team);
}

} // namespace

BusState& BusState::Default()
{
	static BusState* state = new BusState;
	return *state;
}

bool BusState::SetRegistered(bool registered)
{
	std::lock_guard<std::mutex> guard(mLock);
	bool was = mRegistered;
	mRegistered = registered;
	return was;
}

bool BusState::IsRegistered()
{
	std::lock_guard<std::mutex> guard(mLock);
	return mRegistered;
}

void BusState::NoteName(team_id team, bool present)
{
	std::lock_guard<std::mutex> guard(mLock);
	mOwners.erase(team);
	if (!present)
		mSingleRequestsOnly.erase(team);
	if (mListed)
		apply_name(&mTeams, team, present);
	if (mListingsUnderWay > 0)
		mNameLog.emplace_back(team, present);
}

bool BusState::Teams(std::set<team_id>* teams)
{
	std::lock_guard<std::mutex> guard(mLock);
	if (!mListed)
		return false;
	*teams = mTeams;
	return true;
}

void BusState::Unlist()
{
	std::lock_guard<std::mutex> guard(mLock);
	mListed = false;
	mOwners.clear();
}

size_t BusState::BeginListing()
{
	std::lock_guard<std::mutex> guard(mLock);
	mListingsUnderWay++;
	return mNameLog.size();
}

void BusState::EndListing(size_t mark, std::set<team_id>* listing)
{
	std::lock_guard<std::mutex> guard(mLock);
	mListingsUnderWay--;
	if (listing != nullptr) {
		for (size_t i = mark; i < mNameLog.size(); i++)
			apply_name(listing, mNameLog[i].first, mNameLog[i].second);
		mTeams = *listing;
		mListed = true;
	}
	if (mListingsUnderWay == 0)
		mNameLog.clear();
}

void BusState::Remember(const app_record& record)
{
	std::lock_guard<std::mutex> guard(mLock);
	mCache[record.team] = record;
}

bool BusState::Cached(team_id team, app_record* record)
{
	std::lock_guard<std::mutex> guard(mLock);
	auto found = mCache.find(team);
	if (found == mCache.end())
		return false;
	*record = found->second;
	return true;
}

std::vector<team_id> BusState::KeepOnly(const std::set<team_id>& present)
{
	std::lock_guard<std::mutex> guard(mLock);
	for (auto it = mCache.begin(); it != mCache.end();) {
		if (present.count(it->first) == 0)
			it = mCache.erase(it);
		else
			++it;
	}
	std::vector<team_id> missing;
	for (team_id team : present) {
		if (mCache.count(team) == 0)
			missing.push_back(team);
	}
	return missing;
}

std::vector<app_record> BusState::Records(const std::set<team_id>& present)
{
	std::lock_guard<std::mutex> guard(mLock);
	std::vector<app_record> records;
	for (team_id team : present) {
		auto found = mCache.find(team);
		if (found != mCache.end())
			records.push_back(found->second);
	}
	return records;
}

bool BusState::Owner(team_id team, std::string* owner)
{
	std::lock_guard<std::mutex> guard(mLock);
	auto found = mOwners.find(team);
	if (found == mOwners.end())
		return false;
	*owner = found->second;
	return true;
}

void BusState::NoteOwner(team_id team, const std::string& owner)
{
	std::lock_guard<std::mutex> guard(mLock);
	mOwners[team] = owner;
}

void BusState::VouchForTesting(team_id team, bool vouch)
{
	std::lock_guard<std::mutex> guard(mLock);
	if (vouch)
		mVouched.insert(team);
	else
		mVouched.erase(team);
}

bool BusState::VouchedForTesting(team_id team)
{
	std::lock_guard<std::mutex> guard(mLock);
	return mVouched.count(team) != 0;
}

bool BusState::UnderstandsRequests(team_id team)
{
	std::lock_guard<std::mutex> guard(mLock);
	return mSingleRequestsOnly.count(team) == 0;
}

void BusState::NoteSingleRequestsOnly(team_id team)
{
	std::lock_guard<std::mutex> guard(mLock);
	mSingleRequestsOnly.insert(team);
}

void BusState::SetWatcher(Watcher watcher)
{
	std::lock_guard<std::mutex> guard(mLock);
	mWatcher = std::move(watcher);
}

void BusState::LaunchSeen(team_id team)
{
	std::lock_guard<std::mutex> guard(mLock);
	mPendingLaunches.insert(team);
}

BusState::Watcher BusState::LaunchConfirmed(const app_record& record)
{
	std::lock_guard<std::mutex> guard(mLock);
	// Quit meanwhile: announcing it now would outlive its quit notice.
	if (mPendingLaunches.erase(record.team) == 0)
		return Watcher();
	mCache[record.team] = record;
	return mWatcher;
}

void BusState::LaunchFailed(team_id team)
{
	std::lock_guard<std::mutex> guard(mLock);
	mPendingLaunches.erase(team);
}

BusState::Watcher BusState::Quit(team_id team, app_record* record)
{
	std::lock_guard<std::mutex> guard(mLock);
	mPendingLaunches.erase(team);
	*record = app_record();
	record->team = team;
	auto found = mCache.find(team);
	if (found != mCache.end()) {
		*record = found->second;
		mCache.erase(found);
	}
	return mWatcher;
}

} // namespace BPrivate
