// SafeFile: a file that takes the place of another only once it is complete.
// Layer extension: the one safe write of the storage kit, used by everything
// that saves a document or a settings file.
#ifndef _SAFE_FILE_H
#define _SAFE_FILE_H

#include <string>

#include "File.h"

// SetTo(path) opens a new, empty file for reading and writing beside the file
// that path names (through a symbolic link: beside the link's final target,
// and the link stays). Write the new content and attributes through the BFile
// interface; a file that already exists is given the new file's permissions
// from the start, so the caller may still change them.
//
// Commit() flushes the new file to disk, renames it over the target and
// flushes the folder, so the target is at every moment either the old file
// or the complete new one. Destruction, Unset() or a failed Commit() remove
// the new file and leave the target untouched.
//
// The new file is named ".<leaf>.save-<process id>-<n>" while it is written;
// SetTo tries 16 values of n before it gives up on B_FILE_EXISTS.
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

	// B_OK once the new file is in place. Afterwards (and after a failure)
	// the object is unset. A failure to flush the folder after the rename is
	// not reported: the file is complete either way.
	status_t Commit();

	// Whether a file was at path when SetTo ran.
	bool ReplacesFile() const { return mReplaces; }
	// The file that Commit replaces (links resolved).
	const char* TargetPath() const { return mTarget.c_str(); }

private:
	SafeFile(const SafeFile&) = delete;
	SafeFile& operator=(const SafeFile&) = delete;

	status_t _CreateTemporary(const std::string& folder, const std::string& leaf);
	void _Discard();

	std::string mTarget;
	std::string mFolder;
	std::string mTemporary; // empty once committed or discarded
	bool mReplaces;
};

#endif // _SAFE_FILE_H
