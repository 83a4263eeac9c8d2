#include "ToolRun.h"

#include <cstdlib>
#include <sys/wait.h>

#include "BuiltPrograms.h"
#include "FileBytes.h"
#include "ScratchFolder.h"

ToolRun RunCommand(const std::string& commandLine, const ScratchFolder& scratch)
{
	const std::string out = scratch / "stdout", err = scratch / "stderr";
	const std::string command =
	    "(" + commandLine + ") >" + ShellQuote(out) + " 2>" + ShellQuote(err) + " </dev/null";
	const int raw = system(command.c_str());
	return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFileBytes(out), ReadFileBytes(err)};
}

ToolRun RunLocaleTool(const std::string& arguments, const ScratchFolder& scratch)
{
	return RunCommand(ShellQuote(BuildFolder() + "/localetool") + " " + arguments, scratch);
}

std::string ShellQuote(const std::string& text)
{
	std::string quoted = "'";
	for (const char c : text) {
		if (c == '\'')
			quoted += "'\\''";
		else
			quoted += c;
	}
	return quoted + "'";
}
