#include "EntryRef.h"

#include <cstdlib>
#include <cstring>

entry_ref::entry_ref() : device(0), directory(0), name(NULL) {}

entry_ref::entry_ref(dev_t device, ino_t directory, const char* name)
    : device(device), directory(directory), name(NULL)
{
	set_name(name);
}

entry_ref::entry_ref(const char* directoryPath, const char* name)
    : device(0), directory(0), name(NULL)
{
	SetDirectoryPath(directoryPath);
	set_name(name);
}

entry_ref::entry_ref(const entry_ref& other)
    : device(other.device), directory(other.directory), name(NULL),
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
	const bool sameName = (name == NULL && other.name == NULL) ||
	                      (name != NULL && other.name != NULL && strcmp(name, other.name) == 0);
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
	if (newName == name && newName != NULL)
		return B_OK;
	char* copy = NULL;
	if (newName != NULL) {
		copy = strdup(newName);
		if (copy == NULL)
			return B_NO_MEMORY;
	}
	free(name);
	name = copy;
	return B_OK;
}

std::string entry_ref::FullPath() const
{
	if (mDirectoryPath.empty() || name == NULL)
		return std::string();
	std::string path = mDirectoryPath;
	if (path.back() != '/')
		path += '/';
	path += name;
	return path;
}
