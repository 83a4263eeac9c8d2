// The editor window's reference members: fetching a reference from a running
// application (on a fetcher of its own) or a file, showing it, and the
// pop-up of locale applications (filled from a survey of its own).
// The protocol and the text work live in the reference library; these only
// tie them to this window.

#include "ZTLEWindow.h"

#include <Application.h>
#include <File.h>
#include <MenuField.h>
#include <Message.h>
#include <OS.h>
#include <PopUpMenu.h>

#include "AppRefPopUp.h"
#include "AppSurvey.h"
#include "EditorMessages.h"
#include "LocaleFile.h"
#include "LocaleSuiteClient.h"
#include "ReferenceDisplay.h"
#include "ReferenceFetcher.h"
#include "StatusLine.h"
#include "TextFormat.h"
#include "ZTLETextView.h"

namespace {

// The editor's own team is a locale application without asking: it could
// not answer itself from the window's thread before the request timed out
// if the application thread were busy, and it always speaks the suite.
LocaleSuiteClient SuiteClient()
{
	return LocaleSuiteClient(be_app != nullptr ? be_app->Team() : current_team());
}

} // namespace

void ZTLEWindow::ReferenceLoadSig(const char* signature, const char* name)
{
	// The newer pick wins: the older one's answer is never applied.
	_StopFetch();
	mFetchNumber++;
	// Without a signature there is nothing to wait for: the display runs on
	// an empty reference and blanks the fields.
	if (signature == nullptr) {
		BMessage reference;
		ReferenceSet(&reference);
		return;
	}
	// The asking happens on the fetcher's thread, so a slow or hung
	// application leaves this window's commands live; the answer comes back
	// as kMsgReferenceFetched and is shown then, as it was when the window
	// asked itself.
	mFetcher = new ReferenceFetcher(SuiteClient(), BMessenger(this));
	mFetcher->Start(signature, mFetchNumber);
	mFetchName = name != nullptr ? name : signature;
	mStatusLine->ActivityStarted(
	    FillPlaceholders(_Text(kTextAskingApplication), "%s", {mFetchName}));
}

void ZTLEWindow::ReferenceFetched(BMessage* message)
{
	// An answer of a fetch that was cancelled or replaced may still have
	// been queued before its fetcher stopped.
	if (mFetcher == nullptr || message->GetInt32(kFieldFetch, 0) != mFetchNumber)
		return;
	_StopFetch();
	// Half an answer (or none) would overwrite the application id the
	// translator typed or loaded, and the next save would write it: the
	// fields stay as they were and the status line says why.
	if (message->GetInt32(kFieldFetchStatus, B_ERROR) != B_OK) {
		mStatusLine->ShowMessage(FillPlaceholders(_Text(kTextNoAnswer), "%s", {mFetchName}));
		return;
	}
	BMessage reference;
	message->FindMessage(kFieldReference, &reference);
	ReferenceSet(&reference);
}

void ZTLEWindow::ReferenceCancel()
{
	_StopFetch();
}

void ZTLEWindow::_StopFetch()
{
	if (mFetcher == nullptr)
		return;
	// Stop returns once the fetcher's thread has ended, at once even while
	// it waits for an application.
	mFetcher->Stop();
	mFetcher = nullptr;
	mStatusLine->ActivityEnded();
}

bool ZTLEWindow::IsZTLocaleApp(team_id team)
{
	return SuiteClient().IsLocaleApp(team);
}

void ZTLEWindow::ReferenceLoadFile(BFile* file)
{
	// A file that is no locale file leaves the message empty.
	BMessage reference;
	if (file != nullptr)
		LocaleFile::Read(file, &reference);
	ReferenceSet(&reference);
}

void ZTLEWindow::ReferenceSet(BMessage* reference)
{
	ShowReference(this, mTextView, reference);
}

BPopUpMenu* ZTLEWindow::CreateAppRefPopUp()
{
	return CreateAppRefMenu(SuiteClient());
}

void ZTLEWindow::_SurveyApps(bool rebuild, team_id launched)
{
	// What the replaced survey waited for is this one's to answer.
	_StopSurvey();
	mSurveyNumber++;
	mSurveyRebuilds = mSurveyRebuilds || rebuild;
	if (launched >= 0)
		mSurveyLaunches.push_back(launched);
	mSurvey = new AppSurvey(SuiteClient(), BMessenger(this));
	mSurvey->Start(mSurveyNumber, mSurveyRebuilds, mSurveyLaunches);
}

void ZTLEWindow::AppsSurveyed(BMessage* message)
{
	// The answer of a replaced survey may have been queued before it
	// stopped.
	if (mSurvey == nullptr || message->GetInt32(kFieldSurvey, 0) != mSurveyNumber)
		return;
	_StopSurvey();
	mSurveyRebuilds = false;
	mSurveyLaunches.clear();
	if (!message->GetBool(kFieldRebuild, false))
		return;
	std::vector<team_id> teams;
	int32 team = -1;
	for (int32 i = 0; message->FindInt32(kFieldTeam, i, &team) == B_OK; i++)
		teams.push_back(team);
	BMenuField* field = dynamic_cast<BMenuField*>(FindView(kAppRefMenuField));
	if (BPopUpMenu* menu = field != nullptr ? dynamic_cast<BPopUpMenu*>(field->Menu()) : nullptr)
		FillAppRefMenu(menu, teams);
}

void ZTLEWindow::_StopSurvey()
{
	if (mSurvey == nullptr)
		return;
	mSurvey->Stop();
	mSurvey = nullptr;
}

void ZTLEWindow::UpdateAppRefPopUp(BPopUpMenu* menu)
{
	FillAppRefMenu(menu, SuiteClient());
}

ZTBitmapMenuItem* ZTLEWindow::CreateBitmapItem(team_id team)
{
	return CreateAppRefItem(team);
}
