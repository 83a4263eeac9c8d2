// The editor's start-up as the start-up benchmark times it: the real
// application object (texts, locale folder, preferences, language, window
// shown), then straight out again once the message loop runs.
#include <AppDefs.h>

#include "LocaleEditorApplication.h"
#include "StartupClock.h"

int main()
{
	MarkMainEntered();
	LocaleEditorApplication* app = new LocaleEditorApplication;
	ReportShown();
	app->PostMessage(B_QUIT_REQUESTED);
	app->Run();
	delete app;
	return 0;
}
