#ifndef APP_FOLDER_H
#define APP_FOLDER_H

// Where the editor's files live: the folder of the running executable, which
// holds the preferences, the user guide and the interface translations in
// its locale folder. An installed copy's folder belongs to the package or the
// administrator and is shared by every user: the preferences and the user's
// own interface translations then live in the user's XDG folders instead,
// whoever runs it, root included. So does a folder its user cannot write.

#include <SupportDefs.h>

class BApplication;
class BPath;

extern const char* const kLocaleFolderName; // "locale"
// The editor's folder name under the user's XDG folders.
extern const char* const kUserFolderName; // "korvane-localeeditor"
// The file the install puts in the application folder to mark it installed.
extern const char* const kInstalledMarkerName; // "installed"

// The folder of app's executable; B_NO_INIT when app is null.
status_t GetAppFolder(const BApplication* app, BPath* folder);

// The locale folder inside that folder.
status_t GetLocaleFolder(const BApplication* app, BPath* folder);

// True when appFolder holds the install's marker file.
bool IsInstalledAppFolder(const BPath& appFolder);

// Where the preferences file lives: appFolder when it is no installed copy
// and files can be made there, else $XDG_CONFIG_HOME/korvane-localeeditor
// (made when missing).
status_t GetSettingsFolder(const BPath& appFolder, BPath* folder);

// The user's own interface translations, $XDG_DATA_HOME/korvane-localeeditor/
// locale (made when missing), when the preferences go there too;
// B_ENTRY_NOT_FOUND otherwise (everything then lies in appFolder).
status_t GetUserLocaleFolder(const BPath& appFolder, BPath* folder);
status_t GetUserLocaleFolder(const BApplication* app, BPath* folder);

// Where the journal of unsaved work lives: $XDG_STATE_HOME/korvane-localeeditor
// (by default ~/.local/state/...), whatever the application folder; the
// journal makes it when it first needs it.
status_t GetStateFolder(BPath* folder);

#endif // APP_FOLDER_H
