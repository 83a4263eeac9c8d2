#include "Node.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "AttrIO.h"
#include "Entry.h"
#include "StoragePrivate.h"
#include "TypeConstants.h"

using namespace BPrivate;

namespace {

const char* kUserPrefix = "user.";
const char* kTypePrefix = "user.attr-type:";
// Linux limit on an attribute's full name, without the NUL.
const size_t kMaxXattrName = 255;
const size_t kMaxValueSize = 65536;

// The extended attribute that holds name, on a node whose InitCheck() is
// nodeStatus: every attribute call asks the node first, then the name.
status_t xattr_name(status_t nodeStatus, const char* name, std::string* full)
{
	if (nodeStatus != B_OK)
		return nodeStatus;
	if (name == nullptr || name[0] == '\0')
		return B_BAD_VALUE;
	*full = std::string(kUserPrefix) + name;
	if (full->size() > kMaxXattrName)
		return B_NAME_TOO_LONG;
	return B_OK;
}

// Empty when the companion name would be too long: such attributes keep no
// type and are reported by their bytes.
std::string type_name(const char* name)
{
	std::string full = std::string(kTypePrefix) + name;
	return full.size() > kMaxXattrName ? std::string() : full;
}

// fstat of an open node for a getter of output; the node's own error when
// it is not open.
status_t stat_node(const void* output, status_t nodeStatus, int fd, struct stat* info)
{
	if (const status_t status = check_getter(output, nodeStatus); status != B_OK)
		return status;
	return fstat(fd, info) == 0 ? B_OK : storage_error(errno);
}

bool is_text(const std::vector<char>& bytes)
{
	size_t length = bytes.size();
	if (length > 0 && bytes[length - 1] == '\0')
		length--;
	size_t i = 0;
	while (i < length) {
		unsigned char c = (unsigned char)bytes[i];
		if (c == 0)
			return false;
		size_t follow;
		if (c < 0x80)
			follow = 0;
		else if (c >= 0xc2 && c <= 0xdf)
			follow = 1;
		else if (c >= 0xe0 && c <= 0xef)
			follow = 2;
		else if (c >= 0xf0 && c <= 0xf4)
			follow = 3;
		else
			return false;
		if (i + follow >= length)
			return false;
		for (size_t k = 1; k <= follow; k++) {
			if ((((unsigned char)bytes[i + k]) & 0xc0) != 0x80)
				return false;
		}
		i += follow + 1;
	}
	return true;
}

} // namespace

// #pragma mark - node_ref

node_ref::node_ref() : device(0), node(0) {}

node_ref::node_ref(dev_t device, ino_t node) : device(device), node(node) {}

bool node_ref::operator==(const node_ref& other) const
{
	return device == other.device && node == other.node;
}

bool node_ref::operator!=(const node_ref& other) const
{
	return !(*this == other);
}

bool node_ref::operator<(const node_ref& other) const
{
	return device != other.device ? device < other.device : node < other.node;
}

// #pragma mark - BNode

BNode::BNode() : mFd(-1), mPathOnly(false), mStatus(B_NO_INIT) {}

BNode::BNode(const entry_ref* ref) : BNode()
{
	SetTo(ref);
}

BNode::BNode(const BEntry* entry) : BNode()
{
	SetTo(entry);
}

BNode::BNode(const char* path) : BNode()
{
	SetTo(path);
}

BNode::BNode(const BNode& other) : BNode()
{
	*this = other;
}

BNode::~BNode()
{
	Unset();
}

BNode& BNode::operator=(const BNode& other)
{
	if (this == &other)
		return *this;
	Unset();
	if (other.mFd >= 0) {
		mFd = fcntl(other.mFd, F_DUPFD_CLOEXEC, 0);
		if (mFd < 0) {
			mStatus = storage_error(errno);
			return *this;
		}
	}
	mPathOnly = other.mPathOnly;
	mPath = other.mPath;
	mStatus = other.mStatus;
	return *this;
}

