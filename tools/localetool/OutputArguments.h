// The arguments of the commands that read files and write one: export-po and
// import-po take their files and -o OUT (or --output OUT) alike.
#ifndef OUTPUT_ARGUMENTS_H
#define OUTPUT_ARGUMENTS_H

#include <string>
#include <string_view>
#include <vector>

#include "ToolCommands.h"

struct OutputArguments
{
	std::vector<std::string_view> files;
	std::string outPath; // empty when no -o was given
};

// Splits the arguments of command into files and the output; kExitDone, or
// the usage error's status (already printed) on an unknown option or when -o
// lacks its file or comes twice. How many files there must be the command
// checks itself.
int SplitOutputArguments(const ToolArguments& arguments, const char* command,
                         OutputArguments* split);

#endif // OUTPUT_ARGUMENTS_H
