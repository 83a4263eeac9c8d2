#include "RecentFiles.h"

#include <algorithm>

#include "Message.h"

#include "EditorMessages.h"
#include "Preferences.h"

namespace {

const char* const kFieldPath = "path";

} // namespace

RecentFiles::RecentFiles(Preferences* prefs) : mPrefs(prefs) {}

std::vector<std::string> RecentFiles::Paths() const
{
	std::vector<std::string> paths;
	if (mPrefs == nullptr)
		return paths;
	BMessage stored = mPrefs->GetMessageData(kPrefRecentFiles);
	const char* path = nullptr;
	for (int32 i = 0; paths.size() < kMaxCount && stored.FindString(kFieldPath, i, &path) == B_OK;
	     i++) {
		// A hand-edited settings file may hold empty or repeated paths.
		if (path != nullptr && path[0] != '\0' &&
		    std::find(paths.begin(), paths.end(), path) == paths.end())
			paths.emplace_back(path);
	}
	return paths;
}

void RecentFiles::Add(const std::string& path)
{
	if (mPrefs == nullptr || path.empty())
		return;
	std::vector<std::string> paths = Paths();
	paths.erase(std::remove(paths.begin(), paths.end(), path), paths.end());
	paths.insert(paths.begin(), path);
	if (paths.size() > kMaxCount)
		paths.resize(kMaxCount);
	BMessage stored;
	for (const std::string& each : paths)
		stored.AddString(kFieldPath, each.c_str());
	mPrefs->Set(kPrefRecentFiles, &stored);
}
