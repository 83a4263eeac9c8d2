#include "InPlaceWrite.h"

#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

#include "AttrIO.h"
#include "StoragePrivate.h"

namespace BPrivate {

const char* const kCompleteCopyAttr = "user.safefile:complete-copy";

namespace {

const char* const kCopyInfix = ".inplace-";
const size_t kCopyChunk = 64 * 1024;

// Reads digits up to the next '-' (or the end, when last): false for anything
// else.
bool ReadNumber(const std::string& text, size_t* at, bool last, unsigned long long* number)
{
	size_t start = *at;
	size_t end = start;
	while (end < text.size() && isdigit((unsigned char)text[end]))
		end++;
	if (end == start || end - start > 19)
		return false;
	if (last ? end != text.size() : (end >= text.size() || text[end] != '-'))
		return false;
	*number = strtoull(text.c_str() + start, nullptr, 10);
	*at = end + 1;
	return true;
}

status_t CopyBytes(int from, int target, off_t size)
{
	std::vector<char> chunk(kCopyChunk);
	for (off_t done = 0; done < size;) {
		ssize_t got = pread(from, chunk.data(), chunk.size(), done);
		if (got < 0 && errno == EINTR)
			continue;
		if (got <= 0)
			return got < 0 ? storage_error(errno) : B_IO_ERROR;
		for (ssize_t put = 0; put < got;) {
			ssize_t count = pwrite(target, chunk.data() + put, (size_t)(got - put), done + put);
			if (count > 0)
				put += count;
			else if (count < 0 && errno != EINTR)
				return storage_error(errno);
		}
		done += got;
	}
	return B_OK;
}

} // namespace

std::string complete_copy_leaf(const std::string& leaf, ino_t target, int attempt)
{
	std::string name = ".";
	name.append(leaf, 0, kMaxLeafInName);
	name += kCopyInfix;
	name += std::to_string((unsigned long long)target) + "-" + std::to_string(getpid()) + "-" +
	        std::to_string(attempt);
	return name;
}

bool parse_complete_copy(const std::string& name, std::string* leaf, ino_t* target, pid_t* writer)
{
	// The leaf itself may hold the infix; the suffix after its last
	// occurrence is digits only.
	size_t infix = name.rfind(kCopyInfix);
	if (name.size() < 2 || name[0] != '.' || infix == std::string::npos || infix < 2)
		return false;
	size_t at = infix + strlen(kCopyInfix);
	unsigned long long inode = 0;
	unsigned long long pid = 0;
	unsigned long long attempt = 0;
	if (!ReadNumber(name, &at, false, &inode) || !ReadNumber(name, &at, false, &pid) ||
	    !ReadNumber(name, &at, true, &attempt) || pid == 0 || pid > (unsigned long long)INT32_MAX)
		return false;
	*leaf = name.substr(1, infix - 1);
	*target = (ino_t)inode;
	*writer = (pid_t)pid;
	return true;
}

bool process_runs(pid_t pid)
{
	return pid == getpid() || kill(pid, 0) == 0 || errno == EPERM;
}

void sync_folder(const std::string& folder)
{
	int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
	if (fd < 0)
		return;
	fsync(fd);
	close(fd);
}

status_t write_in_place(int from, int target, const std::string& copyPath, bool* touched)
{
	*touched = false;
	struct stat source;
	struct stat old;
	if (fstat(from, &source) != 0 || fstat(target, &old) != 0)
		return storage_error(errno);

	// The mark must be on disk before the first byte changes: a crash from
	// here on leaves a file that names its own remedy. Without attributes
	// (FAT, old NFS) the copy's name beside the target is the only record.
	if (fsetxattr(target, kCompleteCopyAttr, copyPath.data(), copyPath.size(), 0) != 0 &&
	    errno != ENOTSUP && errno != EOPNOTSUPP)
		return storage_error(errno);
	*touched = true;
	if (fsync(target) != 0)
		return storage_error(errno);

	status_t status = CopyBytes(from, target, source.st_size);
	if (status == B_OK && ftruncate(target, source.st_size) != 0)
		status = storage_error(errno);
	if (status == B_OK)
		status = copy_xattrs(AttrTarget{from, false}, AttrTarget{target, false}, true);
	// Only the owner may change the mode; a user who may merely write the
	// file leaves it as the owner set it.
	mode_t mode = source.st_mode & 07777;
	if (status == B_OK && (old.st_mode & 07777) != mode && fchmod(target, mode) != 0 &&
	    errno != EPERM)
		status = storage_error(errno);
	if (status == B_OK && fsync(target) != 0)
		status = storage_error(errno);
	if (status != B_OK)
		return status;

	// Whole and on disk: the mark can go, and with it the need for the copy.
	if (fremovexattr(target, kCompleteCopyAttr) != 0 && errno != ENODATA && errno != ENOTSUP &&
	    errno != EOPNOTSUPP)
		return storage_error(errno);
	fsync(target);
	return B_OK;
}

} // namespace BPrivate
