// BPath: an absolute path as a string.
#ifndef _PATH_H
#define _PATH_H

#include <string>

#include "EntryRef.h"
#include "SupportDefs.h"

class BDirectory;
class BEntry;

// A relative path is completed against the current folder. Redundant
// separators and "." are always removed. With normalize (or whenever the
// path holds ".."), the folder part is resolved on disk: links followed,
// ".." applied; that needs the folder to exist (B_ENTRY_NOT_FOUND
// otherwise). The leaf is never resolved.
class BPath
{
public:
	BPath();
	BPath(const char* dir, const char* leaf = nullptr, bool normalize = false);
	BPath(const BDirectory* dir, const char* leaf, bool normalize = false);
	BPath(const entry_ref* ref);
	BPath(const BEntry* entry);
	BPath(const BPath& other);
	virtual ~BPath();

	BPath& operator=(const BPath& other);
	BPath& operator=(const char* path);
	bool operator==(const BPath& other) const;
	bool operator==(const char* path) const;
	bool operator!=(const BPath& other) const { return !(*this == other); }

	status_t SetTo(const char* path, const char* leaf = nullptr, bool normalize = false);
	status_t SetTo(const BDirectory* dir, const char* leaf = nullptr, bool normalize = false);
	status_t SetTo(const entry_ref* ref);
	status_t SetTo(const BEntry* entry);
	void Unset();
	status_t InitCheck() const;

	// Appends a relative path (an absolute one gives B_BAD_VALUE).
	status_t Append(const char* path, bool normalize = false);
	// The folder that holds this path; B_ENTRY_NOT_FOUND for "/".
	status_t GetParent(BPath* path) const;

	// nullptr when not initialised. Valid until the path changes.
	const char* Path() const;
	// The last component ("" for "/"); nullptr when not initialised.
	const char* Leaf() const;

private:
	std::string mPath;
	status_t mStatus;
};

#endif // _PATH_H
