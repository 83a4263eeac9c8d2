// Driving the built editor from outside, as a user of the terminal does:
// the editor runs offscreen in its own process and application folder, and
// every request goes through the built hey tool.
#ifndef TESTS_ENDTOEND_END_TO_END_H
#define TESTS_ENDTOEND_END_TO_END_H

#include <chrono>
#include <map>
#include <string>
#include <sys/types.h>
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

// The editor in a scratch application folder of its own (its preferences
// file lies there), killed at the end if it has not quit.
class EditorSession
{
public:
	// arguments go to the editor as on its command line (files to open, as
	// the desktop gives them); environment is added to this process's.
	explicit EditorSession(const std::vector<std::string>& arguments = {},
	                       const std::map<std::string, std::string>& environment = {});
	~EditorSession();
	EditorSession(const EditorSession&) = delete;
	EditorSession& operator=(const EditorSession&) = delete;

	// Waits until the editor's window answers scripting.
	bool WaitUntilAnswering(std::chrono::milliseconds timeout);
	// hey -t 5000 <the editor's team> words...
	HeyResult Hey(const std::vector<std::string>& words) const;

	pid_t Team() const { return mPid; }
	const std::string& Folder() const { return mFolder; }
	// Waits for the process to end; its exit code, or -1.
	int WaitForExit(std::chrono::milliseconds timeout);

private:
	std::string mFolder;
	pid_t mPid = -1;
};

#endif // TESTS_ENDTOEND_END_TO_END_H
