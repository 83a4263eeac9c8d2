// The arguments of the commands that read files and write one: export-po and
// import-po take their files and -o OUT (or --output OUT) alike, and at most
// one option of their own that takes a value (import-po's --domain NAME).
#ifndef OUTPUT_ARGUMENTS_H
#define OUTPUT_ARGUMENTS_H

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ToolCommands.h"

// What a command takes: its name, how many files at the least and at the
// most, the usage error that says so, and its own option with a value
// (null: none).
struct OutputUsage
{
	const char* command;
	size_t leastFiles;
	size_t mostFiles;
	const char* takes;
	const char* valueOption;
};

struct OutputArguments
{
	std::vector<std::string_view> files;
	std::string outPath;
	std::optional<std::string> optionValue; // the value of usage.valueOption
};

// Splits the arguments into files and the output and answers what run
// answers for them; or, after printing the usage error, its status: an
// unknown option, -o or the command's option without its value or twice,
// no -o, too few or too many files.
int RunWithOutput(const ToolArguments& arguments, const OutputUsage& usage,
                  int (*run)(const OutputArguments& split));

#endif // OUTPUT_ARGUMENTS_H
