#include "TemporaryOutput.h"

#include <cstdio>
#include <random>

#include <Entry.h>
#include <File.h>
#include <Path.h>

namespace {

const mode_t kNewFileMode = 0644;

} // namespace

TemporaryOutput::~TemporaryOutput()
{
	if (!mTemporary.empty())
		BEntry(mTemporary.c_str()).Remove();
}

bool TemporaryOutput::Create(const std::string& path, std::string* error)
{
	mPath = path;
	BEntry target(path.c_str(), true);
	status_t status = target.InitCheck();
	if (status == B_OK && target.Exists() && !target.IsFile())
		status = target.IsDirectory() ? B_IS_A_DIRECTORY : B_NOT_ALLOWED;
	BPath folder;
	if (status == B_OK)
		status = BPath(target.FullPath().c_str()).GetParent(&folder);
	if (status != B_OK) {
		*error = b_status_string(status);
		return false;
	}
	mPath = target.FullPath();
	std::mt19937 generator(std::random_device{}());
	BFile file;
	std::string temporary;
	for (int attempt = 0; attempt < 16; attempt++) {
		char suffix[16];
		snprintf(suffix, sizeof(suffix), ".%08x", (unsigned)generator());
		temporary = std::string(folder.Path()) + "/.localetool" + suffix + ".tmp";
		status = file.SetTo(temporary.c_str(), B_WRITE_ONLY | B_CREATE_FILE | B_FAIL_IF_EXISTS);
		if (status != B_FILE_EXISTS)
			break;
	}
	if (status != B_OK) {
		*error = b_status_string(status);
		return false;
	}
	mTemporary = temporary;
	return true;
}

bool TemporaryOutput::Write(const std::string& bytes, std::string* error)
{
	BFile file(mTemporary.c_str(), B_WRITE_ONLY | B_ERASE_FILE);
	status_t status = file.InitCheck();
	size_t done = 0;
	while (status == B_OK && done < bytes.size()) {
		const ssize_t written = file.Write(bytes.data() + done, bytes.size() - done);
		if (written <= 0)
			status = written < 0 ? (status_t)written : B_IO_ERROR;
		else
			done += (size_t)written;
	}
	if (status != B_OK) {
		*error = b_status_string(status);
		return false;
	}
	return true;
}

bool TemporaryOutput::Commit(std::string* error)
{
	mode_t mode = kNewFileMode;
	BFile existing(mPath.c_str(), B_READ_ONLY);
	if (existing.InitCheck() == B_OK)
		existing.GetPermissions(&mode);
	BFile file(mTemporary.c_str(), B_READ_WRITE);
	status_t status = file.InitCheck();
	if (status == B_OK)
		status = file.SetPermissions(mode);
	if (status == B_OK)
		status = file.Sync();
	file.Unset();
	if (status == B_OK)
		status = BEntry(mTemporary.c_str()).Rename(mPath.c_str(), true);
	if (status != B_OK) {
		*error = b_status_string(status);
		return false;
	}
	mTemporary.clear();
	return true;
}
