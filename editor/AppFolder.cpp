#include "AppFolder.h"

#include <Application.h>
#include <Entry.h>
#include <Path.h>
#include <Roster.h>

const char* const kLocaleFolderName = "locale";

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
