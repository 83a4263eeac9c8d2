#ifndef FILE_WATCH_H
#define FILE_WATCH_H

#include <memory>
#include <string>

#include <Handler.h>
#include <Message.h>
#include <Node.h>

class BMessageRunner;

// What tells one state of a file on disk from another without reading it:
// the node (a replace by rename gives a new one), its size and its
// modification time to the nanosecond.
struct FileStamp
{
	bool exists = false;
	node_ref node;
	off_t size = 0;
	int64 modified = 0;

	static FileStamp Of(const std::string& path);
	// As a message and back; a message that is no stamp gives "no file".
	BMessage ToMessage() const;
	static FileStamp FromMessage(const BMessage& message);
	bool operator==(const FileStamp& other) const;
	bool operator!=(const FileStamp& other) const { return !(*this == other); }
};

// Watches the file the window has open for changes made by other programs:
// the file itself (rewritten in place) and its folder (replaced by a rename,
// deleted, made anew). Notices come in bursts while a program writes, so the
// file is looked at once they have settled (kSettle), and reported to the
// window (kMsgFileChangedOnDisk, with kFieldDeleted) when it differs from
// what the editor last loaded or saved and from what was last reported. The
// editor's own saves never count: they set what was saved as the state to
// compare with.
//
// A handler of the window (AddHandler before Watch); the window's thread
// only.
class FileWatch : public BHandler
{
public:
	static constexpr bigtime_t kSettle = 250000;

	FileWatch();
	~FileWatch() override;

	// The file was loaded or saved: what is on disk now is the editor's. With
	// baseline, the file was the editor's as baseline says (restored work).
	void Watch(const std::string& path, const FileStamp* baseline = nullptr);
	const FileStamp& Baseline() const { return mBaseline; }
	// No file (New).
	void Forget();
	// The change reported is seen and answered (Keep Mine): not reported
	// again, though a save still asks before writing over it.
	void Seen();
	const std::string& Path() const { return mPath; }
	// Whether path names the watched file, which is there and is no longer
	// what the editor loaded or saved.
	bool ChangedOnDisk(const std::string& path) const;

	void MessageReceived(BMessage* message) override;

private:
	void _WatchNodes();
	void _Settled();

	std::string mPath;
	FileStamp mBaseline;
	FileStamp mSeen;
	node_ref mWatchedFile;
	std::unique_ptr<BMessageRunner> mSettle;
};

#endif // FILE_WATCH_H
