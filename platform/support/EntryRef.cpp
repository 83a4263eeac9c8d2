#include "EntryRef.h"

#include <cstdlib>
#include <cstring>

entry_ref::entry_ref() : device(0), directory(0), name(nullptr) {}

entry_ref::entry_ref(dev_t device, ino_t directory, const char* name)
    : device(device), directory(directory), name(nullptr)
{
	set_name(name);
}

entry_ref::entry_ref(const char* directoryPath, const char* name)
    : device(0), directory(0), name(nullptr)
{
	SetDirectoryPath(directoryPath);
	set_name(name);
}

entry_ref::entry_ref(const entry_ref& other)
    : device(other.device), directory(other.directory), name(nullptr),
      mDirectoryPath(other.mDirectoryPath)
{
	set_name(other.name);
}

entry_ref::~entry_ref()
{
	free(name);
}

entry_ref& entry_ref::operator=(const entry_ref& other)
{
	if (this == &other)
		return *this;
	device = other.device;
	directory = other.directory;
	mDirectoryPath = other.mDirectoryPath;
	set_name(other.name);
	return *this;
}

bool entry_ref::operator==(const entry_ref& other) const
{
	const bool sameName =
	    (name == nullptr && other.name == nullptr) ||
	    (name != nullptr && other.name != nullptr && strcmp(name, other.name) == 0);
	if (!sameName)
		return false;
	const bool bothHaveNodes =
	    (device != 0 || directory != 0) && (other.device != 0 || other.directory != 0);
	if (bothHaveNodes)
		return device == other.device && directory == other.directory;
	return mDirectoryPath == other.mDirectoryPath;
}

status_t entry_ref::set_name(const char* newName)
{
	if (newName == name && newName != nullptr)
		return B_OK;
	char* copy = nullptr;
	if (newName != nullptr) {
		copy = strdup(newName);
		if (copy == nullptr)
			return B_NO_MEMORY;
	}
	free(name);
	name = copy;
	return B_OK;
}

std::string entry_ref::FullPath() const
{
	if (mDirectoryPath.empty() || name == nullptr)
		return std::string();
	std::string path = mDirectoryPath;
	if (path.back() != '/')
		path += '/';
	path += name;
	return path;
}
