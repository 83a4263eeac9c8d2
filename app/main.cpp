#include "LocaleEditorApplication.h"

int main()
{
	// Files given at launch reach the application as B_REFS_RECEIVED.
	LocaleEditorApplication app;
	app.Run();
	return 0;
}
