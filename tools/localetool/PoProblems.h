// Collects what gettext's PO library reports while reading a PO file, so
// that localetool can say it in its one line. The library's handler must not
// return from a fatal error: then the line is printed here and the program
// ends with kExitBadInput, before anything was written.
#ifndef PO_PROBLEMS_H
#define PO_PROBLEMS_H

#include <gettext-po.h>

#include <string>

class PoProblems
{
public:
	// Starts collecting for file (named in the line of a fatal error).
	static void Begin(const std::string& file);

	// The handler to hand to the library's calls.
	static po_xerror_handler_t Handler();

	// The first error reported since Begin, or an empty string.
	static const std::string& FirstError();
};

#endif // PO_PROBLEMS_H
