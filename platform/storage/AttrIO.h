// Raw access to a node's extended attributes, shared by BNode and
// BNodeInfo. Names here are the full Linux names ("user.…").
#ifndef _ATTR_IO_H
#define _ATTR_IO_H

#include <string>
#include <vector>

#include "SupportDefs.h"

namespace BPrivate {

// Where the xattr calls go: an open descriptor, or, for a node opened
// without read access (O_PATH), its /proc/self/fd path.
struct AttrTarget
{
	int fd;
	bool pathOnly;
};

status_t read_xattr(const AttrTarget& target, const std::string& name, std::vector<char>* value);
status_t write_xattr(const AttrTarget& target, const std::string& name, const void* data,
                     size_t size);
status_t remove_xattr(const AttrTarget& target, const std::string& name);
// Every attribute name of the node, in every namespace.
status_t list_xattrs(const AttrTarget& target, std::vector<std::string>* names);
// Gives to every attribute of from. Names outside "user." (security labels,
// access lists, trusted ones) are copied where the process may set them and
// skipped otherwise. exact: attributes of to that from lacks are removed.
// The mark of an unfinished in place write (kCompleteCopyAttr) is neither
// copied nor removed.
status_t copy_xattrs(const AttrTarget& from, const AttrTarget& to, bool exact);

} // namespace BPrivate

#endif // _ATTR_IO_H
