#include "DesktopTestSupport.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "BuiltPrograms.h"
#include "ProgramRun.h"
#include "ScratchFolder.h"

const char* const kAppName = "korvane-localeeditor";
const char* const kHeyName = "korvane-hey";
const char* const kLocaleType = "locale/x-vnd.vessmor-locale";

CommandResult RunCommand(const std::vector<std::string>& arguments,
                         const std::map<std::string, std::string>& environment,
                         const std::string& folder)
{
	ProgramOptions options;
	options.environment = environment;
	options.folder = folder;
	// Packaging and installing take their time on a loaded machine; only a
	// hang is cut short.
	options.limit = std::chrono::minutes(10);
	options.together = true;
	options.servingEvents = false;
	const ProgramRun run = RunProgram(arguments, options);
	return CommandResult{run.exitCode, run.out};
}

bool HaveProgram(const std::string& program)
{
	return RunCommand({"sh", "-c", "command -v " + program}).status == 0;
}

CommandResult InstallInto(const std::string& prefix)
{
	return RunCommand({"cmake", "--install", BuildFolder(), "--prefix", prefix});
}

std::vector<std::string> FilesBelow(const std::string& folder)
{
	namespace fs = std::filesystem;
	std::vector<std::string> files;
	std::error_code error;
	for (auto it = fs::recursive_directory_iterator(folder, error);
	     !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
		if (!it->is_directory() || it->is_symlink())
			files.push_back(it->path().lexically_relative(folder).string());
	}
	std::sort(files.begin(), files.end());
	return files;
}

std::string DefaultApplication(const std::string& type, const std::string& dataDirs)
{
	// Empty user and system configuration folders, and no desktop named, so
	// only dataDirs can answer.
	ScratchFolder user;
	CommandResult query =
	    RunCommand({"xdg-mime", "query", "default", type}, {{"HOME", user.Path()},
	                                                        {"XDG_CONFIG_HOME", user / "config"},
	                                                        {"XDG_CONFIG_DIRS", user / "etc"},
	                                                        {"XDG_DATA_HOME", user / "data"},
	                                                        {"XDG_DATA_DIRS", dataDirs},
	                                                        {"XDG_CURRENT_DESKTOP", ""}});
	std::string answer = query.status == 0 ? query.output : std::string();
	while (!answer.empty() && (answer.back() == '\n' || answer.back() == ' '))
		answer.pop_back();
	return answer;
}

std::string DesktopEntryValue(const std::string& file, const std::string& key)
{
	std::ifstream in(file);
	std::string line;
	bool inEntry = false;
	while (std::getline(in, line)) {
		if (!line.empty() && line[0] == '[') {
			inEntry = line == "[Desktop Entry]";
			continue;
		}
		if (inEntry && line.rfind(key + "=", 0) == 0)
			return line.substr(key.size() + 1);
	}
	return std::string();
}

bool IsOnBus(pid_t pid)
{
	const std::string name = "string:org.vessmor.Team" + std::to_string(pid);
	CommandResult has =
	    RunCommand({"dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus",
	                "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner", name});
	return has.output.find("boolean true") != std::string::npos;
}
