// entry_ref: a folder plus a leaf name. On this layer a ref also carries
// its folder's path, so that it can be opened without a device/inode
// look-up; device and directory hold the folder's st_dev and st_ino when
// known (0 otherwise).
#ifndef _ENTRY_REF_H
#define _ENTRY_REF_H

#include <string>

#include "SupportDefs.h"

struct entry_ref
{
	entry_ref();
	entry_ref(dev_t device, ino_t directory, const char* name);
	// Our own: a ref from a folder path and a leaf name (no file system
	// look-up; device and directory stay 0).
	entry_ref(const char* directoryPath, const char* name);
	entry_ref(const entry_ref& other);
	~entry_ref();

	entry_ref& operator=(const entry_ref& other);
	// Equal when the names match and the folders are the same: by device and
	// inode when both refs know them, by path otherwise.
	bool operator==(const entry_ref& other) const;
	bool operator!=(const entry_ref& other) const { return !(*this == other); }

	status_t set_name(const char* name); // nullptr clears the name

	// The folder's absolute path ("" when unknown).
	const char* DirectoryPath() const { return mDirectoryPath.c_str(); }
	void SetDirectoryPath(const char* path) { mDirectoryPath = path != nullptr ? path : ""; }
	// Folder path + "/" + name; "" when either is missing.
	std::string FullPath() const;

	dev_t device;
	ino_t directory;
	char* name; // owned; nullptr when unset

private:
	std::string mDirectoryPath;
};

#endif // _ENTRY_REF_H
