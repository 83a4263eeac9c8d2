#ifndef APP_FOLDER_H
#define APP_FOLDER_H

// Where the editor's files live: the folder of the running executable, which
// holds the preferences, the user guide and the interface translations in
// its locale folder.

#include <SupportDefs.h>

class BApplication;
class BPath;

extern const char* const kLocaleFolderName; // "locale"

// The folder of app's executable; B_NO_INIT when app is null.
status_t GetAppFolder(const BApplication* app, BPath* folder);

// The locale folder inside that folder.
status_t GetLocaleFolder(const BApplication* app, BPath* folder);

#endif // APP_FOLDER_H
