#include "HeyRun.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

#include "BuiltPrograms.h"
#include "Wait.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

std::string read_file(const std::string& path)
{
	std::ifstream in(path, std::ios::binary);
	std::ostringstream bytes;
	bytes << in.rdbuf();
	return bytes.str();
}

// Waits for child to end while the GUI keeps going; its exit code, or -1
// after killing it at the limit.
int wait_for_child(pid_t child, std::chrono::milliseconds limit)
{
	int status = 0;
	bool ended = WaitFor([&] { return waitpid(child, &status, WNOHANG) == child; }, limit);
	if (!ended) {
		kill(child, SIGKILL);
		waitpid(child, &status, 0);
		return -1;
	}
	return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

HeyResult RunHey(const std::vector<std::string>& arguments, std::chrono::milliseconds limit)
{
	HeyResult result;
	char folderPattern[] = "/tmp/hey-run-XXXXXX";
	if (mkdtemp(folderPattern) == nullptr)
		return result;
	const std::string folder = folderPattern;
	const std::string outPath = folder + "/out";
	const std::string errPath = folder + "/err";
	const std::string hey = BuildFolder() + "/hey";

	posix_spawn_file_actions_t actions;
	posix_spawn_file_actions_init(&actions);
	posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
	                                 0600);
	posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
	                                 0600);
	std::vector<char*> argv;
	argv.push_back(const_cast<char*>(hey.c_str()));
	for (const std::string& argument : arguments)
		argv.push_back(const_cast<char*>(argument.c_str()));
	argv.push_back(nullptr);

	auto start = std::chrono::steady_clock::now();
	pid_t child = -1;
	if (posix_spawn(&child, hey.c_str(), &actions, nullptr, argv.data(), environ) == 0)
		result.exitCode = wait_for_child(child, limit);
	result.took = std::chrono::duration_cast<std::chrono::milliseconds>(
	    std::chrono::steady_clock::now() - start);
	posix_spawn_file_actions_destroy(&actions);
	result.out = read_file(outPath);
	result.err = read_file(errPath);
	std::error_code error;
	fs::remove_all(folder, error);
	return result;
}

std::string ResultString(const HeyResult& result, bool* found)
{
	const std::string start = "\"result\" (B_STRING_TYPE) : \"";
	size_t at = result.out.find(start);
	if (found != nullptr)
		*found = at != std::string::npos;
	if (at == std::string::npos)
		return "";
	at += start.size();
	// The value is printed as it is, line feeds and all; the "error" line
	// follows it.
	size_t end = result.out.find("\"\n   \"error\"", at);
	if (end == std::string::npos)
		end = result.out.rfind("\"\n");
	return end == std::string::npos || end < at ? "" : result.out.substr(at, end - at);
}

std::vector<int> ResultInts(const HeyResult& result)
{
	std::vector<int> values;
	const std::string start = "\"result\" (B_INT32_TYPE) : ";
	for (size_t at = result.out.find(start); at != std::string::npos;
	     at = result.out.find(start, at + 1))
		values.push_back(atoi(result.out.c_str() + at + start.size()));
	return values;
}

bool ResultBool(const HeyResult& result)
{
	return result.out.find("\"result\" (B_BOOL_TYPE) : true") != std::string::npos;
}
