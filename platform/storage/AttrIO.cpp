#include "AttrIO.h"

#include <cerrno>
#include <sys/xattr.h>

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
		ssize_t size = get_value(target, name, NULL, 0);
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

} // namespace BPrivate
