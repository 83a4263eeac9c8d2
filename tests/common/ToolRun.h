// Running the built localetool (or any command line) as a shell would, with
// its output collected.
#ifndef TESTS_COMMON_TOOL_RUN_H
#define TESTS_COMMON_TOOL_RUN_H

#include <string>

class ScratchFolder;

struct ToolRun
{
	int status; // the exit status, -1 when the program did not exit
	std::string out;
	std::string err;
};

// Runs commandLine through the shell, output going to files in scratch.
ToolRun RunCommand(const std::string& commandLine, const ScratchFolder& scratch);

// Runs the built localetool with arguments, each quoted by the caller.
ToolRun RunLocaleTool(const std::string& arguments, const ScratchFolder& scratch);

// 'text' for the shell, quotes inside taken care of.
std::string ShellQuote(const std::string& text);

#endif // TESTS_COMMON_TOOL_RUN_H
