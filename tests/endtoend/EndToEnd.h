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

#include "EditorHarness.h"
#include "ProgramRun.h"

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
	bool WaitUntilAnswering(std::chrono::milliseconds timeout)
	{
		return mEditor.WaitUntilAnswering(timeout);
	}
	// hey -t 5000 <the editor's team> words...
	HeyResult Hey(const std::vector<std::string>& words) const { return mEditor.Hey(words); }

	pid_t Team() const { return mEditor.Pid(); }
	const std::string& Folder() const { return mFolder; }
	// Waits for the process to end; its exit code, or -1.
	int WaitForExit(std::chrono::milliseconds timeout) { return mEditor.WaitForExit(timeout); }
	// Kills it as a crash would and reaps it.
	void Kill() { mEditor.Kill(); }

private:
	std::string mFolder;
	EditorHarness mEditor;
};

#endif // TESTS_ENDTOEND_END_TO_END_H
