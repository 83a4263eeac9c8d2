#ifndef WORK_JOURNAL_H
#define WORK_JOURNAL_H

#include <string>
#include <vector>

#include <Message.h>
#include <Node.h>
#include <SupportDefs.h>

// The journal of one editor's unsaved work: a file in the editor's state
// folder holding the last snapshot of the text, the header fields and the
// file they belong to, so that work survives a crash, a power cut or a kill.
//
// Every editor keeps a journal of its own, named after its process and the
// moment it began ("<pid>-<start>.journal"), and holds the lock of a lock
// file beside it ("<same>.lock") for as long as it lives. The lock, not the
// process id, says whether a journal's editor still runs: it ends with the
// process however the process ends, and a reused process id cannot make a
// dead editor's journal look alive. A journal whose lock is free is an
// orphan, offered to the next editor that starts; a journal of a live editor
// is never offered to another.
//
// A snapshot is a message (kJournalFormat) whose fields are kJournalFile (the
// file's path, "" for an untitled text), kJournalTime (int64, seconds since
// the epoch), kJournalText and the header fields by their locale field names;
// kJournalFileStamp (a message, FileStamp) says what the file on disk was when
// the text was last loaded or saved, and may be missing.
// Write goes through the storage kit's safe write: the journal on disk is
// always a complete snapshot, the last or the one before.
//
// Not thread-safe: the editor writes and removes its journal on one thread
// (JournalWriter's); the static calls touch other editors' journals only.
class WorkJournal
{
public:
	static constexpr uint32 kJournalFormat = 'LEjn';
	static constexpr const char* kJournalFile = "file";
	static constexpr const char* kJournalTime = "time";
	static constexpr const char* kJournalText = "text";
	static constexpr const char* kJournalFileStamp = "file stamp";

	// Makes folder (mode 0700) when missing and takes this process's lock.
	explicit WorkJournal(const std::string& folder);
	// Lets the lock go and removes the lock file; the journal stays unless
	// Remove() was called, so that a quit that did not ask loses nothing.
	~WorkJournal();

	status_t InitCheck() const { return mStatus; }
	const std::string& Path() const { return mPath; }

	// Replaces the journal with snapshot (readable by the user alone).
	status_t Write(const BMessage& snapshot);
	// No unsaved work: the journal goes. B_OK when there was none.
	status_t Remove();

	// The orphans in folder, newest first. Lock files left without a journal
	// by editors that are gone are removed on the way.
	static std::vector<std::string> Orphans(const std::string& folder);
	// Reads a journal; B_BAD_DATA when it is not a complete snapshot.
	static status_t Read(const std::string& path, BMessage* snapshot);
	// Takes the lock of an orphan into claim, so that no other editor offers
	// it meanwhile; B_BUSY when another editor holds it.
	static status_t Claim(const std::string& path, BNode* claim);
	// Removes an orphan and its lock file.
	static status_t Discard(const std::string& path);
	// Moves a damaged journal aside (set_aside_damaged): never offered again, and
	// its bytes kept for whoever wants to look.
	static status_t SetAside(const std::string& path);

private:
	WorkJournal(const WorkJournal&) = delete;
	WorkJournal& operator=(const WorkJournal&) = delete;

	std::string mPath;
	std::string mLockPath;
	BNode mLock;
	status_t mStatus;
};

#endif // WORK_JOURNAL_H
