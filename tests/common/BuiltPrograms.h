// The programs a build made, and starting them beside the tests.
#ifndef TESTS_COMMON_BUILT_PROGRAMS_H
#define TESTS_COMMON_BUILT_PROGRAMS_H

#include <map>
#include <string>
#include <sys/types.h>
#include <vector>

// The build folder: LE_BUILD_DIR (set by ctest), or, run by hand, the parent
// of the folder the test binary lies in.
std::string BuildFolder();

// Starts executable with arguments, offscreen and with environment added to
// this process's; the child's process id, or -1 when it could not be forked.
// A child that cannot run the executable ends with status 127.
// Unless environment says where (XDG_STATE_HOME, or a HOME of the test's),
// the editor's state (its journal of unsaved work) goes to "state" beside
// the executable: an editor one test killed never offers its work to
// another test's editor, nor to the user's.
pid_t StartOffscreen(const std::string& executable, std::vector<std::string> arguments = {},
                     const std::map<std::string, std::string>& environment = {});

#endif // TESTS_COMMON_BUILT_PROGRAMS_H
