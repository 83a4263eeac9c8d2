// The node monitor over inotify: one thread of the layer reads the kernel's
// events, turns them into B_NODE_MONITOR notices and sends them to the
// watchers' messengers.
#include "NodeMonitor.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <poll.h>
#include <string>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

#include "Handler.h"
#include "Looper.h"
#include "Message.h"
#include "StoragePrivate.h"
#include "WatchedNode.h"

namespace {

// How long a rename's first half waits for its second half (ms).
const int kMovePairWait = 10;
// How often removed folders are looked for (ms); see _CheckRemoved.
const int kRemovalSweep = 1000;

using namespace BPrivate;

class NodeMonitor
{
public:
	NodeMonitor();
	~NodeMonitor();

	status_t Watch(const node_ref& ref, uint32 flags, const BMessenger& target);
	status_t StopWatching(const BMessenger& target);

private:
	status_t _StartThread();
	void _Run();
	bool _ReadEvents(std::vector<RawEvent>* events);
	void _Handle(const std::vector<RawEvent>& events, std::vector<Delivery>* deliveries);
	void _HandleMoves(const std::vector<RawEvent>& events, std::vector<Delivery>* deliveries);
	void _HandleChange(WatchedNode& node, uint32 mask, std::vector<Delivery>* deliveries);
	void _Deliver(std::vector<Delivery>& deliveries);
	status_t _UpdateWatch(WatchedNode& node);
	void _Forget(int wd);
	void _CheckRemoved(std::vector<Delivery>* deliveries);
	bool _NeedsSweep() const;
	WatchedNode* _Find(const node_ref& ref, int* wd);
	static void _Send(const WatchedNode& node, uint32 flag, const BMessage& message,
	                  std::vector<Delivery>* deliveries);

