// Snapshots of watched nodes: their stat, attributes and folder entries.

#include "WatchedNode.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "StoragePrivate.h"

namespace BPrivate {

namespace {

const char* kUserPrefix = "user.";
const char* kTypePrefix = "user.attr-type:";
// A folder larger than this is not mirrored; its removed entries then
// report node 0.
const size_t kMaxMirroredEntries = 20000;

} // namespace

StatSnapshot take_stat(int fd)
{
	StatSnapshot snapshot;
	struct stat info;
	if (fstat(fd, &info) == 0) {
		snapshot.mode = info.st_mode;
		snapshot.uid = info.st_uid;
		snapshot.gid = info.st_gid;
		snapshot.size = info.st_size;
		snapshot.modified = info.st_mtim;
	}
	return snapshot;
}

// The node's attributes by their framework names; a kept type counts as
// part of its attribute's value.
std::map<std::string, std::string> take_attributes(const std::string& procPath)
{
	std::map<std::string, std::string> attributes;
	std::vector<char> names(4096);
	ssize_t length = listxattr(procPath.c_str(), names.data(), names.size());
	if (length < 0 && errno == ERANGE) {
		length = listxattr(procPath.c_str(), nullptr, 0);
		if (length > 0) {
			names.resize((size_t)length);
			length = listxattr(procPath.c_str(), names.data(), names.size());
		}
	}
	if (length <= 0)
		return attributes;
	for (size_t offset = 0; offset < (size_t)length;) {
		std::string full(names.data() + offset);
		offset += full.size() + 1;
		std::string name;
		bool isType = false;
		if (full.compare(0, strlen(kTypePrefix), kTypePrefix) == 0) {
			name = full.substr(strlen(kTypePrefix));
			isType = true;
		} else if (full.compare(0, strlen(kUserPrefix), kUserPrefix) == 0) {
			name = full.substr(strlen(kUserPrefix));
		} else {
			continue;
		}
		std::vector<char> value(65536);
		ssize_t size = getxattr(procPath.c_str(), full.c_str(), value.data(), value.size());
		std::string bytes = size >= 0 ? std::string(value.data(), (size_t)size) : std::string();
		if (isType)
			attributes[name] += "\0type:" + bytes;
		else
			attributes[name].insert(0, bytes);
	}
	return attributes;
}

// Where a node is now, followed through renames.
std::string current_path(int fd)
{
	char buffer[4096];
	std::string procPath = "/proc/self/fd/" + std::to_string(fd);
	ssize_t length = readlink(procPath.c_str(), buffer, sizeof(buffer) - 1);
	return length > 0 ? std::string(buffer, (size_t)length) : std::string();
}

std::string leaf_of(const std::string& path)
{
	size_t slash = path.rfind('/');
	return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The inode of the folder that holds path; 0 when unknown.
ino_t folder_inode(const std::string& path)
{
	size_t slash = path.rfind('/');
	if (path.empty() || slash == std::string::npos)
		return 0;
	std::string folder = slash == 0 ? std::string("/") : path.substr(0, slash);
	struct stat info;
	return stat(folder.c_str(), &info) == 0 ? info.st_ino : 0;
}

// Lets a receiver of a notice make refs and watch the nodes it names.
void remember_child(const WatchedNode& folder, const std::string& name, ino_t ino)
{
	std::string path = current_path(folder.fd);
	if (ino != 0 && !path.empty())
		BPrivate::remember_node(node_ref(folder.ref.device, ino),
		                        BPrivate::append_path(path, name));
}

std::map<std::string, ino_t> take_entries(int fd)
{
	std::map<std::string, ino_t> entries;
	std::string procPath = "/proc/self/fd/" + std::to_string(fd);
	int dirFd = open(procPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
	if (dirFd < 0)
		return entries;
	DIR* dir = fdopendir(dirFd);
	if (dir == nullptr) {
		close(dirFd);
		return entries;
	}
	while (struct dirent* item = readdir(dir)) {
		if (strcmp(item->d_name, ".") == 0 || strcmp(item->d_name, "..") == 0)
			continue;
		if (entries.size() >= kMaxMirroredEntries) {
			entries.clear();
			break;
		}
		entries[item->d_name] = item->d_ino;
	}
	closedir(dir);
	return entries;
}

BMessage notice(int32 opcode, const node_ref& node)
{
	BMessage message(B_NODE_MONITOR);
	message.AddInt32("opcode", opcode);
	message.AddInt32("device", (int32)node.device);
	return message;
}

BMessage entry_notice(int32 opcode, const node_ref& folder, ino_t ino, const std::string& name)
{
	BMessage message = notice(opcode, folder);
	message.AddInt64("directory", (int64)folder.node);
	message.AddInt64("node", (int64)ino);
	message.AddString("name", name.c_str());
	return message;
}

} // namespace BPrivate
