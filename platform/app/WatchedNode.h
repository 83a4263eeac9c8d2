// What the node monitor keeps of a watched node and reads from the file
// system to tell what changed. Layer-internal.
#ifndef WATCHED_NODE_H
#define WATCHED_NODE_H

#include <map>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "Message.h"
#include "Messenger.h"
#include "NodeMonitor.h"

namespace BPrivate {

struct Watcher
{
	BMessenger target;
	uint32 flags;
};

struct StatSnapshot
{
	mode_t mode = 0;
	uid_t uid = 0;
	gid_t gid = 0;
	off_t size = 0;
	struct timespec modified = {};
};

inline bool operator==(const StatSnapshot& a, const StatSnapshot& b)
{
	return a.mode == b.mode && a.uid == b.uid && a.gid == b.gid && a.size == b.size &&
	       a.modified.tv_sec == b.modified.tv_sec && a.modified.tv_nsec == b.modified.tv_nsec;
}

struct WatchedNode
{
	node_ref ref;
	int fd = -1; // O_PATH: follows the node through renames
	bool isDirectory = false;
	std::vector<Watcher> watchers;
	std::map<std::string, ino_t> entries;          // folder contents
	std::map<std::string, std::string> attributes; // name → value (+ kept type)
	StatSnapshot stat;
	std::string lastPath; // where the node was when last seen

	uint32 Flags() const
	{
		uint32 flags = 0;
		for (const Watcher& watcher : watchers)
			flags |= watcher.flags;
		return flags;
	}
	std::string ProcPath() const { return "/proc/self/fd/" + std::to_string(fd); }
};

struct Delivery
{
	BMessenger target;
	BMessage message;
};

struct RawEvent
{
	int wd;
	uint32 mask;
	uint32 cookie;
	std::string name;
};

StatSnapshot take_stat(int fd);
// The node's attributes by their framework names; a kept type counts as
// part of its attribute's value.
std::map<std::string, std::string> take_attributes(const std::string& procPath);
// Where a node is now, followed through renames.
std::string current_path(int fd);
std::string leaf_of(const std::string& path);
// The inode of the folder that holds path; 0 when unknown.
ino_t folder_inode(const std::string& path);
// Lets a receiver of a notice make refs and watch the nodes it names.
void remember_child(const WatchedNode& folder, const std::string& name, ino_t ino);
// The folder's entries by name; a folder of more than kMaxMirroredEntries
// is not mirrored.
std::map<std::string, ino_t> take_entries(int fd);
BMessage notice(int32 opcode, const node_ref& node);
// A created or removed notice of the entry name (node ino) in folder.
BMessage entry_notice(int32 opcode, const node_ref& folder, ino_t ino, const std::string& name);

} // namespace BPrivate

#endif // WATCHED_NODE_H
