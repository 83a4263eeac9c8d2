#include "SafeFile.h"

#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "AttrIO.h"
#include "Entry.h"
#include "StoragePrivate.h"

using namespace BPrivate;

namespace {

// Another save of the same file may be running in this process.
const int kTemporaryAttempts = 16;
// Leaves room for the suffix within the file system's 255 bytes per name.
const size_t kMaxLeafInName = 200;
const size_t kCopyChunk = 64 * 1024;

std::string TemporaryPrefix(const std::string& leaf)
{
	// Appended piece by piece: GCC 12 at -O3 misreads "." + a temporary as
	// an overlapping copy (-Wrestrict).
	std::string prefix = ".";
	prefix.append(leaf, 0, kMaxLeafInName);
	prefix += ".save-";
	return prefix;
}

std::string TemporaryLeaf(const std::string& leaf, int attempt)
{
	return TemporaryPrefix(leaf) + std::to_string(getpid()) + "-" + std::to_string(attempt);
}

bool ReadNumber(const char** text, long* number)
{
	if (!isdigit((unsigned char)**text))
		return false;
	char* end = nullptr;
	errno = 0;
	*number = strtol(*text, &end, 10);
	*text = end;
	return errno == 0;
}

// The process that wrote name, when name is one of our new files for the
// leaf that prefix was made from; 0 otherwise.
pid_t WriterOf(const char* name, const std::string& prefix)
{
	if (strncmp(name, prefix.c_str(), prefix.size()) != 0)
		return 0;
	const char* rest = name + prefix.size();
	long pid = 0;
	long attempt = 0;
	if (!ReadNumber(&rest, &pid) || *rest++ != '-' || !ReadNumber(&rest, &attempt) ||
	    *rest != '\0' || pid <= 0)
		return 0;
	return (pid_t)pid;
}

bool IsRunning(pid_t pid)
{
	return pid == getpid() || kill(pid, 0) == 0 || errno == EPERM;
}

// A save cut short (the process killed, the machine switched off) leaves its
// named new file behind; once its process is gone nobody will finish or
// remove it. Names of running processes may be saves in progress.
void RemoveStaleTemporaries(const std::string& folder, const std::string& leaf)
{
	DIR* walk = opendir(folder.c_str());
	if (walk == nullptr)
		return;
	const std::string prefix = TemporaryPrefix(leaf);
	while (struct dirent* item = readdir(walk)) {
		pid_t writer = WriterOf(item->d_name, prefix);
		if (writer > 0 && !IsRunning(writer))
			unlinkat(dirfd(walk), item->d_name, 0);
	}
	closedir(walk);
}

void SyncFolder(const std::string& folder)
{
	int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
	if (fd < 0)
		return;
	fsync(fd);
	close(fd);
}

// An open descriptor of the file at path for its attributes, also without
// read permission.
AttrTarget OpenForAttributes(const char* path)
{
	int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
	if (fd >= 0)
		return AttrTarget{fd, false};
	return AttrTarget{open(path, O_PATH | O_CLOEXEC), true};
}

// Only root may give a file away; others keep at least the old group where
// they belong to it, and otherwise the file is theirs like any new one.
void KeepOwner(int fd, const struct stat& old)
{
	if (fchown(fd, old.st_uid, old.st_gid) != 0 && fchown(fd, (uid_t)-1, old.st_gid) != 0)
		return; // ours, then, like any new file of this user
}

} // namespace

SafeFile::SafeFile() : mReplaces(false) {}

SafeFile::SafeFile(const char* path) : mReplaces(false)
{
	SetTo(path);
}

SafeFile::~SafeFile()
{
	_Discard();
}

status_t SafeFile::SetTo(const char* path)
{
	Unset();
	if (path == nullptr || path[0] == '\0') {
		_SetStatus(B_BAD_VALUE);
		return B_BAD_VALUE;
	}

	BEntry target(path, true);
	status_t status = target.InitCheck();
	if (status == B_OK && target.Exists() && !target.IsFile())
		status = target.IsDirectory() ? B_IS_A_DIRECTORY : B_NOT_ALLOWED;
	BEntry parent;
	if (status == B_OK)
		status = target.GetParent(&parent);
	char leaf[B_FILE_NAME_LENGTH];
	if (status == B_OK)
		status = target.GetName(leaf);
	if (status == B_OK) {
		mTarget = target.FullPath();
		mFolder = parent.FullPath();
		mLeaf = leaf;
		mReplaces = target.Exists();
		RemoveStaleTemporaries(mFolder, mLeaf);
		if (_CreateAnonymous() != B_OK)
			status = _CreateTemporary();
	}
	if (status == B_OK && mReplaces)
		status = _TakeOverFromTarget();
	if (status != B_OK) {
		Unset();
		_SetStatus(status);
	}
	return status;
}

void SafeFile::Unset()
{
	_Discard();
	mTarget.clear();
	mFolder.clear();
	mLeaf.clear();
	mReplaces = false;
}

