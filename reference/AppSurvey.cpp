#include "AppSurvey.h"

#include <algorithm>

#include "AppRefPopUp.h"

const char* const kFieldSurvey = "survey";
const char* const kFieldTeam = "team";
const char* const kFieldRebuild = "rebuild";

namespace {

const char* const kFieldLaunched = "launched";

} // namespace

AppSurvey::AppSurvey(const LocaleSuiteClient& client, const BMessenger& window)
    : AskingLooper("application survey", client, window)
{
}

status_t AppSurvey::Start(int32 survey, bool rebuild, const std::vector<team_id>& launched)
{
	BMessage request;
	request.AddInt32(kFieldSurvey, survey);
	request.AddBool(kFieldRebuild, rebuild);
	for (team_id team : launched)
		request.AddInt32(kFieldLaunched, team);
	return StartWith(&request);
}

void AppSurvey::Ask(BMessage* message)
{
	const std::vector<team_id> teams = LocaleAppTeams(Client());
	bool rebuild = message->GetBool(kFieldRebuild, false);
	int32 launched = -1;
	for (int32 i = 0; !rebuild && message->FindInt32(kFieldLaunched, i, &launched) == B_OK; i++)
		rebuild = std::find(teams.begin(), teams.end(), launched) != teams.end();
	BMessage report(kMsgAppsSurveyed);
	report.AddInt32(kFieldSurvey, message->GetInt32(kFieldSurvey, 0));
	for (team_id team : teams)
		report.AddInt32(kFieldTeam, team);
	report.AddBool(kFieldRebuild, rebuild);
	Report(&report);
}