status_t BNode::SetTo(const entry_ref* ref)
{
	if (ref == nullptr) {
		Unset();
		return mStatus = B_BAD_VALUE;
	}
	BEntry entry(ref);
	return SetTo(&entry);
}

status_t BNode::SetTo(const BEntry* entry)
{
	if (entry == nullptr || entry->InitCheck() != B_OK) {
		Unset();
		return mStatus = entry == nullptr ? B_BAD_VALUE : entry->InitCheck();
	}
	return SetTo(entry->FullPath().c_str());
}

status_t BNode::SetTo(const char* path)
{
	// O_NONBLOCK: opening a FIFO must not wait for a writer.
	return _Open(path, O_RDONLY | O_NONBLOCK, 0, true);
}

status_t BNode::_Open(const char* path, int flags, mode_t mode, bool allowPathOnly)
{
	Unset();
	if (path == nullptr || path[0] == '\0')
		return mStatus = B_BAD_VALUE;
	std::string full = absolute_path(path);
	mFd = open(full.c_str(), flags | O_CLOEXEC, mode);
	if (mFd < 0 && allowPathOnly && errno == EACCES) {
		mFd = open(full.c_str(), O_PATH | O_CLOEXEC);
		mPathOnly = mFd >= 0;
	}
	if (mFd < 0) {
		status_t status = storage_error(errno);
		Unset();
		return mStatus = status;
	}
	// Remember where the node really is, links resolved.
	char buffer[PATH_MAX];
	std::string procPath = "/proc/self/fd/" + std::to_string(mFd);
	ssize_t length = readlink(procPath.c_str(), buffer, sizeof(buffer));
	// A deleted node reads "… (deleted)"; a cut one would be wrong: then
	// keep the path we were given.
	if (length > 0 && (size_t)length < sizeof(buffer) && buffer[0] == '/') {
		buffer[length] = '\0';
		mPath = buffer;
	} else {
		mPath = full;
	}
	return mStatus = B_OK;
}

void BNode::Unset()
{
	if (mFd >= 0)
		close(mFd);
	mFd = -1;
	mLocked = false;
	mPathOnly = false;
	mPath.clear();
	mStatus = B_NO_INIT;
}

status_t BNode::InitCheck() const
{
	return mStatus;
}

const char* BNode::NodePath() const
{
	return mStatus == B_OK ? mPath.c_str() : nullptr;
}

ssize_t BNode::ReadAttr(const char* name, type_code, off_t offset, void* buffer, size_t size) const
{
	std::string full;
	status_t status = xattr_name(mStatus, name, &full);
	if (status != B_OK)
		return status;
	if (offset < 0 || (buffer == nullptr && size > 0))
		return B_BAD_VALUE;
	std::vector<char> value;
	status = read_xattr(AttrTarget{mFd, mPathOnly}, full, &value);
	if (status != B_OK)
		return status;
	if ((size_t)offset >= value.size())
		return 0;
	size_t count = std::min(size, value.size() - (size_t)offset);
	memcpy(buffer, value.data() + offset, count);
	return (ssize_t)count;
}

ssize_t BNode::WriteAttr(const char* name, type_code type, off_t offset, const void* buffer,
                         size_t size)
{
	std::string full;
	status_t status = xattr_name(mStatus, name, &full);
	if (status != B_OK)
		return status;
	if (offset < 0 || (buffer == nullptr && size > 0) || size > kMaxValueSize ||
	    (size_t)offset > kMaxValueSize - size)
		return B_BAD_VALUE;
	AttrTarget target{mFd, mPathOnly};
	std::vector<char> value;
	if (offset > 0) {
		status = read_xattr(target, full, &value);
		if (status != B_OK && status != B_ENTRY_NOT_FOUND)
			return status;
	}
	if (value.size() < (size_t)offset + size)
		value.resize((size_t)offset + size, '\0');
	if (size > 0)
		memcpy(value.data() + offset, buffer, size);
	status = write_xattr(target, full, value.data(), value.size());
	if (status != B_OK)
		return status;

	// The bytes are what matters; a type that finds no room is told from
	// the bytes later on.
	std::string typeName = type_name(name);
	if (!typeName.empty()) {
		if (type == B_STRING_TYPE) {
			remove_xattr(target, typeName);
		} else {
			unsigned char code[4] = {(unsigned char)(type >> 24), (unsigned char)(type >> 16),
			                         (unsigned char)(type >> 8), (unsigned char)type};
			write_xattr(target, typeName, code, sizeof(code));
		}
	}
	return (ssize_t)size;
}

