// SafeFile: a file that takes the place of another only once it is complete.
// Layer extension: the one safe write of the storage kit, used by everything
// that saves a document or a settings file.
#ifndef _SAFE_FILE_H
#define _SAFE_FILE_H

#include <string>
#include <sys/types.h>

#include "File.h"

// SetTo(path) opens a new, empty file for reading and writing beside the file
// that path names (through a symbolic link: beside the link's final target,
// and the link stays). When a file is there, the new one starts out with what
// it carried: every extended attribute, the owner and group (where this
// process may set them) and the mode. Write the new content and attributes
// through the BFile interface; what the caller writes wins over the copies.
//
// Commit() flushes the new file to disk and renames it over the target, then
// flushes the folder: the target is at every moment either the old file or
// the complete new one.
//
// A rename makes a new node, so two kinds of target are written in place
// instead, over their own bytes: one with more than one hard link (every
// name must see the new text) and one whose owner or group the new file
// could not take over (only root may give a file away; a user who may write
// another user's file must not become its owner by saving it). In place,
// the complete new file is first named beside the target
// (".<leaf>.inplace-<inode>-<process id>-<n>") and flushed with its folder;
// the target is marked with that copy's path (the attribute
// "safefile:complete-copy") and flushed; then bytes, attributes and mode
// (where this process may set it) are copied over, the target is flushed,
// the mark dropped, and only then the copy removed. A process killed
// meanwhile, or a failure, leaves the mark and the complete copy, and
// repair_interrupted_write makes the target whole from them.
//
// Destruction, Unset() or a failure before that remove the new file and leave
// the target untouched. Where the file system allows it the new file has no
// name until Commit, so a process killed while saving leaves nothing; else,
// and for the moment between naming and rename, it is named
// ".<leaf>.save-<process id>-<n>" (16 values of n are tried, then
// B_FILE_EXISTS). SetTo removes names of that pattern for the same leaf whose
// process no longer runs.
//
// SetTo first finishes an interrupted in place write of the target (as
// repair_interrupted_write does), so that what the new file takes over is
// whole.
//
// Status codes: SetTo gives B_IS_A_DIRECTORY for a folder at path,
// B_NOT_ALLOWED for another node that is no regular file, and the system's
// reason when the folder is missing or refuses the new file. The BFile
// setters (SetTo with an open mode, Unset of the base) must not be called on
// a SafeFile.
class SafeFile : public BFile
{
public:
	SafeFile();
	explicit SafeFile(const char* path);
	virtual ~SafeFile();

	status_t SetTo(const char* path);
	// Discards what was written; the target stays as it is.
	void Unset();

	// B_OK once the new text is in place. Afterwards (and after a failure)
	// the object is unset. A failure to flush the folder at the end is not
	// reported: the file is complete either way.
	status_t Commit();

	// Whether a file was at path when SetTo ran.
	bool ReplacesFile() const { return mReplaces; }
	// The file that Commit replaces (links resolved).
	const char* TargetPath() const { return mTarget.c_str(); }

private:
	SafeFile(const SafeFile&) = delete;
	SafeFile& operator=(const SafeFile&) = delete;

	status_t _CreateAnonymous();
	status_t _CreateTemporary();
	status_t _GiveName();
	status_t _TakeOverFromTarget();
	status_t _NameCompleteCopy(ino_t target);
	status_t _CommitInPlace(ino_t target);
	void _Discard();

	std::string mTarget;
	std::string mFolder;
	std::string mLeaf;
	std::string mTemporary; // the new file's name while it has one

	bool mReplaces;
};

// What repair_interrupted_write found.
enum interrupted_write_outcome {
	// Nothing to finish (or a save that still runs, which is left alone).
	B_WRITE_WAS_WHOLE = 0,
	// The file was made whole from its complete copy, and the copy removed.
	B_WRITE_REPAIRED,
	// The file could not be made whole (it cannot be written, the disk
	// refused): its complete new text stays in the copy.
	B_WRITE_COPY_KEPT
};

struct interrupted_write_report
{
	interrupted_write_outcome outcome = B_WRITE_WAS_WHOLE;
	// The complete copy's path: where it was (repaired) or where it is
	// (kept); empty otherwise.
	std::string copy;
};

// Finishes an in place write of the file at path (links followed) that was
// cut short, before anything reads it: when the file carries the mark of
// one, or, on a file system without attributes, a complete copy for it lies
// beside it, the copy is written over it as Commit would have. A copy whose
// save has finished (its mark is gone) is removed. B_OK when the file is
// whole (report says whether it was repaired); otherwise the reason, and
// report tells where the complete copy is. report may be null.
status_t repair_interrupted_write(const char* path, interrupted_write_report* report);

// Whether leaf is the name of a file a save keeps beside its target while it
// runs or after it was cut short (a new file not yet in place, or the
// complete copy of an in place write). Those are no documents of their own:
// a folder walk looking for documents passes them by.
bool is_safe_save_leftover(const char* leaf);

// Moves a file that does not read back out of the way, to "<path>.damaged" or,
// where that is taken, "<path>.damaged-2" and on: never over an earlier copy,
// since each may be the one worth having. Its bytes stay as they are. The
// name it took goes to aside (may be null). B_FILE_EXISTS when 99 copies
// are there already.
status_t set_aside_damaged(const char* path, std::string* aside);

#endif // _SAFE_FILE_H
