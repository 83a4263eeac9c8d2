// The bytes of the PO file import-po reads. gettext's library would read
// whatever a name leads to, for ever from /dev/zero or a pipe; so the file
// is opened here once, must be a regular file (links followed, checked on
// the open descriptor) and is read up to a limit. The library then reads
// these bytes, never the name again.
#ifndef PO_INPUT_H
#define PO_INPUT_H

#include <cstddef>
#include <string>

// The largest PO file import-po reads: a PO file for the largest locale file
// the readers accept (kLocaleFileMaxSize, 64 MiB) holds its texts and their
// msgids, about twice that.
const size_t kMaxPoFileSize = 128 * 1024 * 1024;

class PoInput
{
public:
	// Reads the file at path into bytes. On failure answers false with the
	// reason in error, ready to follow "localetool: FILE: ".
	static bool Read(const std::string& path, std::string* bytes, std::string* error,
	                 size_t limit = kMaxPoFileSize);
};

#endif // PO_INPUT_H
