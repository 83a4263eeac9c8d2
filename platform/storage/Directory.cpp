#include "Directory.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Entry.h"
#include "StoragePrivate.h"

using namespace BPrivate;

BDirectory::BDirectory() : mWalk(nullptr) {}

BDirectory::BDirectory(const entry_ref* ref) : mWalk(nullptr)
{
	SetTo(ref);
}

BDirectory::BDirectory(const BEntry* entry) : mWalk(nullptr)
{
	SetTo(entry);
}

BDirectory::BDirectory(const char* path) : mWalk(nullptr)
{
	SetTo(path);
}

BDirectory::BDirectory(const BDirectory* dir, const char* path) : mWalk(nullptr)
{
	SetTo(dir, path);
}

BDirectory::BDirectory(const BDirectory& other) : BNode(other), mWalk(nullptr) {}

BDirectory::~BDirectory()
{
	_CloseWalk();
}

BDirectory& BDirectory::operator=(const BDirectory& other)
{
	if (this != &other) {
		_CloseWalk();
		BNode::operator=(other);
	}
	return *this;
}

status_t BDirectory::SetTo(const entry_ref* ref)
{
	if (ref == nullptr || ref->name == nullptr || ref->DirectoryPath()[0] == '\0') {
		Unset();
		_SetStatus(B_BAD_VALUE);
		return B_BAD_VALUE;
	}
	return SetTo(ref->FullPath().c_str());
}

status_t BDirectory::SetTo(const BEntry* entry)
{
	if (entry == nullptr || entry->InitCheck() != B_OK) {
		status_t status = entry == nullptr ? B_BAD_VALUE : entry->InitCheck();
		Unset();
		_SetStatus(status);
		return status;
	}
	return SetTo(entry->FullPath().c_str());
}

status_t BDirectory::SetTo(const char* path)
{
	_CloseWalk();
	return _Open(path, O_RDONLY | O_DIRECTORY);
}

status_t BDirectory::SetTo(const BDirectory* dir, const char* path)
{
	if (path != nullptr && path[0] == '/')
		return SetTo(path);
	if (dir == nullptr || dir->InitCheck() != B_OK || path == nullptr) {
		Unset();
		_SetStatus(B_BAD_VALUE);
		return B_BAD_VALUE;
	}
	return SetTo(append_path(dir->NodePath(), path).c_str());
}

void BDirectory::Unset()
{
	_CloseWalk();
	BNode::Unset();
}

void BDirectory::_CloseWalk()
{
	if (mWalk != nullptr)
		closedir((DIR*)mWalk);
	mWalk = nullptr;
}

status_t BDirectory::GetEntry(BEntry* entry) const
{
	if (entry == nullptr)
		return B_BAD_VALUE;
	if (InitCheck() != B_OK)
		return InitCheck();
	return entry->SetTo(NodePath());
}

status_t BDirectory::GetNextEntry(BEntry* entry, bool traverse)
{
	if (entry == nullptr)
		return B_BAD_VALUE;
	if (InitCheck() != B_OK) {
		entry->Unset();
		return InitCheck();
	}
	if (mWalk == nullptr) {
		// A walk of its own, so that the node's descriptor keeps its state.
		int fd = openat(_Descriptor(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
		if (fd < 0) {
			entry->Unset();
			return storage_error(errno);
		}
		mWalk = fdopendir(fd);
		if (mWalk == nullptr) {
			status_t status = storage_error(errno);
			close(fd);
			entry->Unset();
			return status;
		}
	}
	for (;;) {
		errno = 0;
		struct dirent* item = readdir((DIR*)mWalk);
		if (item == nullptr) {
			entry->Unset();
			return errno != 0 ? storage_error(errno) : B_ENTRY_NOT_FOUND;
		}
		if (strcmp(item->d_name, ".") == 0 || strcmp(item->d_name, "..") == 0)
			continue;
		std::string path = append_path(NodePath(), item->d_name);
		status_t status = entry->SetTo(path.c_str(), traverse);
		if (status != B_OK && traverse)
			status = entry->SetTo(path.c_str(), false);
		return status;
	}
}

status_t BDirectory::Rewind()
{
	if (InitCheck() != B_OK)
		return InitCheck();
	if (mWalk != nullptr)
		rewinddir((DIR*)mWalk);
	return B_OK;
}

int32 BDirectory::CountEntries()
{
	if (InitCheck() != B_OK)
		return InitCheck();
	_CloseWalk();
	BEntry entry;
	int32 count = 0;
	while (GetNextEntry(&entry, false) == B_OK)
		count++;
	_CloseWalk();
	return count;
}

bool BDirectory::Contains(const char* path, int32 nodeFlags) const
{
	if (path == nullptr || InitCheck() != B_OK)
		return false;
	BEntry entry;
	if (path[0] == '/')
		entry.SetTo(path);
	else
		entry.SetTo(this, path);
	return Contains(&entry, nodeFlags);
}

bool BDirectory::Contains(const BEntry* entry, int32 nodeFlags) const
{
	if (entry == nullptr || entry->InitCheck() != B_OK || InitCheck() != B_OK)
		return false;
	struct stat info;
	std::string full = entry->FullPath();
	if (lstat(full.c_str(), &info) != 0)
		return false;
	int32 flavor = S_ISDIR(info.st_mode)   ? B_DIRECTORY_NODE
	               : S_ISLNK(info.st_mode) ? B_SYMLINK_NODE
	                                       : B_FILE_NODE;
	if ((flavor & nodeFlags) == 0)
		return false;
	std::string folder = NodePath();
	if (folder != "/")
		folder += "/";
	return full.size() > folder.size() && full.compare(0, folder.size(), folder) == 0;
}
