// BDirectory: an open folder, walked entry by entry.
#ifndef _DIRECTORY_H
#define _DIRECTORY_H

#include "Node.h"
#include "StorageDefs.h"

class BEntry;

class BDirectory : public BNode
{
public:
	BDirectory();
	BDirectory(const entry_ref* ref);
	BDirectory(const BEntry* entry);
	BDirectory(const char* path);
	BDirectory(const BDirectory* dir, const char* path);
	BDirectory(const BDirectory& other);
	virtual ~BDirectory();

	BDirectory& operator=(const BDirectory& other);

	// A path that is no folder gives B_NOT_A_DIRECTORY.
	status_t SetTo(const entry_ref* ref);
	status_t SetTo(const BEntry* entry);
	status_t SetTo(const char* path);
	status_t SetTo(const BDirectory* dir, const char* path);
	void Unset();

	// The folder's own entry.
	status_t GetEntry(BEntry* entry) const;

	// Next entry of the walk ("." and ".." are left out); B_ENTRY_NOT_FOUND
	// at the end. traverse: a link is replaced by its target; a link that
	// cannot be followed (a loop, or a target in a missing folder) is
	// returned as the link itself, so one bad link does not end a walk.
	status_t GetNextEntry(BEntry* entry, bool traverse = false);
	status_t Rewind();
	// Entries in the folder, "." and ".." left out. Restarts the walk.
	int32 CountEntries();

	// Whether path (relative to this folder, or absolute) names an entry
	// inside this folder, at any depth, of one of the given flavours.
	bool Contains(const char* path, int32 nodeFlags = B_ANY_NODE) const;
	bool Contains(const BEntry* entry, int32 nodeFlags = B_ANY_NODE) const;

private:
	void _CloseWalk();

	void* mWalk; // DIR* of the running walk
};

#endif // _DIRECTORY_H
