// Writing a file over its own bytes without ever losing it: shared by
// SafeFile (which does it) and repair_interrupted_write (which finishes it
// after a crash). Not part of the public API.
#ifndef _IN_PLACE_WRITE_H
#define _IN_PLACE_WRITE_H

#include <string>
#include <sys/types.h>

#include "SupportDefs.h"

namespace BPrivate {

// The attribute an in place write puts on the file while its bytes are
// mixed: the path of the complete copy that makes it whole again. Being on
// the node, every hard link sees it. copy_xattrs neither copies nor removes
// it.
extern const char* const kCompleteCopyAttr;

// A leaf no longer than this goes into the names below whole; a longer one
// is cut, leaving room for the suffix within 255 bytes.
const size_t kMaxLeafInName = 200;

// ".<leaf>.inplace-<inode of the target>-<this process>-<attempt>": the
// complete, synced new file kept beside a target while it is overwritten.
std::string complete_copy_leaf(const std::string& leaf, ino_t target, int attempt);

// Reads a name of that pattern: the leaf it was made for (cut as above),
// the target's inode and the writer's process. False for any other name.
bool parse_complete_copy(const std::string& name, std::string* leaf, ino_t* target, pid_t* writer);

// A process that may still be writing: this one, or one that runs (or that
// we may not signal, which also means it runs).
bool process_runs(pid_t pid);

// Flushes a folder, so that a name made or removed in it lasts.
void sync_folder(const std::string& folder);

// Overwrites the file open as target (for writing) with the complete file
// open as from: first marks target with copyPath and flushes that, then
// copies bytes, length, attributes and mode, flushes, and only then drops the
// mark. touched: whether target was marked (or, without attributes, was to
// be written); once it was, a failure leaves it so, and copyPath must stay. A mode the process may
// not set (the file is another user's) stays as it is.
status_t write_in_place(int from, int target, const std::string& copyPath, bool* touched);

} // namespace BPrivate

#endif // _IN_PLACE_WRITE_H