status_t BNode::RemoveAttr(const char* name)
{
	std::string full;
	status_t status = xattr_name(mStatus, name, &full);
	if (status != B_OK)
		return status;
	AttrTarget target{mFd, mPathOnly};
	status = remove_xattr(target, full);
	std::string typeName = type_name(name);
	if (!typeName.empty())
		remove_xattr(target, typeName);
	return status;
}

status_t BNode::GetAttrInfo(const char* name, attr_info* info) const
{
	if (info == nullptr)
		return B_BAD_VALUE;
	std::string full;
	status_t status = xattr_name(mStatus, name, &full);
	if (status != B_OK)
		return status;
	AttrTarget target{mFd, mPathOnly};
	std::vector<char> value;
	status = read_xattr(target, full, &value);
	if (status != B_OK)
		return status;
	info->size = (off_t)value.size();
	std::string typeName = type_name(name);
	std::vector<char> code;
	if (!typeName.empty() && read_xattr(target, typeName, &code) == B_OK && code.size() == 4) {
		info->type = ((uint32)(unsigned char)code[0] << 24) |
		             ((uint32)(unsigned char)code[1] << 16) |
		             ((uint32)(unsigned char)code[2] << 8) | (uint32)(unsigned char)code[3];
	} else {
		info->type = is_text(value) ? B_STRING_TYPE : B_RAW_TYPE;
	}
	return B_OK;
}

status_t BNode::GetNodeRef(node_ref* ref) const
{
	struct stat info;
	if (const status_t status = stat_node(ref, mStatus, mFd, &info); status != B_OK)
		return status;
	*ref = node_ref(info.st_dev, info.st_ino);
	remember_node(*ref, mPath);
	return B_OK;
}

status_t BNode::Sync()
{
	if (mStatus != B_OK)
		return mStatus;
	if (mPathOnly)
		return B_FILE_ERROR;
	return fsync(mFd) == 0 ? B_OK : storage_error(errno);
}

status_t BNode::Lock()
{
	if (mStatus != B_OK)
		return mStatus;
	if (mLocked)
		return B_NOT_ALLOWED;
	// flock, not fcntl locks: those belong to the process, so a second BNode
	// of this process would get the lock too and closing it would drop the
	// first one's.
	if (flock(mFd, LOCK_EX | LOCK_NB) != 0)
		return errno == EWOULDBLOCK ? B_BUSY : storage_error(errno);
	mLocked = true;
	return B_OK;
}

status_t BNode::Unlock()
{
	if (mStatus != B_OK)
		return mStatus;
	if (!mLocked)
		return B_BAD_VALUE;
	mLocked = false;
	return flock(mFd, LOCK_UN) == 0 ? B_OK : storage_error(errno);
}

status_t BNode::GetPermissions(mode_t* permissions) const
{
	struct stat info;
	if (const status_t status = stat_node(permissions, mStatus, mFd, &info); status != B_OK)
		return status;
	*permissions = info.st_mode & 07777;
	return B_OK;
}

status_t BNode::SetPermissions(mode_t permissions)
{
	if (mStatus != B_OK)
		return mStatus;
	int result =
	    mPathOnly ? chmod(mPath.c_str(), permissions & 07777) : fchmod(mFd, permissions & 07777);
	return result == 0 ? B_OK : storage_error(errno);
}
