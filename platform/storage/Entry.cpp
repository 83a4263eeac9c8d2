#include "Entry.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Directory.h"
#include "Path.h"
#include "StoragePrivate.h"

using namespace BPrivate;

namespace {

// The kernel's own limit on links followed in one look-up.
const int kMaxLinkHops = 40;

// B_OK when path (links followed) is a folder.
status_t check_folder(const std::string& path)
{
	struct stat info;
	if (stat(path.c_str(), &info) != 0)
		return storage_error(errno);
	return S_ISDIR(info.st_mode) ? B_OK : B_NOT_A_DIRECTORY;
}

// Splits an absolute, cleaned path into its resolved folder and its leaf.
// The root has the folder "/" and an empty leaf.
status_t split_entry(const std::string& path, std::string* folder, std::string* leaf)
{
	std::vector<std::string> parts = split_path(path);
	if (!parts.empty() && parts.back() == "..") {
		std::string resolved;
		status_t status = resolve_path(path, &resolved);
		if (status != B_OK)
			return status;
		parts = split_path(resolved);
	}
	if (parts.empty()) {
		folder->assign(1, '/');
		leaf->clear();
		return B_OK;
	}
	std::string name = parts.back();
	if (name.size() >= B_FILE_NAME_LENGTH)
		return B_NAME_TOO_LONG;
	parts.pop_back();
	std::string resolvedFolder;
	status_t status = resolve_path(join_path(parts), &resolvedFolder);
	if (status != B_OK)
		return status;
	status = check_folder(resolvedFolder);
	if (status != B_OK)
		return status;
	*folder = resolvedFolder;
	*leaf = name;
	return B_OK;
}

bool lstat_entry(const BEntry& entry, struct stat* info)
{
	if (entry.InitCheck() != B_OK)
		return false;
	return lstat(entry.FullPath().c_str(), info) == 0;
}

// The folder an entry is in, as a BEntry or a BDirectory made by setTo; the
// root is in none.
template <typename Target, typename SetTo>
status_t get_parent(status_t initStatus, bool isRoot, Target* target, SetTo setTo)
{
	if (const status_t status = check_getter(target, initStatus); status != B_OK)
		return status;
	if (isRoot) {
		target->Unset();
		return B_ENTRY_NOT_FOUND;
	}
	return setTo();
}

} // namespace

BEntry::BEntry() : mStatus(B_NO_INIT) {}

BEntry::BEntry(const char* path, bool traverse) : mStatus(B_NO_INIT)
{
	SetTo(path, traverse);
}

BEntry::BEntry(const entry_ref* ref, bool traverse) : mStatus(B_NO_INIT)
{
	SetTo(ref, traverse);
}

BEntry::BEntry(const BDirectory* dir, const char* path, bool traverse) : mStatus(B_NO_INIT)
{
	SetTo(dir, path, traverse);
}

BEntry::BEntry(const BEntry& other)
    : mFolder(other.mFolder), mLeaf(other.mLeaf), mStatus(other.mStatus)
{
}

BEntry::~BEntry() {}

BEntry& BEntry::operator=(const BEntry& other)
{
	mFolder = other.mFolder;
	mLeaf = other.mLeaf;
	mStatus = other.mStatus;
	return *this;
}

bool BEntry::operator==(const BEntry& other) const
{
	if (mStatus != B_OK || other.mStatus != B_OK)
		return mStatus != B_OK && other.mStatus != B_OK;
	return mFolder == other.mFolder && mLeaf == other.mLeaf;
}

status_t BEntry::SetTo(const char* path, bool traverse)
{
	if (path == nullptr || path[0] == '\0') {
		Unset();
		return mStatus = B_BAD_VALUE;
	}
	return _SetFromPath(absolute_path(path), traverse);
}

