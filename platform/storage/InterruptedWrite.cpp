// Finishing an in place write that was cut short (SafeFile.h).
#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

#include "InPlaceWrite.h"
#include "SafeFile.h"
#include "StoragePrivate.h"

using namespace BPrivate;

namespace {

// kUnreadable: the file's attributes could not be read (no permission, an
// attribute that keeps changing): nothing is known, so nothing is touched.
enum class Mark { kAbsent, kPresent, kUnsupported, kUnreadable };

// A save of this process is over by the time anything here runs (a failed
// Commit keeps its copy); another process that runs may be in the middle of
// one.
bool StillWriting(pid_t writer)
{
	return writer != getpid() && process_runs(writer);
}

Mark ReadMark(const std::string& path, std::string* copy)
{
	for (int attempt = 0; attempt < 4; attempt++) {
		ssize_t size = getxattr(path.c_str(), kCompleteCopyAttr, nullptr, 0);
		if (size < 0 && errno == ENODATA)
			return Mark::kAbsent;
		if (size < 0)
			return errno == ENOTSUP || errno == EOPNOTSUPP ? Mark::kUnsupported : Mark::kUnreadable;
		std::vector<char> value((size_t)size + 1);
		ssize_t got = getxattr(path.c_str(), kCompleteCopyAttr, value.data(), (size_t)size);
		if (got < 0 && errno == ERANGE)
			continue;
		if (got < 0)
			return errno == ENODATA ? Mark::kAbsent : Mark::kUnreadable;
		copy->assign(value.data(), (size_t)got);
		return Mark::kPresent;
	}
	return Mark::kUnreadable;
}

std::string LeafOf(const std::string& path)
{
	size_t slash = path.rfind('/');
	return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderOf(const std::string& path)
{
	size_t slash = path.rfind('/');
	return slash == std::string::npos || slash == 0 ? "/" : path.substr(0, slash);
}

// A copy made for the node target: its name says so. A mark carried to
// another node (a copy of the file made with its attributes) names a copy
// that is not this file's.
bool IsCopyFor(const std::string& copy, ino_t target, pid_t* writer)
{
	std::string leaf;
	ino_t inode = 0;
	return parse_complete_copy(LeafOf(copy), &leaf, &inode, writer) && inode == target;
}

// Complete copies for target beside the name path whose writers are gone,
// the newest last. ownDone: whether this process's own copies count as gone
// (to finish from one); another thread may be about to mark the file with
// one, so they are never removed unmarked.
std::vector<std::string> CopiesBeside(const std::string& path, ino_t target, bool ownDone)
{
	std::vector<std::pair<struct timespec, std::string>> found;
	const std::string folder = FolderOf(path);
	const std::string ownLeaf = LeafOf(path).substr(0, kMaxLeafInName);
	DIR* walk = opendir(folder.c_str());
	if (walk == nullptr)
		return {};
	while (struct dirent* item = readdir(walk)) {
		std::string leaf;
		ino_t inode = 0;
		pid_t writer = 0;
		struct stat info;
		if (!parse_complete_copy(item->d_name, &leaf, &inode, &writer) || leaf != ownLeaf ||
		    inode != target || (ownDone ? StillWriting(writer) : process_runs(writer)) ||
		    fstatat(dirfd(walk), item->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 ||
		    !S_ISREG(info.st_mode))
			continue;
		found.emplace_back(info.st_mtim, append_path(folder, item->d_name));
	}
	closedir(walk);
	std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
		return a.first.tv_sec != b.first.tv_sec ? a.first.tv_sec < b.first.tv_sec
		                                        : a.first.tv_nsec < b.first.tv_nsec;
	});
	std::vector<std::string> paths;
	for (const auto& item : found)
		paths.push_back(item.second);
	return paths;
}

void RemoveAll(const std::vector<std::string>& paths)
{
	for (const std::string& path : paths)
		unlink(path.c_str());
}

status_t WriteBack(const std::string& copy, const std::string& target)
{
	int from = open(copy.c_str(), O_RDONLY | O_CLOEXEC);
	if (from < 0)
		return storage_error(errno);
	int to = open(target.c_str(), O_WRONLY | O_CLOEXEC);
	status_t status = to < 0 ? storage_error(errno) : B_OK;
	bool touched = false;
	if (status == B_OK)
		status = write_in_place(from, to, copy, &touched);
	if (to >= 0)
		close(to);
	close(from);
	return status;
}

} // namespace

status_t repair_interrupted_write(const char* path, interrupted_write_report* report)
{
	interrupted_write_report ignored;
	if (report == nullptr)
		report = &ignored;
	*report = interrupted_write_report();
	if (path == nullptr || path[0] == '\0')
		return B_BAD_VALUE;
	std::string target;
	status_t status = resolve_path(path, &target);
	if (status != B_OK)
		return status;
	struct stat info;
	if (stat(target.c_str(), &info) != 0)
		return storage_error(errno);
	if (!S_ISREG(info.st_mode))
		return B_OK;

	std::string marked;
	std::string copy;
	pid_t writer = 0;
	const Mark mark = ReadMark(target, &marked);
	if (mark == Mark::kUnreadable)
		return B_PERMISSION_DENIED;
	std::vector<std::string> beside = CopiesBeside(target, info.st_ino, mark != Mark::kAbsent);
	switch (mark) {
	case Mark::kPresent:
		if (!IsCopyFor(marked, info.st_ino, &writer))
			return B_OK;
		copy = marked;
		break;
	case Mark::kUnsupported:
		// Without attributes a copy's name is the only record, and only
		// a finished save removes it.
		if (!beside.empty() && IsCopyFor(beside.back(), info.st_ino, &writer))
			copy = beside.back();
		break;
	case Mark::kUnreadable:
	case Mark::kAbsent:
		// The mark comes before the first byte changes and goes only once
		// the file is whole: unmarked copies are left by a save killed
		// before it marked the file or after it dropped the mark.
		RemoveAll(beside);
		if (!beside.empty())
			sync_folder(FolderOf(target));
		return B_OK;
	}
	if (copy.empty())
		return B_OK;
	if (StillWriting(writer))
		return B_OK; // that save is still under way
	if (access(copy.c_str(), F_OK) != 0)
		return B_ENTRY_NOT_FOUND; // removed by hand: nothing left to finish from

	status = WriteBack(copy, target);
	report->copy = copy;
	if (status != B_OK) {
		report->outcome = B_WRITE_COPY_KEPT;
		return status;
	}
	report->outcome = B_WRITE_REPAIRED;
	RemoveAll(beside);
	unlink(copy.c_str());
	sync_folder(FolderOf(copy));
	sync_folder(FolderOf(target));
	return B_OK;
}
