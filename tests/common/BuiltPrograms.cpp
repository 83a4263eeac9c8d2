#include "BuiltPrograms.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

std::string BuildFolder()
{
	const char* build = getenv("LE_BUILD_DIR");
	if (build != nullptr && build[0] != '\0')
		return build;
	return std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path().string();
}

pid_t StartOffscreen(const std::string& executable, std::vector<std::string> arguments,
                     const std::map<std::string, std::string>& environment)
{
	// The argument vector is built before the fork: the child only calls
	// what is safe there.
	std::vector<char*> argv;
	argv.push_back(const_cast<char*>(executable.c_str()));
	for (std::string& argument : arguments)
		argv.push_back(argument.data());
	argv.push_back(nullptr);
	std::map<std::string, std::string> added = environment;
	if (added.count("XDG_STATE_HOME") == 0 && added.count("HOME") == 0)
		added["XDG_STATE_HOME"] =
		    std::filesystem::path(executable).parent_path().string() + "/state";
	pid_t pid = fork();
	if (pid == 0) {
		setenv("QT_QPA_PLATFORM", "offscreen", 1);
		for (const auto& [name, value] : added)
			setenv(name.c_str(), value.c_str(), 1);
		execv(executable.c_str(), argv.data());
		_exit(127);
	}
	return pid;
}
