#include "ProgramRun.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
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

// This process's environment with added set over it, as NAME=value lines.
std::vector<std::string> environment_with(const std::map<std::string, std::string>& added)
{
	std::map<std::string, std::string> all;
	for (char** line = environ; *line != nullptr; line++) {
		const std::string text = *line;
		const size_t equals = text.find('=');
		if (equals != std::string::npos)
			all[text.substr(0, equals)] = text.substr(equals + 1);
	}
	for (const auto& [name, value] : added)
		all[name] = value;
	std::vector<std::string> lines;
	for (const auto& [name, value] : all)
		lines.push_back(name + "=" + value);
	return lines;
}

} // namespace

ProgramRun RunProgram(const std::vector<std::string>& arguments, const ProgramOptions& options)
{
	ProgramRun result;
	char pattern[] = "/tmp/program-run-XXXXXX";
	if (arguments.empty() || mkdtemp(pattern) == nullptr)
		return result;
	const std::string scratch = pattern;
	const std::string outPath = scratch + "/out";
	const std::string errPath = scratch + "/err";

	// Everything the child needs is made before the fork: between the fork
	// and the exec it only calls what is safe there.
	std::vector<std::string> words = arguments;
	std::vector<char*> argv;
	for (std::string& word : words)
		argv.push_back(word.data());
	argv.push_back(nullptr);
	std::vector<std::string> lines = environment_with(options.environment);
	std::vector<char*> envp;
	for (std::string& line : lines)
		envp.push_back(line.data());
	envp.push_back(nullptr);
	const int input = open("/dev/null", O_RDONLY | O_CLOEXEC);
	const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
	const int err = options.together
	                    ? out
	                    : open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
	const char* folder = options.folder.empty() ? nullptr : options.folder.c_str();

	const auto start = std::chrono::steady_clock::now();
	const pid_t child = input >= 0 && out >= 0 && err >= 0 ? fork() : -1;
	if (child == 0) {
		dup2(input, STDIN_FILENO);
		dup2(out, STDOUT_FILENO);
		dup2(err, STDERR_FILENO);
		if (folder != nullptr && chdir(folder) != 0)
			_exit(127);
		execvpe(argv[0], argv.data(), envp.data());
		_exit(127);
	}
	for (int fd : {input, out, err != out ? err : -1}) {
		if (fd >= 0)
			close(fd);
	}
	if (child > 0) {
		int status = 0;
		auto ended = [&] { return waitpid(child, &status, WNOHANG) == child; };
		const bool inTime =
		    options.servingEvents ? WaitFor(ended, options.limit) : WaitUntil(ended, options.limit);
		if (!inTime) {
			kill(child, SIGKILL);
			waitpid(child, &status, 0);
		} else if (WIFEXITED(status)) {
			result.exitCode = WEXITSTATUS(status);
		}
	}
	result.took = std::chrono::duration_cast<std::chrono::milliseconds>(
	    std::chrono::steady_clock::now() - start);
	result.out = read_file(outPath);
	if (!options.together)
		result.err = read_file(errPath);
	std::error_code error;
	fs::remove_all(scratch, error);
	return result;
}

HeyResult RunHey(const std::vector<std::string>& arguments, std::chrono::milliseconds limit)
{
	std::vector<std::string> command = {BuildFolder() + "/hey"};
	command.insert(command.end(), arguments.begin(), arguments.end());
	ProgramOptions options;
	options.limit = limit;
	return RunProgram(command, options);
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
