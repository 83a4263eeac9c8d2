// BEntry: a named place in a folder (folder path + leaf name), which may or
// may not exist. node_ref lives in Node.h.
#ifndef _ENTRY_H
#define _ENTRY_H

#include <string>

#include "EntryRef.h"
#include "Node.h"
#include "StorageDefs.h"
#include "SupportDefs.h"

class BDirectory;
class BPath;

// Paths are UTF-8 byte strings; relative paths are taken against the
// current folder at the time of the call. The folder of an entry is kept
// resolved (no links, no "." or ".."); the leaf is kept as given, so an
// entry may name a link. An entry is valid (InitCheck() == B_OK) when its
// folder exists; the leaf itself need not exist (see Exists).
class BEntry
{
public:
	BEntry();
	BEntry(const char* path, bool traverse = false);
	BEntry(const entry_ref* ref, bool traverse = false);
	BEntry(const BDirectory* dir, const char* path, bool traverse = false);
	BEntry(const BEntry& other);
	virtual ~BEntry();

	BEntry& operator=(const BEntry& other);
	bool operator==(const BEntry& other) const;
	bool operator!=(const BEntry& other) const { return !(*this == other); }

	// traverse: when the named entry is a symbolic link, the entry becomes
	// the link's final target (which must lie in an existing folder).
	status_t SetTo(const char* path, bool traverse = false);
	status_t SetTo(const entry_ref* ref, bool traverse = false);
	status_t SetTo(const BDirectory* dir, const char* path, bool traverse = false);
	void Unset();
	status_t InitCheck() const;

	bool Exists() const;
	status_t GetRef(entry_ref* ref) const;
	status_t GetPath(BPath* path) const;
	// The folder holding this entry; B_ENTRY_NOT_FOUND for the root.
	status_t GetParent(BEntry* entry) const;
	status_t GetParent(BDirectory* dir) const;
	// Copies the leaf name; the buffer holds at least B_FILE_NAME_LENGTH bytes.
	status_t GetName(char* buffer) const;
	// The node of the entry itself (a link is not followed). The node and
	// its path are remembered so that the node monitor can find the path.
	status_t GetNodeRef(node_ref* ref) const;

	bool IsFile() const;
	bool IsDirectory() const;
	bool IsSymLink() const;

	// Renames within the file system. path: absolute, or relative to the
	// entry's folder. clobber: replace an existing entry of that name
	// (atomically, by rename(2)); otherwise B_FILE_EXISTS.
	status_t Rename(const char* path, bool clobber = false);
	status_t MoveTo(const BDirectory* dir, const char* path = nullptr, bool clobber = false);
	// Deletes the file, link or empty folder that the entry names.
	status_t Remove();

	// Layer extension: the full path, or "" when not initialised.
	std::string FullPath() const;

private:
	status_t _SetFromPath(const std::string& absolute, bool traverse);

	std::string mFolder; // resolved absolute folder, "/" for the root
	std::string mLeaf;   // leaf name; empty only for the root itself
	status_t mStatus;
};

// The entry_ref for a path (the path need not exist, its folder must).
status_t get_ref_for_path(const char* path, entry_ref* ref);

// Creates a folder and every missing parent. An existing folder is no
// error; an existing file in the way gives B_NOT_A_DIRECTORY.
status_t create_directory(const char* path, mode_t mode);

#endif // _ENTRY_H
