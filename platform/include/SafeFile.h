// SafeFile: a file that takes the place of another only once it is complete.
// Layer extension: the one safe write of the storage kit, used by everything
// that saves a document or a settings file.
#ifndef _SAFE_FILE_H
#define _SAFE_FILE_H

#include <string>

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
// the complete new one. A target with more than one hard link is written in
// place instead, so that every name sees the new text: the complete new file
// is first given a name beside it and flushed, then copied over the target
// (bytes, attributes, mode), and removed once the target is flushed. An in
// place write that fails after it began leaves that complete copy beside the
// target.
//
// Destruction, Unset() or a failure before that remove the new file and leave
// the target untouched. Where the file system allows it the new file has no
// name until Commit, so a process killed while saving leaves nothing; else,
// and for the moment between naming and rename, it is named
// ".<leaf>.save-<process id>-<n>" (16 values of n are tried, then
// B_FILE_EXISTS). SetTo removes names of that pattern for the same leaf whose
// process no longer runs.
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
	status_t _WriteInPlace(bool* touched);
	void _Discard();

	std::string mTarget;
	std::string mFolder;
	std::string mLeaf;
	std::string mTemporary; // the new file's name while it has one

	bool mReplaces;
};

#endif // _SAFE_FILE_H