status_t BEntry::SetTo(const entry_ref* ref, bool traverse)
{
	if (ref == nullptr || ref->name == nullptr || ref->DirectoryPath()[0] != '/') {
		Unset();
		return mStatus = B_BAD_VALUE;
	}
	return _SetFromPath(absolute_path(ref->FullPath()), traverse);
}

status_t BEntry::SetTo(const BDirectory* dir, const char* path, bool traverse)
{
	if (path != nullptr && path[0] == '/')
		return SetTo(path, traverse);
	if (dir == nullptr || dir->InitCheck() != B_OK) {
		Unset();
		return mStatus = B_BAD_VALUE;
	}
	std::string full = dir->NodePath();
	if (path != nullptr && path[0] != '\0')
		full = append_path(full, path);
	return _SetFromPath(absolute_path(full), traverse);
}

status_t BEntry::_SetFromPath(const std::string& absolute, bool traverse)
{
	Unset();
	std::string current = absolute;
	for (int hops = 0;; hops++) {
		std::string folder;
		std::string leaf;
		status_t status = split_entry(current, &folder, &leaf);
		if (status != B_OK)
			return mStatus = status;
		std::string full = append_path(folder, leaf);
		struct stat info;
		if (!traverse || leaf.empty() || lstat(full.c_str(), &info) != 0 ||
		    !S_ISLNK(info.st_mode)) {
			mFolder = folder;
			mLeaf = leaf;
			return mStatus = B_OK;
		}
		if (hops >= kMaxLinkHops)
			return mStatus = B_LINK_LIMIT;
		char target[PATH_MAX];
		ssize_t length = readlink(full.c_str(), target, sizeof(target));
		if (length < 0)
			return mStatus = storage_error(errno);
		if (length == 0)
			return mStatus = B_ENTRY_NOT_FOUND;
		if ((size_t)length >= sizeof(target))
			return mStatus = B_NAME_TOO_LONG;
		target[length] = '\0';
		current = target[0] == '/' ? std::string(target) : append_path(folder, target);
		current = absolute_path(current);
	}
}

void BEntry::Unset()
{
	mFolder.clear();
	mLeaf.clear();
	mStatus = B_NO_INIT;
}

status_t BEntry::InitCheck() const
{
	return mStatus;
}

std::string BEntry::FullPath() const
{
	if (mStatus != B_OK)
		return std::string();
	if (mLeaf.empty())
		return mFolder;
	return append_path(mFolder, mLeaf);
}

bool BEntry::Exists() const
{
	struct stat info;
	return lstat_entry(*this, &info);
}

status_t BEntry::GetRef(entry_ref* ref) const
{
	if (const status_t status = check_getter(ref, mStatus); status != B_OK)
		return status;
	struct stat info;
	if (stat(mFolder.c_str(), &info) != 0)
		return storage_error(errno);
	// The root has no folder of its own: it is "." inside itself.
	*ref = entry_ref(mFolder.c_str(), mLeaf.empty() ? "." : mLeaf.c_str());
	ref->device = info.st_dev;
	ref->directory = info.st_ino;
	return B_OK;
}

status_t BEntry::GetPath(BPath* path) const
{
	if (const status_t status = check_getter_unset(path, mStatus); status != B_OK)
		return status;
	return path->SetTo(this);
}

status_t BEntry::GetParent(BEntry* entry) const
{
	return get_parent(mStatus, mLeaf.empty(), entry, [&] {
		std::string folder = mFolder;
		return entry->_SetFromPath(folder, false);
	});
}

status_t BEntry::GetParent(BDirectory* dir) const
{
	return get_parent(mStatus, mLeaf.empty(), dir, [&] { return dir->SetTo(mFolder.c_str()); });
}

status_t BEntry::GetName(char* buffer) const
{
	if (const status_t status = check_getter(buffer, mStatus); status != B_OK)
		return status;
	const std::string name = mLeaf.empty() ? std::string("/") : mLeaf;
	memcpy(buffer, name.c_str(), name.size() + 1);
	return B_OK;
}

