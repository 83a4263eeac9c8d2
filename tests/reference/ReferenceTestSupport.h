// Shared pieces of the reference tests: the editor application running in
// this process (its window is made per test), second processes on the same
// session bus, and waits that keep the GUI going with a watchdog.
#ifndef TESTS_REFERENCE_TEST_SUPPORT_H
#define TESTS_REFERENCE_TEST_SUPPORT_H

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <Message.h>
#include <OS.h>

#include "BuiltPrograms.h"
#include "EditorHarness.h"
#include "ScratchFolder.h"
#include "Wait.h"
#include "WindowTest.h"
#include "ZTLEWindow.h"

class BPopUpMenu;
class BTextControl;
class BTextView;

// The folder this run's editor application starts up in.
const std::string& AppFolder();

// Copies a file with its attributes (the icon of a program lives there).
void CopyWithAttributes(const std::string& from, const std::string& to);

// A program running beside the tests, offscreen, on the same session bus.
// Stopped when this goes away.
class ChildProcess : public EditorHarness
{
public:
	ChildProcess(const std::string& executable, std::vector<std::string> arguments = {},
	             const std::map<std::string, std::string>& environment = {});
	~ChildProcess();

	team_id Team() const { return Pid(); }
	// Waits until the roster lists it; false after timeout.
	bool WaitUntilRegistered(std::chrono::milliseconds timeout = std::chrono::seconds(10));
	// Ends it (SIGTERM, then SIGKILL after five seconds) and waits for the end.
	void Stop() { EditorHarness::Stop(std::chrono::seconds(5)); }
};

// A fresh editor window per test, in this process's editor application.
class ReferenceWindowTest : public WindowTest
{
protected:
	// A dispatch may wait for replies up to the reference time-out.
	ReferenceWindowTest() : WindowTest(std::chrono::seconds(40)) {}
	void SetUp() override;
	void TearDown() override;

	std::string ControlText(const char* name);
	BTextView* TextView();
	std::string Text();
	void SetText(const std::string& text);

	BPopUpMenu* PopUp();
	// The labels and the "signature" fields of the pop-up's items.
	std::vector<std::string> Labels();
	std::vector<std::string> Signatures();
};

// The paths of the built programs the tests start.
std::string EditorExecutable();
std::string PeerExecutable(const char* name);

#endif // TESTS_REFERENCE_TEST_SUPPORT_H
