#ifndef JOURNAL_KEEPER_H
#define JOURNAL_KEEPER_H

#include <memory>
#include <string>

#include <Messenger.h>
#include <Node.h>

class BMessage;
class BMessageRunner;
class JournalWriter;
class WorkJournal;

// The window's side of the journal of unsaved work: when to take a snapshot,
// handing it to the writer, and the orphans of editors that are gone.
//
// While the text changes the window gets a tick (kMsgJournalTick) every
// kInterval, and takes its snapshot then; while the text rests there are
// no ticks and nothing is written. Everything here runs on the window's
// thread; the writing happens on the writer's.
class JournalKeeper
{
public:
	static constexpr bigtime_t kInterval = 2000000;

	JournalKeeper();
	// Ends the writer; the journal stays (see Stop).
	~JournalKeeper();

	// Journals into folder; ticks go to window. Without a usable folder
	// nothing is journalled, and the editor works on.
	status_t Start(const std::string& folder, const BMessenger& window);
	bool IsStarted() const { return mWriter != nullptr; }
	const std::string& Folder() const { return mFolder; }

	// The text or a header field changed: a tick within kInterval unless
	// one is due already.
	void Changed();
	// The tick came: the snapshot to journal, or (Clear) there is no unsaved
	// work and the journal goes.
	void Write(const BMessage& snapshot);
	void Clear();

	// The newest orphan that reads, claimed for this editor (its snapshot and
	// path); damaged ones on the way are set aside. False when there is none.
	bool ClaimOrphan(BMessage* snapshot, std::string* path);
	// The claimed orphan is restored or discarded: it goes, after whatever
	// was handed to the writer before.
	void DropOrphan();

	// Ends the writer and the ticks; with remove the journal goes too (a
	// quit that had no unsaved work, or whose work the user let go).
	void Stop(bool remove);

private:
	JournalKeeper(const JournalKeeper&) = delete;
	JournalKeeper& operator=(const JournalKeeper&) = delete;

	std::string mFolder;
	std::unique_ptr<WorkJournal> mJournal;
	JournalWriter* mWriter = nullptr;
	BMessenger mWindow;
	std::unique_ptr<BMessageRunner> mTicks;
	bool mTickDue = false;
	// Whether this editor's journal may exist: nothing to remove otherwise.
	bool mWritten = false;
	std::string mOrphan;
	BNode mOrphanClaim;
};

#endif // JOURNAL_KEEPER_H
