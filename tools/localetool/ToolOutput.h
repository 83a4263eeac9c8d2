// What every localetool subcommand prints the same way: the one line on bad
// input, notes, the exit statuses and JSON strings.
#ifndef TOOL_OUTPUT_H
#define TOOL_OUTPUT_H

#include <string>
#include <string_view>

// Exit statuses, the same for every subcommand.
const int kExitDone = 0;
const int kExitWarnings = 1; // check: the translation has warnings
const int kExitBadInput = 2; // bad arguments, unreadable or invalid files

// Text from outside (file names, msgids, header values, what gettext's
// library says about them) made safe for a terminal: control bytes, C1
// controls and bytes that are not valid UTF-8 become "\n", "\t", "\r" or
// "\xNN", so that a hostile file cannot retitle the window or move the
// cursor. Valid UTF-8 and backslashes stay, so that escaping twice changes
// nothing.
std::string Printable(std::string_view text);

// Prints "localetool: FILE: what" on stderr, both printable, and answers
// kExitBadInput.
int Fail(std::string_view file, const std::string& what);

// Prints "localetool: FILE: what" on stderr, both printable: something the
// user should know although the command did its work.
void Note(std::string_view file, const std::string& what);

// Prints "localetool: what" (printable) and a pointer to --help on stderr and
// answers kExitBadInput.
int UsageError(const std::string& what, const char* command);

// A JSON string: quotes, backslashes and control bytes escaped; bytes that
// are not valid UTF-8 become U+FFFD so that the output stays valid JSON.
std::string Json(std::string_view text);

#endif // TOOL_OUTPUT_H
