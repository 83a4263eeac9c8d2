#include "TargetFinder.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include <List.h>
#include <Roster.h>

namespace {

bool read_team(const std::string& text, team_id* team)
{
	if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos ||
	    text.size() > 10)
		return false;
	long long number = atoll(text.c_str());
	if (number <= 0 || number > INT32_MAX)
		return false;
	*team = (team_id)number;
	return true;
}

} // namespace

BMessenger FindTarget(const std::string& app)
{
	team_id team;
	if (read_team(app, &team)) {
		// Straight to the team's bus name: one question fewer than asking
		// the roster what it is, and a broken peer can still be looked at.
		BMessenger messenger = BMessenger::FromAddress({team, -1, -1});
		return messenger.IsValid() ? messenger : BMessenger();
	}
	if (app.find('/') != std::string::npos)
		return BMessenger(app.c_str());

	BRoster roster;
	BList teams;
	roster.GetAppList(&teams);
	for (int32 i = 0; i < teams.CountItems(); i++) {
		team_id candidate = (team_id)(addr_t)teams.ItemAt(i);
		app_info info;
		if (roster.GetRunningAppInfo(candidate, &info) != B_OK)
			continue;
		if (info.ref.name != nullptr && strcmp(info.ref.name, app.c_str()) == 0)
			return BMessenger(nullptr, candidate);
	}
	return BMessenger();
}
