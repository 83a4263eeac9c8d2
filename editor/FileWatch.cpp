#include "FileWatch.h"

#include <sys/stat.h>

#include <Entry.h>
#include <Looper.h>
#include <Message.h>
#include <MessageRunner.h>
#include <Messenger.h>
#include <NodeMonitor.h>
#include <Path.h>

#include "EditorMessages.h"

namespace {

// The watch asks itself to look once the notices have settled.
const uint32 kMsgSettled = 'fwst';

} // namespace

FileStamp FileStamp::Of(const std::string& path)
{
	FileStamp stamp;
	struct stat info;
	if (path.empty() || stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
		return stamp;
	stamp.exists = true;
	stamp.node = node_ref(info.st_dev, info.st_ino);
	stamp.size = info.st_size;
	stamp.modified = (int64)info.st_mtim.tv_sec * 1000000000 + info.st_mtim.tv_nsec;
	return stamp;
}

namespace {

const char* const kStampNode = "node";
const char* const kStampDevice = "device";
const char* const kStampSize = "size";
const char* const kStampModified = "modified";

} // namespace

BMessage FileStamp::ToMessage() const
{
	BMessage message;
	if (!exists)
		return message;
	message.AddInt64(kStampDevice, (int64)node.device);
	message.AddInt64(kStampNode, (int64)node.node);
	message.AddInt64(kStampSize, (int64)size);
	message.AddInt64(kStampModified, modified);
	return message;
}

FileStamp FileStamp::FromMessage(const BMessage& message)
{
	FileStamp stamp;
	int64 device = 0, node = 0, size = 0, modified = 0;
	if (message.FindInt64(kStampDevice, &device) != B_OK ||
	    message.FindInt64(kStampNode, &node) != B_OK ||
	    message.FindInt64(kStampSize, &size) != B_OK ||
	    message.FindInt64(kStampModified, &modified) != B_OK)
		return stamp;
	stamp.exists = true;
	stamp.node = node_ref((dev_t)device, (ino_t)node);
	stamp.size = (off_t)size;
	stamp.modified = modified;
	return stamp;
}

bool FileStamp::operator==(const FileStamp& other) const
{
	if (exists != other.exists)
		return false;
	return !exists || (node == other.node && size == other.size && modified == other.modified);
}

FileWatch::FileWatch() : BHandler("file watch") {}

FileWatch::~FileWatch()
{
	stop_watching(this, Looper());
}

void FileWatch::Watch(const std::string& path, const FileStamp* baseline)
{
	Forget();
	mPath = path;
	mBaseline = baseline != nullptr ? *baseline : FileStamp::Of(path);
	// A change before the watch began is reported by no notice: it is asked
	// about when the text is saved.
	mSeen = FileStamp::Of(path);
	_WatchNodes();
}

void FileWatch::Forget()
{
	stop_watching(this, Looper());
	mSettle.reset();
	mPath.clear();
	mBaseline = mSeen = FileStamp();
	mWatchedFile = node_ref();
}

void FileWatch::Seen()
{
	mSeen = FileStamp::Of(mPath);
}

bool FileWatch::ChangedOnDisk(const std::string& path) const
{
	if (mPath.empty())
		return false;
	// By node, not by spelling: a link or a second name of the file counts.
	const FileStamp now = FileStamp::Of(mPath);
	const FileStamp target = FileStamp::Of(path);
	return now.exists && target.exists && target.node == now.node && now != mBaseline;
}

void FileWatch::_WatchNodes()
{
	if (mPath.empty() || Looper() == nullptr)
		return;
	BPath path(mPath.c_str());
	BPath folder;
	node_ref node;
	// The folder sees a rename over the file, a delete and a new file of
	// the name; the file sees writes in place.
	if (path.GetParent(&folder) == B_OK && BEntry(folder.Path()).GetNodeRef(&node) == B_OK)
		watch_node(&node, B_WATCH_DIRECTORY, this, Looper());
	BEntry file(mPath.c_str());
	if (file.GetNodeRef(&node) == B_OK && node != mWatchedFile) {
		if (watch_node(&node, B_WATCH_STAT | B_WATCH_NAME, this, Looper()) == B_OK)
			mWatchedFile = node;
	}
}

void FileWatch::MessageReceived(BMessage* message)
{
	switch (message->what) {
	case B_NODE_MONITOR:
		if (mPath.empty())
			break;
		// Looked at once the writer has been quiet for a moment.
		if (mSettle != nullptr) {
			mSettle->SetCount(1);
		} else {
			BMessage settled(kMsgSettled);
			mSettle =
			    std::make_unique<BMessageRunner>(BMessenger(this, Looper()), &settled, kSettle, 1);
		}
		break;
	case kMsgSettled:
		_Settled();
		break;
	default:
		BHandler::MessageReceived(message);
		break;
	}
}

void FileWatch::_Settled()
{
	if (mPath.empty() || Looper() == nullptr)
		return;
	const FileStamp now = FileStamp::Of(mPath);
	// A file put in place by a rename is another node: watched from now on.
	if (!now.exists || now.node != mWatchedFile)
		mWatchedFile = node_ref();
	_WatchNodes();
	if (now == mSeen)
		return;
	mSeen = now;
	if (now == mBaseline)
		return;
	BMessage changed(kMsgFileChangedOnDisk);
	changed.AddString(kFieldFile, mPath.c_str());
	changed.AddBool(kFieldDeleted, !now.exists);
	Looper()->PostMessage(&changed, Looper());
}