status_t SafeFile::Commit()
{
	status_t status = InitCheck();
	if (status == B_OK && mTarget.empty())
		status = B_NO_INIT;
	if (status == B_OK)
		status = Sync();

	// Every name of a file with several links must see the new text, so such
	// a file is overwritten, not replaced; a complete copy waits beside it
	// meanwhile.
	struct stat old;
	bool inPlace = status == B_OK && stat(mTarget.c_str(), &old) == 0 && S_ISREG(old.st_mode) &&
	               old.st_nlink > 1;
	if (status == B_OK && mTemporary.empty())
		status = _GiveName();
	if (status == B_OK && inPlace) {
		SyncFolder(mFolder);
		bool touched = false;
		status = _WriteInPlace(&touched);
		if (status == B_OK)
			unlink(mTemporary.c_str());
		// A target cut short keeps the complete copy beside it.
		if (status == B_OK || touched)
			mTemporary.clear();
	} else if (status == B_OK) {
		if (rename(mTemporary.c_str(), mTarget.c_str()) == 0)
			mTemporary.clear();
		else
			status = storage_error(errno);
	}
	if (status == B_OK) {
		// Make the rename (or the copy's removal) itself durable.
		SyncFolder(mFolder);
	}
	Unset();
	return status;
}

// The new file as an anonymous one, so that nothing of a save cut short
// stays behind; where the file system or /proc cannot do that, a named one.
status_t SafeFile::_CreateAnonymous()
{
	if (access("/proc/self/fd", X_OK) != 0)
		return B_NOT_SUPPORTED;
	return _SetTo(mFolder.c_str(), O_RDWR | O_TMPFILE, B_READ_WRITE);
}

status_t SafeFile::_CreateTemporary()
{
	status_t status = B_FILE_EXISTS;
	for (int attempt = 0; attempt < kTemporaryAttempts && status == B_FILE_EXISTS; attempt++) {
		std::string path = append_path(mFolder, TemporaryLeaf(mLeaf, attempt));
		status = BFile::SetTo(path.c_str(), B_READ_WRITE | B_CREATE_FILE | B_FAIL_IF_EXISTS);
		if (status == B_OK)
			mTemporary = path;
	}
	return status;
}

// Names the anonymous file once it is complete; the rename that follows is
// what replaces the target at once.
status_t SafeFile::_GiveName()
{
	std::string self = "/proc/self/fd/" + std::to_string(_Descriptor());
	for (int attempt = 0; attempt < kTemporaryAttempts; attempt++) {
		std::string path = append_path(mFolder, TemporaryLeaf(mLeaf, attempt));
		if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0) {
			mTemporary = path;
			return B_OK;
		}
		if (errno != EEXIST)
			return storage_error(errno);
	}
	return B_FILE_EXISTS;
}

// What the old file carried that the caller does not write again: its
// attributes, its owner and group (where this process may give them) and its
// mode. The caller's own attributes, written afterwards, win.
status_t SafeFile::_TakeOverFromTarget()
{
	struct stat old;
	if (stat(mTarget.c_str(), &old) != 0)
		return storage_error(errno);
	// Owner first: a change of owner clears the set-id bits of the mode.
	KeepOwner(_Descriptor(), old);
	AttrTarget from = OpenForAttributes(mTarget.c_str());
	if (from.fd < 0)
		return storage_error(errno);
	status_t status = copy_xattrs(from, AttrTarget{_Descriptor(), false}, false);
	close(from.fd);
	if (status == B_OK)
		status = SetPermissions(old.st_mode);
	return status;
}

// Copies the complete, synced new file over the target's own bytes, then its
// attributes and mode, and syncs the target.
status_t SafeFile::_WriteInPlace(bool* touched)
{
	off_t size = 0;
	mode_t mode = 0;
	status_t status = GetSize(&size);
	if (status == B_OK)
		status = GetPermissions(&mode);
	if (status != B_OK)
		return status;
	int target = open(mTarget.c_str(), O_WRONLY | O_CLOEXEC);
	if (target < 0)
		return storage_error(errno);
	*touched = true;

	std::vector<char> chunk(kCopyChunk);
	for (off_t done = 0; status == B_OK && done < size;) {
		ssize_t got = ReadAt(done, chunk.data(), chunk.size());
		if (got <= 0) {
			status = got < 0 ? (status_t)got : B_IO_ERROR;
			break;
		}
		for (ssize_t put = 0; status == B_OK && put < got;) {
			ssize_t count = pwrite(target, chunk.data() + put, (size_t)(got - put), done + put);
			if (count > 0)
				put += count;
			else if (count < 0 && errno != EINTR)
				status = storage_error(errno);
		}
		done += got;
	}
	if (status == B_OK && ftruncate(target, size) != 0)
		status = storage_error(errno);
	if (status == B_OK)
		status = copy_xattrs(AttrTarget{_Descriptor(), false}, AttrTarget{target, false}, true);
	if (status == B_OK && fchmod(target, mode) != 0)
		status = storage_error(errno);
	if (status == B_OK && fsync(target) != 0)
		status = storage_error(errno);
	close(target);
	return status;
}

void SafeFile::_Discard()
{
	// An anonymous file goes with its descriptor.
	BFile::Unset();
	if (!mTemporary.empty())
		unlink(mTemporary.c_str());
	mTemporary.clear();
}
