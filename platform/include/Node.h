// node_ref (device + inode) and BNode: an open file-system node with
// attributes.
#ifndef _NODE_H
#define _NODE_H

#include <string>

#include "EntryRef.h"
#include "SupportDefs.h"
#include "fs_attr.h"

class BDirectory;
class BEntry;

struct node_ref
{
	node_ref();
	node_ref(dev_t device, ino_t node);

	bool operator==(const node_ref& other) const;
	bool operator!=(const node_ref& other) const;
	bool operator<(const node_ref& other) const;

	dev_t device;
	ino_t node;
};

// A node is opened on its final target: links are followed.
//
// Attributes: an attribute NAME is the Linux extended attribute
// "user.NAME" and holds the caller's bytes exactly, so other tools read
// them as they are (getfattr -n user.zt:language). The kernel keeps no type
// code, so the layer keeps one where it must:
//  - WriteAttr with B_STRING_TYPE stores nothing else (and drops a type
//    kept from an earlier write);
//  - any other type is kept as 4 bytes (the code, most significant byte
//    first, so 'LONG' reads "LONG") in the companion attribute
//    "user.attr-type:NAME";
//  - GetAttrInfo reports the kept type, or, where none is kept (an
//    attribute written by another tool), B_STRING_TYPE when the bytes are
//    valid UTF-8 without NUL bytes (a final NUL allowed) and B_RAW_TYPE
//    otherwise.
// ReadAttr ignores the type argument, as the framework's file systems do.
// WriteAttr at offset 0 replaces the whole value; at a larger offset it
// patches the value, filling a gap with zero bytes.
// On a file system without extended attributes every attribute call fails
// with B_NOT_SUPPORTED and nothing else is affected; a missing attribute
// gives B_ENTRY_NOT_FOUND.
class BNode
{
public:
	BNode();
	BNode(const entry_ref* ref);
	BNode(const BEntry* entry);
	BNode(const char* path);
	BNode(const BNode& other);
	virtual ~BNode();

	BNode& operator=(const BNode& other);

	status_t SetTo(const entry_ref* ref);
	status_t SetTo(const BEntry* entry);
	status_t SetTo(const char* path);
	// Closes the node; InitCheck() then answers B_NO_INIT.
	void Unset();
	status_t InitCheck() const;

	// Bytes read or written, or a negative status code.
	ssize_t ReadAttr(const char* name, type_code type, off_t offset, void* buffer,
	                 size_t size) const;
	ssize_t WriteAttr(const char* name, type_code type, off_t offset, const void* buffer,
	                  size_t size);
	status_t RemoveAttr(const char* name);
	status_t GetAttrInfo(const char* name, attr_info* info) const;

	status_t GetNodeRef(node_ref* ref) const;
	// Writes the node's data to the disk (fsync).
	status_t Sync();
	// Reserves the node for this BNode: while it holds the lock, Lock() on
	// any other BNode of the same node, in this process or another, fails
	// with B_BUSY instead of waiting. The lock ends with Unlock(), Unset(),
	// destruction, or the process (a crash included). B_NOT_ALLOWED when
	// this BNode already holds it, B_BAD_VALUE from Unlock() when it does
	// not. Advisory: reading and writing the node are not affected.
	status_t Lock();
	status_t Unlock();
	// Permission bits (07777) of the node.
	status_t GetPermissions(mode_t* permissions) const;
	status_t SetPermissions(mode_t permissions);

	// Layer extension: the path the node was opened under, links resolved.
	const char* NodePath() const;

protected:
	// flags: Linux open(2) flags. Used by BFile and BDirectory.
	// allowPathOnly: without read permission, fall back to a descriptor that
	// only reaches the node's attributes.
	status_t _Open(const char* path, int flags, mode_t mode = 0666, bool allowPathOnly = false);
	int _Descriptor() const { return mFd; }
	bool _IsPathOnly() const { return mPathOnly; }
	void _SetStatus(status_t status) { mStatus = status; }

private:
	friend class BNodeInfo;

	int mFd;
	bool mLocked = false;
	bool mPathOnly; // opened with O_PATH: no read permission for us
	std::string mPath;
	status_t mStatus;
};

#endif // _NODE_H
