#ifndef RECENT_FILES_H
#define RECENT_FILES_H

#include <string>
#include <vector>

class Preferences;

// The locale files last opened or saved, newest first, kept in the
// preferences (kPrefRecentFiles) so File > Open Recent lists them after a
// restart too.
class RecentFiles
{
public:
	static const size_t kMaxCount = 8;

	explicit RecentFiles(Preferences* prefs);

	std::vector<std::string> Paths() const;
	// Puts path first; an older mention of it goes, and the oldest beyond
	// kMaxCount.
	void Add(const std::string& path);

private:
	Preferences* mPrefs;
};

#endif // RECENT_FILES_H
