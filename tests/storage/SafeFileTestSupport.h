// Listing folders and saving through SafeFile for the SafeFile tests; whole
// files are read and written with the common FileBytes helpers.
#ifndef TESTS_STORAGE_SAFE_FILE_TEST_SUPPORT_H
#define TESTS_STORAGE_SAFE_FILE_TEST_SUPPORT_H

#include <algorithm>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "FileBytes.h"
#include "SafeFile.h"

inline std::vector<std::string> Entries(const std::string& folder)
{
	std::vector<std::string> names;
	for (const std::filesystem::directory_entry& item : std::filesystem::directory_iterator(folder))
		names.push_back(item.path().filename().string());
	std::sort(names.begin(), names.end());
	return names;
}

inline mode_t Mode(const std::string& path)
{
	struct stat info;
	return stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

// Writes text through a fresh SafeFile on path and commits it.
inline status_t Save(const std::string& path, const std::string& text)
{
	SafeFile file(path.c_str());
	if (file.InitCheck() != B_OK)
		return file.InitCheck();
	if (file.Write(text.data(), text.size()) != (ssize_t)text.size())
		return B_IO_ERROR;
	return file.Commit();
}

#endif // TESTS_STORAGE_SAFE_FILE_TEST_SUPPORT_H
