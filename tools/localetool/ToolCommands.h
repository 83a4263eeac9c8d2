// localetool's subcommands beyond dump and compile, and the help texts of
// all of them. Each Run function takes the arguments after the command's
// name and answers the exit status (ToolOutput.h).
#ifndef TOOL_COMMANDS_H
#define TOOL_COMMANDS_H

#include <string_view>
#include <vector>

typedef std::vector<std::string_view> ToolArguments;

int RunCheck(const ToolArguments& arguments);
int RunStats(const ToolArguments& arguments);
int RunExportPo(const ToolArguments& arguments);
int RunImportPo(const ToolArguments& arguments);

// The --help text of command, or of the whole tool for an empty command;
// nullptr for a command that does not exist.
const char* HelpFor(std::string_view command);

#endif // TOOL_COMMANDS_H
