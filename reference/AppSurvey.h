#ifndef APP_SURVEY_H
#define APP_SURVEY_H

// Finds the running applications that answer the locale suite off the
// window's thread (LocaleAppTeams, asking each with the client's time-out)
// and sends their teams to the window, so that an application that is slow
// to answer, or never does, holds up neither the window's start nor its
// menus. One survey per question, stopped as every AskingLooper is.

#include <vector>

#include "AskingLooper.h"

// To the window: "survey" (int32, as given to Start), "team" (int32 each,
// in the roster's order) and "rebuild" (bool: the pop-up is to be filled
// anew, because the request asked for it or one of the launched teams it
// named is among the teams).
const uint32 kMsgAppsSurveyed = 'rfsv';
extern const char* const kFieldSurvey;  // "survey"
extern const char* const kFieldTeam;    // "team"
extern const char* const kFieldRebuild; // "rebuild"

class AppSurvey : public AskingLooper
{
public:
	AppSurvey(const LocaleSuiteClient& client, const BMessenger& window);

	// Starts the looper and the survey. With rebuild the report always asks
	// for a new pop-up; otherwise only when one of launched answers the
	// suite.
	status_t Start(int32 survey, bool rebuild, const std::vector<team_id>& launched);

private:
	void Ask(BMessage* message) override;
};

#endif // APP_SURVEY_H
