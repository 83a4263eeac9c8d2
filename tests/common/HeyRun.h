// Running the built hey tool as a user at a terminal does, with what it
// printed and how it ended.
#ifndef TESTS_COMMON_HEY_RUN_H
#define TESTS_COMMON_HEY_RUN_H

#include <chrono>
#include <string>
#include <vector>

// What one run of hey gave.
struct HeyResult
{
	int exitCode = -1; // -1: killed after the limit, or did not start
	std::string out;
	std::string err;
	std::chrono::milliseconds took{0};
};

// Runs the built hey with arguments; kills it after limit. The GUI of this
// process (if any) keeps running meanwhile, so objects it serves on the bus
// answer.
HeyResult RunHey(const std::vector<std::string>& arguments,
                 std::chrono::milliseconds limit = std::chrono::seconds(20));

// The string value of the first "result" in hey's readable output; "" and
// found false when there is none.
std::string ResultString(const HeyResult& result, bool* found = nullptr);
// The int32 values of "result", in order.
std::vector<int> ResultInts(const HeyResult& result);
// The bool value of "result"; false when there is none.
bool ResultBool(const HeyResult& result);

#endif // TESTS_COMMON_HEY_RUN_H
