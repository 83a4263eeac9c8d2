// Shared by the storage, preferences, node monitor and file panel tests.
// A scratch folder for one test, removed with everything in it afterwards,
// and a guard that restores the current folder.
#ifndef TESTS_STORAGE_TEMP_FOLDER_H
#define TESTS_STORAGE_TEMP_FOLDER_H

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

class TempFolder
{
public:
	TempFolder()
	{
		char pattern[] = "/tmp/le-test-XXXXXX";
		const char* made = mkdtemp(pattern);
		// mkdtemp keeps the link-free /tmp path; resolve it anyway so that
		// comparisons with resolved paths hold.
		mPath = made != nullptr ? std::filesystem::canonical(made).string() : std::string();
	}
	~TempFolder()
	{
		std::error_code ignored;
		if (!mPath.empty())
			std::filesystem::remove_all(mPath, ignored);
	}
	TempFolder(const TempFolder&) = delete;
	TempFolder& operator=(const TempFolder&) = delete;

	const std::string& Path() const { return mPath; }
	std::string operator/(const std::string& leaf) const { return mPath + "/" + leaf; }

private:
	std::string mPath;
};

class CurrentFolderGuard
{
public:
	CurrentFolderGuard()
	{
		char buffer[PATH_MAX];
		if (getcwd(buffer, sizeof(buffer)) != nullptr)
			mSaved = buffer;
	}
	~CurrentFolderGuard()
	{
		if (!mSaved.empty() && chdir(mSaved.c_str()) != 0)
			abort();
	}

private:
	std::string mSaved;
};

#endif // TESTS_STORAGE_TEMP_FOLDER_H
