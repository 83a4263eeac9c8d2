// What every localetool subcommand prints the same way: the one line on bad
// input, the exit statuses and JSON strings.
#ifndef TOOL_OUTPUT_H
#define TOOL_OUTPUT_H

#include <string>
#include <string_view>

// Exit statuses, the same for every subcommand.
const int kExitDone = 0;
const int kExitWarnings = 1; // check: the translation has warnings
const int kExitBadInput = 2; // bad arguments, unreadable or invalid files

// Prints "localetool: FILE: what" on stderr and answers kExitBadInput.
int Fail(std::string_view file, const std::string& what);

// Prints "localetool: what" and a pointer to --help on stderr and answers
// kExitBadInput.
int UsageError(const std::string& what, const char* command);

// A JSON string: quotes, backslashes and control bytes escaped; bytes that
// are not valid UTF-8 become U+FFFD so that the output stays valid JSON.
std::string Json(std::string_view text);

#endif // TOOL_OUTPUT_H
