// Shared pieces of the desktop tests: running the tools a desktop uses and
// installing the build into a scratch prefix.
#ifndef TESTS_DESKTOP_TEST_SUPPORT_H
#define TESTS_DESKTOP_TEST_SUPPORT_H

#include <map>
#include <string>
#include <sys/types.h>
#include <vector>

// What a command printed (standard output and error together) and its exit
// status (-1 when it could not be run or did not exit).
struct CommandResult
{
	int status = -1;
	std::string output;
};

// Runs arguments[0] (searched in PATH) with the rest as its arguments and
// environment added to this process's, in folder (when not empty).
CommandResult RunCommand(const std::vector<std::string>& arguments,
                         const std::map<std::string, std::string>& environment = {},
                         const std::string& folder = "");

// True when program is found in PATH.
bool HaveProgram(const std::string& program);

// The editor's name in the prefix: P/bin/NAME, P/lib/NAME/, NAME.desktop.
extern const char* const kAppName; // "korvane-localeeditor"

// The scripting tool's name on the PATH once installed.
extern const char* const kHeyName; // "korvane-hey"

// The editor's file type, as the desktop's tools name it.
extern const char* const kLocaleType; // "locale/x-vnd.vessmor-locale"

// Installs the build into prefix with cmake --install; the command's result.
CommandResult InstallInto(const std::string& prefix);

// Every file and link below folder, as paths relative to it, sorted.
std::vector<std::string> FilesBelow(const std::string& folder);

// The desktop entry xdg-mime names as the default for type when the
// desktop's data folders are dataDirs (XDG_DATA_DIRS) and the user has no
// choices of their own; "" when it names none.
std::string DefaultApplication(const std::string& type, const std::string& dataDirs);

// The value of key in the [Desktop Entry] group of the file, "" if none.
std::string DesktopEntryValue(const std::string& file, const std::string& key);

// True when the program of pid is on the session bus under its team's name.
bool IsOnBus(pid_t pid);

#endif // TESTS_DESKTOP_TEST_SUPPORT_H
