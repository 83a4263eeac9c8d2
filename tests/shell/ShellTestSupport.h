#ifndef SHELL_TEST_SUPPORT_H
#define SHELL_TEST_SUPPORT_H

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

#include <Message.h>
#include <Messenger.h>

#include "EditorHarness.h"
#include "Wait.h"

// A temporary application folder holding a copy of the built editor (a copy,
// not a link: the application folder is where the executable really lies).
class TempAppFolder
{
public:
	TempAppFolder();
	~TempAppFolder();
	const std::string& Path() const { return mPath; }
	std::string File(const char* leaf) const { return mPath + "/" + leaf; }
	std::string Executable() const { return File("LocaleEditor"); }

private:
	std::string mPath;
};

// The built editor executable, found from LE_BUILD_DIR or beside the tests'
// folder.
std::string BuiltEditorPath();

// The editor running offscreen in its own process, asked through this
// process's own application kit. Killed when this goes away, if it has not
// ended by then.
class EditorProcess : public EditorHarness
{
public:
	explicit EditorProcess(const std::string& executable, std::vector<std::string> arguments = {});

	// Waits until the application answers scripting requests.
	bool WaitUntilAnswering(std::chrono::milliseconds timeout);
	// A messenger to its application object.
	BMessenger Messenger() const;
	// Asks it to quit the way the desktop does (SIGTERM) and waits for the
	// end; the exit code, or -1 when it did not end in time or crashed.
	int Terminate(std::chrono::milliseconds timeout) { return Stop(timeout); }
};

// One synchronous request with bounded waits; B_TIMED_OUT rather than a hang.
status_t SendRequest(const BMessenger& target, BMessage* request, BMessage* reply);

#endif // SHELL_TEST_SUPPORT_H
