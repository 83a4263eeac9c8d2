#include "SafeFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

#include "Entry.h"
#include "StoragePrivate.h"

using namespace BPrivate;

namespace {

// Another save of the same file may be running in this process.
const int kTemporaryAttempts = 16;
// Leaves room for the suffix within the file system's 255 bytes per name.
const size_t kMaxLeafInName = 200;

std::string TemporaryLeaf(const std::string& leaf, int attempt)
{
	char suffix[48];
	snprintf(suffix, sizeof(suffix), ".save-%ld-%d", (long)getpid(), attempt);
	return "." + leaf.substr(0, kMaxLeafInName) + suffix;
}

void SyncFolder(const std::string& folder)
{
	int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
	if (fd < 0)
		return;
	fsync(fd);
	close(fd);
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
	mode_t mode = 0;
	if (status == B_OK && target.Exists()) {
		mReplaces = true;
		status = BNode(&target).GetPermissions(&mode);
	}
	if (status == B_OK)
		status = _CreateTemporary(parent.FullPath(), leaf);
	if (status == B_OK && mReplaces)
		status = SetPermissions(mode);
	if (status != B_OK) {
		Unset();
		_SetStatus(status);
		return status;
	}
	mTarget = target.FullPath();
	mFolder = parent.FullPath();
	return B_OK;
}

void SafeFile::Unset()
{
	_Discard();
	mTarget.clear();
	mFolder.clear();
	mReplaces = false;
}

status_t SafeFile::Commit()
{
	status_t status = InitCheck();
	if (status == B_OK && mTemporary.empty())
		status = B_NO_INIT;
	if (status == B_OK)
		status = Sync();
	if (status == B_OK && rename(mTemporary.c_str(), mTarget.c_str()) != 0)
		status = storage_error(errno);
	if (status != B_OK) {
		Unset();
		return status;
	}
	mTemporary.clear();
	BFile::Unset();
	// Make the rename itself durable.
	SyncFolder(mFolder);
	Unset();
	return B_OK;
}

status_t SafeFile::_CreateTemporary(const std::string& folder, const std::string& leaf)
{
	status_t status = B_FILE_EXISTS;
	for (int attempt = 0; attempt < kTemporaryAttempts && status == B_FILE_EXISTS; attempt++) {
		std::string path = append_path(folder, TemporaryLeaf(leaf, attempt));
		status = BFile::SetTo(path.c_str(), B_READ_WRITE | B_CREATE_FILE | B_FAIL_IF_EXISTS);
		if (status == B_OK)
			mTemporary = path;
	}
	return status;
}

void SafeFile::_Discard()
{
	BFile::Unset();
	if (!mTemporary.empty())
		unlink(mTemporary.c_str());
	mTemporary.clear();
}
