// The arguments of the commands that read files and write one: export-po and
// import-po take their files and -o OUT (or --output OUT) alike.
#ifndef OUTPUT_ARGUMENTS_H
#define OUTPUT_ARGUMENTS_H

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "ToolCommands.h"

// What a command takes: its name, how many files at the least and at the
// most, and the usage error that says so.
struct OutputUsage
{
	const char* command;
	size_t leastFiles;
	size_t mostFiles;
	const char* takes;
};

struct OutputArguments
{
	std::vector<std::string_view> files;
	std::string outPath;
};

// Splits the arguments into files and the output and answers what run
// answers for them; or, after printing the usage error, its status: an
// unknown option, -o without its file, -o twice or not at all, too few or
// too many files.
int RunWithOutput(const ToolArguments& arguments, const OutputUsage& usage,
                  int (*run)(const OutputArguments& split));

#endif // OUTPUT_ARGUMENTS_H
