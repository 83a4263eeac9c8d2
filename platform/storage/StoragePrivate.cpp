#include "StoragePrivate.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <map>
#include <mutex>
#include <unistd.h>

#include "Errors.h"

namespace BPrivate {

status_t storage_error(int error)
{
	switch (error) {
	case 0:
		return B_OK;
	case ENODATA:
		return B_ENTRY_NOT_FOUND;
	case ENOTSUP:
		return B_NOT_SUPPORTED;
	case ENOENT:
		return B_ENTRY_NOT_FOUND;
	case ENOSPC:
	case EDQUOT:
	case EFBIG:
		return B_DEVICE_FULL;
	case EACCES:
	case EPERM:
		return B_PERMISSION_DENIED;
	case EEXIST:
		return B_FILE_EXISTS;
	case ENOTDIR:
		return B_NOT_A_DIRECTORY;
	case EISDIR:
		return B_IS_A_DIRECTORY;
	case ENAMETOOLONG:
		return B_NAME_TOO_LONG;
	case ELOOP:
		return B_LINK_LIMIT;
	case EROFS:
		return B_READ_ONLY_DEVICE;
	case ENOTEMPTY:
		return B_DIRECTORY_NOT_EMPTY;
	case EXDEV:
		return B_CROSS_DEVICE_LINK;
	case EMFILE:
	case ENFILE:
		return B_NO_MORE_FDS;
	case ENOMEM:
		return B_NO_MEMORY;
	case EIO:
		return B_IO_ERROR;
	case EINVAL:
	case E2BIG:
	case ERANGE:
		return B_BAD_VALUE;
	case EBADF:
		return B_FILE_ERROR;
	default:
		return b_from_errno(error);
	}
}

std::vector<std::string> split_path(const std::string& path)
{
	std::vector<std::string> components;
	size_t start = 0;
	while (start <= path.size()) {
		size_t end = path.find('/', start);
		if (end == std::string::npos)
			end = path.size();
		std::string part = path.substr(start, end - start);
		if (!part.empty() && part != ".")
			components.push_back(part);
		start = end + 1;
	}
	return components;
}

std::string join_path(const std::vector<std::string>& components)
{
	if (components.empty())
		return "/";
	std::string path;
	for (const std::string& part : components)
		path += "/" + part;
	return path;
}

std::string absolute_path(const std::string& path)
{
	std::string full = path;
	if (full.empty() || full[0] != '/') {
		char buffer[PATH_MAX];
		if (getcwd(buffer, sizeof(buffer)) != nullptr)
			full = std::string(buffer) + "/" + full;
		else
			full = "/" + full;
	}
	return join_path(split_path(full));
}

std::string append_path(const std::string& folder, const std::string& leaf)
{
	if (folder.empty() || folder.back() == '/')
		return folder + leaf;
	return folder + "/" + leaf;
}

status_t resolve_path(const std::string& path, std::string* resolved)
{
	char* result = realpath(path.c_str(), nullptr);
	if (result == nullptr)
		return storage_error(errno);
	*resolved = result;
	free(result);
	return B_OK;
}

namespace {

// Bounded so that a long-running program that makes many refs does not grow
// without end; a watcher resolves its path when it starts watching.
const size_t kMaxRememberedNodes = 4096;

std::mutex sNodeLock;
std::map<node_ref, std::string> sNodePaths;

} // namespace

void remember_node(const node_ref& ref, const std::string& path)
{
	std::lock_guard<std::mutex> lock(sNodeLock);
	if (sNodePaths.size() >= kMaxRememberedNodes && sNodePaths.count(ref) == 0)
		sNodePaths.erase(sNodePaths.begin());
	sNodePaths[ref] = path;
}

bool path_for_node(const node_ref& ref, std::string* path)
{
	std::lock_guard<std::mutex> lock(sNodeLock);
	auto found = sNodePaths.find(ref);
	if (found == sNodePaths.end())
		return false;
	*path = found->second;
	return true;
}

} // namespace BPrivate
