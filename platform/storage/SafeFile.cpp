#include "SafeFile.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "AttrIO.h"
#include "Entry.h"
#include "InPlaceWrite.h"
#include "StoragePrivate.h"

using namespace BPrivate;

namespace {

// Another save of the same file may be running in this process.
const int kTemporaryAttempts = 16;

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
		if (writer > 0 && !process_runs(writer))
			unlinkat(dirfd(walk), item->d_name, 0);
	}
	closedir(walk);
}

// Complete copies of in place writes of the target's node that are done
// with: the target is whole (a save just went through, or its mark is gone),
// so they can only hold an older text.
void RemoveFinishedCopies(const std::string& folder, const std::string& leaf, ino_t target)
{
	DIR* walk = opendir(folder.c_str());
	if (walk == nullptr)
		return;
	const std::string ownLeaf = leaf.substr(0, kMaxLeafInName);
	while (struct dirent* item = readdir(walk)) {
		std::string copyLeaf;
		ino_t inode = 0;
		pid_t writer = 0;
		if (parse_complete_copy(item->d_name, &copyLeaf, &inode, &writer) && copyLeaf == ownLeaf &&
		    inode == target && (writer == getpid() || !process_runs(writer)))
			unlinkat(dirfd(walk), item->d_name, 0);
	}
	closedir(walk);
}

// A save keeps the file where it found it only with its owner and group.
bool NewFileKeepsOwner(int fd, const struct stat& old)
{
	struct stat now;
	return fstat(fd, &now) == 0 && now.st_uid == old.st_uid && now.st_gid == old.st_gid;
}

// ".<leaf>.save-<digits>-<digits>" for any leaf.
bool IsTemporaryName(const std::string& name)
{
	size_t infix = name.rfind(".save-");
	if (name.size() < 2 || name[0] != '.' || infix == std::string::npos || infix < 2)
		return false;
	const char* rest = name.c_str() + infix + 6;
	long pid = 0;
	long attempt = 0;
	return ReadNumber(&rest, &pid) && *rest++ == '-' && ReadNumber(&rest, &attempt) &&
	       *rest == '\0';
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
		// What the new file takes over from the old one must be whole; a
		// copy that cannot be written back stays, and this save replaces
		// the text anyway.
		if (target.Exists())
			repair_interrupted_write(mTarget.c_str(), nullptr);
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

	// Every name of a file with several links must see the new text, and a
	// file whose owner the new one could not take over must stay the
	// owner's: such a file is overwritten, not replaced.
	struct stat old;
	bool exists = status == B_OK && stat(mTarget.c_str(), &old) == 0 && S_ISREG(old.st_mode);
	bool inPlace = exists && (old.st_nlink > 1 || !NewFileKeepsOwner(_Descriptor(), old));
	if (status == B_OK && inPlace)
		status = _CommitInPlace(old.st_ino);
	else if (status == B_OK) {
		if (mTemporary.empty())
			status = _GiveName();
		if (status == B_OK && rename(mTemporary.c_str(), mTarget.c_str()) == 0)
			mTemporary.clear();
		else if (status == B_OK)
			status = storage_error(errno);
	}
	if (status == B_OK) {
		// The node that the copies were made for is either whole now or gone
		// (a rename only replaces a file of one link).
		if (exists)
			RemoveFinishedCopies(mFolder, mLeaf, old.st_ino);
		// Make the rename (or the copy's removal) itself durable.
		sync_folder(mFolder);
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
	// Where it cannot be kept, Commit writes in place.
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

// Names the complete new file as the copy an interrupted in place write is
// finished from; no later save takes that name for a leftover of its own.
status_t SafeFile::_NameCompleteCopy(ino_t target)
{
	std::string self = "/proc/self/fd/" + std::to_string(_Descriptor());
	for (int attempt = 0; attempt < kTemporaryAttempts; attempt++) {
		std::string path = append_path(mFolder, complete_copy_leaf(mLeaf, target, attempt));
		int result = mTemporary.empty()
		                 ? linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW)
		                 : link(mTemporary.c_str(), path.c_str());
		if (result == 0) {
			if (!mTemporary.empty())
				unlink(mTemporary.c_str());
			mTemporary = path;
			return B_OK;
		}
		if (errno != EEXIST)
			return storage_error(errno);
	}
	return B_FILE_EXISTS;
}

status_t SafeFile::_CommitInPlace(ino_t targetNode)
{
	status_t status = _NameCompleteCopy(targetNode);
	if (status != B_OK)
		return status;
	// The copy's name must last before the target is marked with it.
	sync_folder(mFolder);
	int target = open(mTarget.c_str(), O_WRONLY | O_CLOEXEC);
	if (target < 0)
		return storage_error(errno);
	bool touched = false;
	status = write_in_place(_Descriptor(), target, mTemporary, &touched);
	close(target);
	if (status == B_OK)
		unlink(mTemporary.c_str());
	// A target cut short keeps its mark and the complete copy beside it.
	if (status == B_OK || touched)
		mTemporary.clear();
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

bool is_safe_save_leftover(const char* leaf)
{
	if (leaf == nullptr)
		return false;
	std::string copyLeaf;
	ino_t target = 0;
	pid_t writer = 0;
	return IsTemporaryName(leaf) || parse_complete_copy(leaf, &copyLeaf, &target, &writer);
}

status_t set_aside_damaged(const char* path, std::string* aside)
{
	if (path == nullptr || path[0] == '\0')
		return B_BAD_VALUE;
	for (int number = 1; number < 100; number++) {
		std::string target = path;
		target += ".damaged";
		if (number > 1) {
			target += '-';
			target += std::to_string(number);
		}
		// Renamed without replacing: a name taken meanwhile is tried next.
		BEntry entry(path);
		const status_t status = entry.Rename(target.c_str());
		if (status == B_FILE_EXISTS)
			continue;
		if (status == B_OK && aside != nullptr)
			*aside = target;
		return status;
	}
	return B_FILE_EXISTS;
}
