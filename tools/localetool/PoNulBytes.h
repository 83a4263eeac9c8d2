// NUL bytes in a PO file, raw or written as an escape ("\0", "\000",
// "\x00", and "\400" or "\x100", which the reader takes modulo 256).
// gettext's library keeps strings NUL-terminated, so it hands out a text
// cut at the first one without a word; import-po looks for them in the
// bytes first and refuses, naming the entry.
#ifndef PO_NUL_BYTES_H
#define PO_NUL_BYTES_H

#include <string>
#include <string_view>

class PoNulBytes
{
public:
	// Answers false when the PO text po holds no NUL byte; else true with
	// where (line, entry and keyword) and why in message, ready to follow
	// "localetool: FILE: ".
	static bool Find(std::string_view po, std::string* message);
};

#endif // PO_NUL_BYTES_H