status_t BEntry::GetNodeRef(node_ref* ref) const
{
	if (const status_t status = check_getter(ref, mStatus); status != B_OK)
		return status;
	struct stat info;
	std::string full = FullPath();
	if (lstat(full.c_str(), &info) != 0)
		return storage_error(errno);
	*ref = node_ref(info.st_dev, info.st_ino);
	remember_node(*ref, full);
	return B_OK;
}

bool BEntry::IsFile() const
{
	struct stat info;
	return lstat_entry(*this, &info) && S_ISREG(info.st_mode);
}

bool BEntry::IsDirectory() const
{
	struct stat info;
	return lstat_entry(*this, &info) && S_ISDIR(info.st_mode);
}

bool BEntry::IsSymLink() const
{
	struct stat info;
	return lstat_entry(*this, &info) && S_ISLNK(info.st_mode);
}

status_t BEntry::Rename(const char* path, bool clobber)
{
	if (path == nullptr || path[0] == '\0')
		return B_BAD_VALUE;
	if (mStatus != B_OK)
		return mStatus;
	std::string target = path[0] == '/' ? std::string(path) : append_path(mFolder, path);
	std::string folder;
	std::string leaf;
	status_t status = split_entry(absolute_path(target), &folder, &leaf);
	if (status != B_OK)
		return status;
	if (leaf.empty() || mLeaf.empty())
		return B_BAD_VALUE;
	std::string from = FullPath();
	std::string to = append_path(folder, leaf);
	int result;
	if (clobber) {
		result = rename(from.c_str(), to.c_str());
	} else {
		result = renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
		if (result != 0 && errno == EINVAL) {
			// File systems without RENAME_NOREPLACE: check, then rename.
			struct stat info;
			if (lstat(to.c_str(), &info) == 0) {
				errno = EEXIST;
				result = -1;
			} else {
				result = rename(from.c_str(), to.c_str());
			}
		}
	}
	if (result != 0)
		return storage_error(errno);
	mFolder = folder;
	mLeaf = leaf;
	return B_OK;
}

status_t BEntry::MoveTo(const BDirectory* dir, const char* path, bool clobber)
{
	if (mStatus != B_OK)
		return mStatus;
	if (path != nullptr && path[0] == '/')
		return Rename(path, clobber);
	if (dir == nullptr || dir->InitCheck() != B_OK)
		return B_BAD_VALUE;
	std::string name = path != nullptr && path[0] != '\0' ? std::string(path) : mLeaf;
	return Rename(append_path(dir->NodePath(), name).c_str(), clobber);
}

status_t BEntry::Remove()
{
	if (mStatus != B_OK)
		return mStatus;
	if (mLeaf.empty())
		return B_NOT_ALLOWED;
	std::string full = FullPath();
	struct stat info;
	if (lstat(full.c_str(), &info) != 0)
		return storage_error(errno);
	int result = S_ISDIR(info.st_mode) ? rmdir(full.c_str()) : unlink(full.c_str());
	return result == 0 ? B_OK : storage_error(errno);
}

status_t get_ref_for_path(const char* path, entry_ref* ref)
{
	if (path == nullptr || ref == nullptr)
		return B_BAD_VALUE;
	BEntry entry(path);
	if (entry.InitCheck() != B_OK)
		return entry.InitCheck();
	return entry.GetRef(ref);
}

status_t create_directory(const char* path, mode_t mode)
{
	if (path == nullptr || path[0] == '\0')
		return B_BAD_VALUE;
	std::vector<std::string> parts = split_path(absolute_path(path));
	std::string current;
	for (const std::string& part : parts) {
		current += "/" + part;
		if (mkdir(current.c_str(), mode) == 0)
			continue;
		if (errno != EEXIST)
			return storage_error(errno);
		const status_t status = check_folder(current);
		if (status != B_OK)
			return status;
	}
	return B_OK;
}
