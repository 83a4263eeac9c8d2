#include "AppFolder.h"

#include <Application.h>
#include <Directory.h>
#include <Entry.h>
#include <Path.h>
#include <Roster.h>

#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

const char* const kLocaleFolderName = "locale";
const char* const kUserFolderName = "korvane-localeeditor";
const char* const kInstalledMarkerName = "installed";

namespace {

// $variable, or fallback under the home folder when it is unset or not
// absolute (as the XDG base directory rules say).
std::string XdgFolder(const char* variable, const char* fallback)
{
	const char* value = getenv(variable);
	if (value != nullptr && value[0] == '/')
		return value;
	const char* home = getenv("HOME");
	return std::string(home != nullptr ? home : "") + "/" + fallback;
}

// Asked for the effective user, the one whose files the program makes.
bool CanWrite(const BPath& folder)
{
	return folder.Path() != nullptr && faccessat(AT_FDCWD, folder.Path(), W_OK, AT_EACCESS) == 0;
}

// Whether the user's files may live beside the program. Writability alone
// does not say: root can write an installed copy's folder, and what it left
// there would outlive the package and reach every other user.
bool KeepsUserFiles(const BPath& appFolder)
{
	return !IsInstalledAppFolder(appFolder) && CanWrite(appFolder);
}

// base/korvane-localeeditor[/leaf], made with its parents when missing.
status_t MakeUserFolder(const std::string& base, const char* leaf, BPath* folder)
{
	std::string path = base + "/" + kUserFolderName;
	if (leaf != nullptr)
		path += std::string("/") + leaf;
	status_t status = create_directory(path.c_str(), 0755);
	if (status != B_OK && status != B_FILE_EXISTS)
		return status;
	return folder->SetTo(path.c_str());
}

} // namespace

status_t GetAppFolder(const BApplication* app, BPath* folder)
{
	if (app == nullptr)
		return B_NO_INIT;
	app_info info;
	status_t status = app->GetAppInfo(&info);
	if (status != B_OK)
		return status;
	BEntry entry(&info.ref);
	BPath file;
	status = entry.GetPath(&file);
	if (status != B_OK)
		return status;
	return file.GetParent(folder);
}

status_t GetLocaleFolder(const BApplication* app, BPath* folder)
{
	status_t status = GetAppFolder(app, folder);
	if (status != B_OK)
		return status;
	return folder->Append(kLocaleFolderName);
}

bool IsInstalledAppFolder(const BPath& appFolder)
{
	if (appFolder.Path() == nullptr)
		return false;
	BPath marker(appFolder.Path(), kInstalledMarkerName);
	BEntry entry(marker.Path());
	return entry.Exists();
}

status_t GetSettingsFolder(const BPath& appFolder, BPath* folder)
{
	if (KeepsUserFiles(appFolder))
		return folder->SetTo(appFolder.Path());
	return MakeUserFolder(XdgFolder("XDG_CONFIG_HOME", ".config"), nullptr, folder);
}

status_t GetUserLocaleFolder(const BPath& appFolder, BPath* folder)
{
	if (KeepsUserFiles(appFolder))
		return B_ENTRY_NOT_FOUND;
	return MakeUserFolder(XdgFolder("XDG_DATA_HOME", ".local/share"), kLocaleFolderName, folder);
}

status_t GetUserLocaleFolder(const BApplication* app, BPath* folder)
{
	BPath appFolder;
	status_t status = GetAppFolder(app, &appFolder);
	if (status != B_OK)
		return status;
	return GetUserLocaleFolder(appFolder, folder);
}

status_t GetStateFolder(BPath* folder)
{
	const std::string path = XdgFolder("XDG_STATE_HOME", ".local/state") + "/" + kUserFolderName;
	return folder->SetTo(path.c_str());
}
