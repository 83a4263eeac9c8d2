#include "AttrIO.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/xattr.h>

#include "InPlaceWrite.h"
#include "StoragePrivate.h"

namespace BPrivate {

namespace {

// The largest value the kernel takes (XATTR_SIZE_MAX).
const size_t kMaxValueSize = 65536;

std::string proc_path(int fd)
{
	return "/proc/self/fd/" + std::to_string(fd);
}

ssize_t get_value(const AttrTarget& target, const std::string& name, void* buffer, size_t size)
{
	if (target.pathOnly)
		return getxattr(proc_path(target.fd).c_str(), name.c_str(), buffer, size);
	return fgetxattr(target.fd, name.c_str(), buffer, size);
}

} // namespace

status_t read_xattr(const AttrTarget& target, const std::string& name, std::vector<char>* value)
{
	// The value may change between asking its size and reading it: retry.
	for (int attempt = 0; attempt < 4; attempt++) {
		ssize_t size = get_value(target, name, nullptr, 0);
		if (size < 0)
			return storage_error(errno);
		if ((size_t)size > kMaxValueSize)
			return B_BAD_DATA;
		value->assign((size_t)size, '\0');
		if (size == 0)
			return B_OK;
		ssize_t read = get_value(target, name, value->data(), value->size());
		if (read >= 0) {
			value->resize((size_t)read);
			return B_OK;
		}
		if (errno != ERANGE)
			return storage_error(errno);
	}
	return B_BUSY;
}

status_t write_xattr(const AttrTarget& target, const std::string& name, const void* data,
                     size_t size)
{
	int result;
	if (target.pathOnly)
		result = setxattr(proc_path(target.fd).c_str(), name.c_str(), data, size, 0);
	else
		result = fsetxattr(target.fd, name.c_str(), data, size, 0);
	return result == 0 ? B_OK : storage_error(errno);
}

status_t remove_xattr(const AttrTarget& target, const std::string& name)
{
	int result;
	if (target.pathOnly)
		result = removexattr(proc_path(target.fd).c_str(), name.c_str());
	else
		result = fremovexattr(target.fd, name.c_str());
	return result == 0 ? B_OK : storage_error(errno);
}

status_t list_xattrs(const AttrTarget& target, std::vector<std::string>* names)
{
	names->clear();
	std::string path = target.pathOnly ? proc_path(target.fd) : std::string();
	for (int attempt = 0; attempt < 4; attempt++) {
		ssize_t size = target.pathOnly ? listxattr(path.c_str(), nullptr, 0)
		                               : flistxattr(target.fd, nullptr, 0);
		if (size < 0)
			return errno == ENOTSUP ? B_OK : storage_error(errno);
		std::vector<char> list((size_t)size + 1, '\0');
		ssize_t got = target.pathOnly ? listxattr(path.c_str(), list.data(), (size_t)size)
		                              : flistxattr(target.fd, list.data(), (size_t)size);
		if (got < 0 && errno == ERANGE)
			continue;
		if (got < 0)
			return storage_error(errno);
		for (size_t at = 0; at < (size_t)got; at += strlen(list.data() + at) + 1) {
			if (list[at] != '\0')
				names->push_back(list.data() + at);
		}
		return B_OK;
	}
	return B_BUSY;
}

status_t copy_xattrs(const AttrTarget& from, const AttrTarget& to, bool exact)
{
	std::vector<std::string> names;
	status_t status = list_xattrs(from, &names);
	if (status != B_OK)
		return status;
	// The mark of an unfinished in place write belongs to its node alone: it
	// is no content a new file should inherit, and only the write that set
	// it may take it away.
	names.erase(std::remove(names.begin(), names.end(), kCompleteCopyAttr), names.end());
	if (exact) {
		std::vector<std::string> present;
		status = list_xattrs(to, &present);
		if (status != B_OK)
			return status;
		for (const std::string& name : present) {
			if (name != kCompleteCopyAttr &&
			    std::find(names.begin(), names.end(), name) == names.end())
				remove_xattr(to, name);
		}
	}
	for (const std::string& name : names) {
		std::vector<char> value;
		status = read_xattr(from, name, &value);
		if (status == B_ENTRY_NOT_FOUND)
			continue; // removed meanwhile
		if (status == B_OK)
			status = write_xattr(to, name, value.data(), value.size());
		if (status != B_OK && name.compare(0, 5, "user.") == 0)
			return status;
	}
	return B_OK;
}

} // namespace BPrivate
