// The editor window's reference members: fetching a reference from a running
// application (on a fetcher of its own) or a file, showing it, and the
// pop-up of locale applications.
// The protocol and the text work live in the reference library; these only
// tie them to this window.

#include "ZTLEWindow.h"

#include <Application.h>
#include <File.h>
#include <Message.h>
#include <OS.h>
#include <PopUpMenu.h>

#include "AppRefPopUp.h"
#include "LocaleFile.h"
#include "LocaleSuiteClient.h"
#include "ReferenceDisplay.h"
#include "ReferenceFetcher.h"
#include "TextFormat.h"
#include "ZTLEStatusView.h"
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
	if (mStatusView != nullptr) {
		mStatusView->SetActivity(FillPlaceholders(_Text(kTextAskingApplication), "%s",
		                                          {name != nullptr ? name : signature}));
	}
}

void ZTLEWindow::ReferenceFetched(BMessage* message)
{
	// An answer of a fetch that was cancelled or replaced may still have
	// been queued before its fetcher stopped.
	if (mFetcher == nullptr || message->GetInt32(kFieldFetch, 0) != mFetchNumber)
		return;
	_StopFetch();
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
	if (mStatusView != nullptr)
		mStatusView->SetActivity("");
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

void ZTLEWindow::UpdateAppRefPopUp(BPopUpMenu* menu)
{
	FillAppRefMenu(menu, SuiteClient());
}

ZTBitmapMenuItem* ZTLEWindow::CreateBitmapItem(team_id team)
{
	return CreateAppRefItem(team);
}
