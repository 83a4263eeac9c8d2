#ifndef JOURNAL_WRITER_H
#define JOURNAL_WRITER_H

#include <string>

#include <Looper.h>

class WorkJournal;

// Writes the journal of unsaved work on a thread of its own, so that the
// window never waits for the disk (a snapshot may be many megabytes, and
// the safe write flushes it). The window hands it copies; the writer does
// what it is given in order, so a removal after a save is never undone by
// a snapshot taken before it.
//
// Made and run by the window, which keeps the journal it writes; Stop()
// (from the window's thread) ends the thread and deletes the looper. What
// is still queued then is dropped: the journal holds the last snapshot
// written, never a part of one.
class JournalWriter : public BLooper
{
public:
	explicit JournalWriter(WorkJournal* journal);

	// Queue a snapshot (a copy is taken), the journal's removal, and the
	// removal of an orphan restored or discarded (after what was queued
	// before, so a restored text is in this editor's journal first).
	void Write(const BMessage& snapshot);
	void Remove();
	void DiscardOrphan(const std::string& path);

	void Stop();

	void MessageReceived(BMessage* message) override;

private:
	WorkJournal* mJournal;
};

#endif // JOURNAL_WRITER_H
