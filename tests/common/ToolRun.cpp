#include "ToolRun.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

#include "BuiltPrograms.h"
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

std::string ReadFileBytes(const std::string& path)
{
	std::ifstream in(path, std::ios::binary);
	std::stringstream bytes;
	bytes << in.rdbuf();
	return bytes.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
	std::ofstream(path, std::ios::binary) << bytes;
}
