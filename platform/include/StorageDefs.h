// Constants of the storage kit: open modes and node flavours.
#ifndef _STORAGE_DEFS_H
#define _STORAGE_DEFS_H

#include "SupportDefs.h"

// Open modes of BFile. The values are the framework's; BFile translates
// them to the Linux flags, so they need not match <fcntl.h>.
enum {
	B_READ_ONLY = 0x0000,
	B_WRITE_ONLY = 0x0001,
	B_READ_WRITE = 0x0002,
	B_FAIL_IF_EXISTS = 0x0100,
	B_CREATE_FILE = 0x0200,
	B_ERASE_FILE = 0x0400,
	B_OPEN_AT_END = 0x0800,
};

// Node flavours, for BDirectory::Contains and the file panels.
enum node_flavor {
	B_FILE_NODE = 0x01,
	B_SYMLINK_NODE = 0x02,
	B_DIRECTORY_NODE = 0x04,
	B_ANY_NODE = 0x07,
};

#endif // _STORAGE_DEFS_H
