#include "LocaleEditorApplication.h"

int main()
{
	// Files given at launch reach the application as B_REFS_RECEIVED.
	LocaleEditorApplication* app = new LocaleEditorApplication;
	app->Run();
	delete app;
	return 0;
}