	std::mutex mLock;
	int mInotify = -1;
	int mWake = -1;
	bool mStopping = false;
	std::thread mThread;
	std::map<int, WatchedNode> mNodes; // by inotify watch descriptor
};

NodeMonitor::NodeMonitor() {}

NodeMonitor::~NodeMonitor()
{
	{
		std::lock_guard<std::mutex> lock(mLock);
		mStopping = true;
	}
	if (mWake >= 0) {
		uint64_t one = 1;
		if (write(mWake, &one, sizeof(one)) < 0) {
			// The thread then ends with the process.
		}
	}
	if (mThread.joinable())
		mThread.join();
	for (auto& item : mNodes)
		close(item.second.fd);
	if (mInotify >= 0)
		close(mInotify);
	if (mWake >= 0)
		close(mWake);
}

status_t NodeMonitor::_StartThread()
{
	if (mInotify >= 0)
		return B_OK;
	mInotify = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
	if (mInotify < 0)
		return BPrivate::storage_error(errno);
	mWake = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
	if (mWake < 0) {
		status_t status = BPrivate::storage_error(errno);
		close(mInotify);
		mInotify = -1;
		return status;
	}
	mThread = std::thread(&NodeMonitor::_Run, this);
	return B_OK;
}

WatchedNode* NodeMonitor::_Find(const node_ref& ref, int* wd)
{
	for (auto& item : mNodes) {
		if (item.second.ref == ref) {
			*wd = item.first;
			return &item.second;
		}
	}
	return nullptr;
}

status_t NodeMonitor::Watch(const node_ref& ref, uint32 flags, const BMessenger& target)
{
	std::lock_guard<std::mutex> lock(mLock);
	int wd = -1;
	WatchedNode* node = _Find(ref, &wd);

	if (flags == B_STOP_WATCHING) {
		if (node == nullptr)
			return B_BAD_VALUE;
		size_t before = node->watchers.size();
		std::erase_if(node->watchers, [&](const Watcher& w) { return w.target == target; });
		if (node->watchers.size() == before)
			return B_BAD_VALUE;
		if (node->watchers.empty()) {
			inotify_rm_watch(mInotify, wd);
			_Forget(wd);
			return B_OK;
		}
		return _UpdateWatch(*node);
	}

	flags &= B_WATCH_ALL;
	if (flags == 0)
		return B_NOT_SUPPORTED;
	if (!target.IsValid())
		return B_BAD_VALUE;

	if (node == nullptr) {
		status_t status = _StartThread();
		if (status != B_OK)
			return status;
		std::string path;
		if (!BPrivate::path_for_node(ref, &path))
			return B_ENTRY_NOT_FOUND;
		int fd = open(path.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
		if (fd < 0)
			return BPrivate::storage_error(errno);
		struct stat info;
		if (fstat(fd, &info) != 0 || info.st_dev != ref.device || info.st_ino != ref.node) {
			// The path now names another node: the one asked for has moved.
			close(fd);
			return B_ENTRY_NOT_FOUND;
		}
		std::string procPath = "/proc/self/fd/" + std::to_string(fd);
		wd = inotify_add_watch(mInotify, procPath.c_str(), IN_DELETE_SELF);
		if (wd < 0) {
			status_t result = BPrivate::storage_error(errno);
			close(fd);
			return result;
		}
		WatchedNode& added = mNodes[wd];
		if (added.fd >= 0 && added.fd != fd)
			close(added.fd);
		added.ref = ref;
		added.fd = fd;
		added.isDirectory = S_ISDIR(info.st_mode);
		added.lastPath = path;
		node = &added;
	}

	bool found = false;
	for (Watcher& watcher : node->watchers) {
		if (watcher.target == target) {
			watcher.flags = flags;
			found = true;
		}
	}
	if (!found)
		node->watchers.push_back(Watcher{target, flags});
	return _UpdateWatch(*node);
}

status_t NodeMonitor::_UpdateWatch(WatchedNode& node)
{
	uint32 flags = node.Flags();
	uint32 mask = IN_DELETE_SELF;
	if ((flags & B_WATCH_DIRECTORY) != 0 && node.isDirectory)
		mask |= IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;
	if ((flags & B_WATCH_NAME) != 0)
		mask |= IN_MOVE_SELF | IN_ATTRIB;
	if ((flags & B_WATCH_STAT) != 0)
		mask |= IN_ATTRIB | IN_MODIFY;
	if ((flags & B_WATCH_ATTR) != 0)
		mask |= IN_ATTRIB;

	// Snapshots to tell later what changed.
	if ((flags & B_WATCH_DIRECTORY) != 0 && node.isDirectory && node.entries.empty())
		node.entries = take_entries(node.fd);
	if ((flags & B_WATCH_ATTR) != 0)
		node.attributes = take_attributes(node.ProcPath());
	node.stat = take_stat(node.fd);

	if (inotify_add_watch(mInotify, node.ProcPath().c_str(), mask) < 0)
		return BPrivate::storage_error(errno);
	return B_OK;
}

// Our descriptor keeps a removed node alive, so the kernel reports its
// removal only when we let go: a removed file still shows as a change of
// its link count, a removed folder shows nothing. So the link counts are
// looked at after every batch of events, and, while a folder is watched for
// its name, once every kRemovalSweep.
bool NodeMonitor::_NeedsSweep() const
{
	for (const auto& item : mNodes) {
		if (item.second.isDirectory && (item.second.Flags() & B_WATCH_NAME) != 0)
			return true;
	}
	return false;
}

void NodeMonitor::_CheckRemoved(std::vector<Delivery>* deliveries)
{
	for (auto it = mNodes.begin(); it != mNodes.end();) {
		struct stat info;
		if (fstat(it->second.fd, &info) != 0 || info.st_nlink > 0) {
			++it;
			continue;
		}
		BMessage message = notice(B_ENTRY_REMOVED, it->second.ref);
		message.AddInt64("directory", 0);
		message.AddInt64("node", (int64)it->second.ref.node);
		_Send(it->second, B_WATCH_NAME, message, deliveries);
		inotify_rm_watch(mInotify, it->first);
		close(it->second.fd);
		it = mNodes.erase(it);
	}
}

void NodeMonitor::_Forget(int wd)
{
	auto found = mNodes.find(wd);
	if (found == mNodes.end())
		return;
	close(found->second.fd);
	mNodes.erase(found);
}

status_t NodeMonitor::StopWatching(const BMessenger& target)
{
	std::lock_guard<std::mutex> lock(mLock);
	bool any = false;
	for (auto it = mNodes.begin(); it != mNodes.end();) {
		size_t before = it->second.watchers.size();
		std::erase_if(it->second.watchers, [&](const Watcher& w) { return w.target == target; });
		any = any || it->second.watchers.size() != before;
		if (it->second.watchers.empty()) {
			inotify_rm_watch(mInotify, it->first);
			close(it->second.fd);
			it = mNodes.erase(it);
		} else {
			if (it->second.watchers.size() != before)
				_UpdateWatch(it->second);
			++it;
		}
	}
	return any ? B_OK : B_BAD_VALUE;
}

bool NodeMonitor::_ReadEvents(std::vector<RawEvent>* events)
{
	alignas(struct inotify_event) char buffer[65536];
	bool any = false;
	for (;;) {
		ssize_t length = read(mInotify, buffer, sizeof(buffer));
		if (length <= 0)
			return any;
		any = true;
		for (char* at = buffer; at < buffer + length;) {
			const struct inotify_event* event = (const struct inotify_event*)at;
			RawEvent raw{event->wd, event->mask, event->cookie,
			             event->len > 0 ? std::string(event->name) : std::string()};
			events->push_back(raw);
			at += sizeof(struct inotify_event) + event->len;
		}
	}
}

void NodeMonitor::_Run()
{
	for (;;) {
		int timeout;
		{
			std::lock_guard<std::mutex> lock(mLock);
			timeout = _NeedsSweep() ? kRemovalSweep : -1;
		}
		struct pollfd fds[2] = {{mInotify, POLLIN, 0}, {mWake, POLLIN, 0}};
		if (poll(fds, 2, timeout) < 0 && errno != EINTR)
			return;
		if ((fds[1].revents & POLLIN) != 0)
			return;
		std::vector<RawEvent> events;
		_ReadEvents(&events);
		// A rename reaches us as two events; give the second half a moment
		// when only the first has come.
		bool unpaired = false;
		for (const RawEvent& event : events) {
			if ((event.mask & IN_MOVED_FROM) != 0) {
				unpaired = true;
				for (const RawEvent& other : events) {
					if ((other.mask & IN_MOVED_TO) != 0 && other.cookie == event.cookie)
						unpaired = false;
				}
				if (unpaired)
					break;
			}
		}
		if (unpaired) {
			struct pollfd more = {mInotify, POLLIN, 0};
			if (poll(&more, 1, kMovePairWait) > 0)
				_ReadEvents(&events);
		}
		std::vector<Delivery> deliveries;
		{
			std::lock_guard<std::mutex> lock(mLock);
			if (mStopping)
				return;
			_Handle(events, &deliveries);
			_CheckRemoved(&deliveries);
		}
		_Deliver(deliveries);
	}
}

void NodeMonitor::_Send(const WatchedNode& node, uint32 flag, const BMessage& message,
                        std::vector<Delivery>* deliveries)
{
	for (const Watcher& watcher : node.watchers) {
		if ((watcher.flags & flag) != 0)
			deliveries->push_back(Delivery{watcher.target, message});
	}
}

void NodeMonitor::_Handle(const std::vector<RawEvent>& events, std::vector<Delivery>* deliveries)
{
	bool movesHandled = false;
	for (const RawEvent& event : events) {
		if ((event.mask & IN_Q_OVERFLOW) != 0) {
			// Events were lost: tell the folder watchers what differs now.
			for (auto& item : mNodes) {
				WatchedNode& folder = item.second;
				if ((folder.Flags() & B_WATCH_DIRECTORY) == 0 || !folder.isDirectory)
					continue;
				std::map<std::string, ino_t> now = take_entries(folder.fd);
				for (const auto& entry : folder.entries) {
					auto still = now.find(entry.first);
					if (still != now.end() && still->second == entry.second)
						continue;
					BMessage message =
					    entry_notice(B_ENTRY_REMOVED, folder.ref, entry.second, entry.first);
					_Send(folder, B_WATCH_DIRECTORY, message, deliveries);
				}
				for (const auto& entry : now) {
					auto before = folder.entries.find(entry.first);
					if (before != folder.entries.end() && before->second == entry.second)
						continue;
					remember_child(folder, entry.first, entry.second);
					BMessage message =
					    entry_notice(B_ENTRY_CREATED, folder.ref, entry.second, entry.first);
					_Send(folder, B_WATCH_DIRECTORY, message, deliveries);
				}
				folder.entries = std::move(now);
			}
			continue;
		}
		auto found = mNodes.find(event.wd);
		if (found == mNodes.end())
			continue;
		WatchedNode& node = found->second;

		if ((event.mask & (IN_MOVED_FROM | IN_MOVED_TO)) != 0) {
			// All moves of the batch at once, at the place of the first.
			if (!movesHandled)
				_HandleMoves(events, deliveries);
			movesHandled = true;
		} else if ((event.mask & IN_CREATE) != 0) {
			struct stat info;
			ino_t ino = fstatat(node.fd, event.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0
			                ? info.st_ino
			                : 0;
			if (ino != 0) {
				node.entries[event.name] = ino;
				remember_child(node, event.name, ino);
			}
			BMessage message = entry_notice(B_ENTRY_CREATED, node.ref, ino, event.name);
			_Send(node, B_WATCH_DIRECTORY, message, deliveries);
		} else if ((event.mask & IN_DELETE) != 0) {
			ino_t ino = 0;
			auto entry = node.entries.find(event.name);
			if (entry != node.entries.end()) {
				ino = entry->second;
				node.entries.erase(entry);
			}
			BMessage message = entry_notice(B_ENTRY_REMOVED, node.ref, ino, event.name);
			_Send(node, B_WATCH_DIRECTORY, message, deliveries);
		} else if ((event.mask & IN_DELETE_SELF) != 0) {
			BMessage message = notice(B_ENTRY_REMOVED, node.ref);
			message.AddInt64("directory", 0);
			message.AddInt64("node", (int64)node.ref.node);
			_Send(node, B_WATCH_NAME, message, deliveries);
		} else if ((event.mask & IN_MOVE_SELF) != 0) {
			// The descriptor knows where the node went; we know where it was.
			std::string now = current_path(node.fd);
			BMessage message = notice(B_ENTRY_MOVED, node.ref);
			message.AddInt64("from directory", (int64)folder_inode(node.lastPath));
			message.AddInt64("to directory", (int64)folder_inode(now));
			message.AddInt64("node", (int64)node.ref.node);
			message.AddString("name", leaf_of(now).c_str());
			message.AddString("from name", leaf_of(node.lastPath).c_str());
			_Send(node, B_WATCH_NAME, message, deliveries);
			if (!now.empty()) {
				node.lastPath = now;
				BPrivate::remember_node(node.ref, now);
			}
		} else if ((event.mask & (IN_ATTRIB | IN_MODIFY)) != 0 && event.name.empty()) {
			_HandleChange(node, event.mask, deliveries);
		}
		if ((event.mask & IN_IGNORED) != 0)
			_Forget(event.wd);
	}
}

void NodeMonitor::_HandleMoves(const std::vector<RawEvent>& events,
                               std::vector<Delivery>* deliveries)
{
	struct Move
	{
		int fromWd = -1;
		std::string fromName;
		int toWd = -1;
		std::string toName;
	};
	std::vector<std::pair<uint32, Move>> moves; // in order of first appearance
	for (const RawEvent& event : events) {
		if ((event.mask & (IN_MOVED_FROM | IN_MOVED_TO)) == 0 || mNodes.count(event.wd) == 0)
			continue;
		Move* move = nullptr;
		for (auto& item : moves) {
			if (item.first == event.cookie)
				move = &item.second;
		}
		if (move == nullptr) {
			moves.emplace_back(event.cookie, Move());
			move = &moves.back().second;
		}
		if ((event.mask & IN_MOVED_FROM) != 0) {
			move->fromWd = event.wd;
			move->fromName = event.name;
		} else {
			move->toWd = event.wd;
			move->toName = event.name;
		}
	}

	for (auto& item : moves) {
		Move& move = item.second;
		WatchedNode* from = move.fromWd >= 0 ? &mNodes[move.fromWd] : nullptr;
		WatchedNode* to = move.toWd >= 0 ? &mNodes[move.toWd] : nullptr;
		ino_t ino = 0;
		if (from != nullptr) {
			auto entry = from->entries.find(move.fromName);
			if (entry != from->entries.end()) {
				ino = entry->second;
				from->entries.erase(entry);
			}
		}
		if (to != nullptr) {
			struct stat info;
			if (fstatat(to->fd, move.toName.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0)
				ino = info.st_ino;
			if (ino != 0) {
				to->entries[move.toName] = ino;
				remember_child(*to, move.toName, ino);
			}
		}
		const node_ref& device = from != nullptr ? from->ref : to->ref;
		BMessage message = notice(B_ENTRY_MOVED, device);
		message.AddInt64("from directory", from != nullptr ? (int64)from->ref.node : 0);
		message.AddInt64("to directory", to != nullptr ? (int64)to->ref.node : 0);
		message.AddInt64("node", (int64)ino);
		message.AddString("name", to != nullptr ? move.toName.c_str() : move.fromName.c_str());
		message.AddString("from name", from != nullptr ? move.fromName.c_str() : "");
		if (from != nullptr)
			_Send(*from, B_WATCH_DIRECTORY, message, deliveries);
		if (to != nullptr && to != from)
			_Send(*to, B_WATCH_DIRECTORY, message, deliveries);
	}
}

void NodeMonitor::_HandleChange(WatchedNode& node, uint32 mask, std::vector<Delivery>* deliveries)
{
	uint32 flags = node.Flags();
	if ((flags & B_WATCH_ATTR) != 0 && (mask & IN_ATTRIB) != 0) {
		std::map<std::string, std::string> now = take_attributes(node.ProcPath());
		std::vector<std::string> changed;
		for (const auto& item : now) {
			auto old = node.attributes.find(item.first);
			if (old == node.attributes.end() || old->second != item.second)
				changed.push_back(item.first);
		}
		for (const auto& item : node.attributes) {
			if (now.count(item.first) == 0)
				changed.push_back(item.first);
		}
		node.attributes = std::move(now);
		for (const std::string& name : changed) {
			BMessage message = notice(B_ATTR_CHANGED, node.ref);
			message.AddInt64("node", (int64)node.ref.node);
			message.AddString("attr", name.c_str());
			_Send(node, B_WATCH_ATTR, message, deliveries);
		}
	}
	if ((flags & B_WATCH_STAT) != 0) {
		StatSnapshot now = take_stat(node.fd);
		if (!(now == node.stat)) {
			node.stat = now;
			BMessage message = notice(B_STAT_CHANGED, node.ref);
			message.AddInt64("node", (int64)node.ref.node);
			_Send(node, B_WATCH_STAT, message, deliveries);
		}
	}
}

void NodeMonitor::_Deliver(std::vector<Delivery>& deliveries)
{
	std::vector<BMessenger> gone;
	for (Delivery& delivery : deliveries) {
		if (delivery.target.SendMessage(&delivery.message) != B_OK && !delivery.target.IsValid())
			gone.push_back(delivery.target);
	}
	for (const BMessenger& target : gone)
		StopWatching(target);
}

NodeMonitor& monitor()
{
	// Built on first use, after the app kit's own state, so it is torn down
	// (and its thread stopped) before that state goes.
	static NodeMonitor sMonitor;
	return sMonitor;
}

} // namespace

status_t watch_node(const node_ref* node, uint32 flags, BMessenger target)
{
	if (node == nullptr)
		return B_BAD_VALUE;
	return monitor().Watch(*node, flags, target);
}

status_t watch_node(const node_ref* node, uint32 flags, const BHandler* handler,
                    const BLooper* looper)
{
	status_t status = B_OK;
	BMessenger target(handler, looper, &status);
	if (status != B_OK)
		return status;
	return watch_node(node, flags, target);
}

status_t stop_watching(BMessenger target)
{
	return monitor().StopWatching(target);
}

status_t stop_watching(const BHandler* handler, const BLooper* looper)
{
	status_t status = B_OK;
	BMessenger target(handler, looper, &status);
	if (status != B_OK)
		return status;
	return stop_watching(target);
}
