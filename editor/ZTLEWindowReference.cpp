// The editor window's reference members: fetching a reference from a running
// application or a file, showing it, and the pop-up of locale applications.
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

void ZTLEWindow::ReferenceLoadSig(const char* signature)
{
	// Whatever goes unanswered is left out; the display still runs, so a
	// vanished application blanks the reference fields.
	BMessage reference;
	SuiteClient().FetchReference(signature, &reference);
	ReferenceSet(&reference);
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
