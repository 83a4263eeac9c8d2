// Running a program to its end as a shell would, with what it printed and
// how it ended: the built hey tool, or a tool of the desktop's.
#ifndef TESTS_COMMON_PROGRAM_RUN_H
#define TESTS_COMMON_PROGRAM_RUN_H

#include <chrono>
#include <map>
#include <string>
#include <vector>

// What one run gave.
struct ProgramRun
{
	int exitCode = -1; // -1: killed after the limit, or did not start or exit
	std::string out;   // with the error output too when it was kept together
	std::string err;
	std::chrono::milliseconds took{0};
};

struct ProgramOptions
{
	// Added to this process's environment.
	std::map<std::string, std::string> environment;
	// Where it runs; this process's working folder when empty.
	std::string folder;
	// Killed once it has run this long.
	std::chrono::milliseconds limit = std::chrono::seconds(20);
	// Its error output in out, as a terminal shows both.
	bool together = false;
	// Keeps this process's GUI going meanwhile, so objects it serves on the
	// bus answer; a test without one only polls.
	bool servingEvents = true;
};

// Runs arguments[0] (searched in PATH unless it names a path) with the rest
// as its arguments and no input.
ProgramRun RunProgram(const std::vector<std::string>& arguments,
                      const ProgramOptions& options = {});

// One run of hey.
using HeyResult = ProgramRun;

// Runs the built hey with arguments; kills it after limit, serving this
// process's GUI meanwhile.
HeyResult RunHey(const std::vector<std::string>& arguments,
                 std::chrono::milliseconds limit = std::chrono::seconds(20));

// The string value of the first "result" in hey's readable output; "" and
// found false when there is none.
std::string ResultString(const HeyResult& result, bool* found = nullptr);
// The int32 values of "result", in order.
std::vector<int> ResultInts(const HeyResult& result);
// The bool value of "result"; false when there is none.
bool ResultBool(const HeyResult& result);

#endif // TESTS_COMMON_PROGRAM_RUN_H
