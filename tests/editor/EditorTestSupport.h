// Shared pieces of the editor window tests: the test application, a window
// that records what it dispatched, a scratch application folder and waits
// that keep the GUI running with a watchdog.
#ifndef TESTS_EDITOR_TEST_SUPPORT_H
#define TESTS_EDITOR_TEST_SUPPORT_H

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <AlertTesting.h>
#include <Message.h>

#include "FileBytes.h"
#include "Preferences.h"
#include "ScratchFolder.h"
#include "Wait.h"
#include "WindowTest.h"
#include "ZTLEWindow.h"

class BTextControl;
class BTextView;
class BView;

// The folder of the running test executable. main() runs the tests from a
// private copy of the executable, so this folder (with its locale/ folder
// and the preferences file) belongs to this run alone.
const std::string& AppFolder();

// How many B_QUIT_REQUESTED the application object has received.
int32 ApplicationQuitRequests();

// One fresh window per test, a preferences store in a scratch file, and an
// alert responder that answers with kAnswer (by default the first button)
// and records every alert.
class EditorWindowTest : public WindowTest
{
protected:
	EditorWindowTest() : WindowTest(std::chrono::seconds(10)) {}
	void SetUp() override;
	void TearDown() override;

	BView* View(const char* name);
	// The text control's text, "" for none.
	std::string ControlText(const char* name);
	void SetControlText(const char* name, const char* text);
	std::string Text();
	void SetText(const std::string& text);
	// The locale text's view.
	BTextView* TextView();
	// Frame of a view in the background view's coordinates.
	BRect FrameInBackground(BView* view);
	// The window's title and what its status line shows; "<no lock>" when
	// the window cannot be locked.
	std::string Title();
	std::string Status();

	// The alerts shown since the test began (or since ClearAlerts).
	std::vector<BPrivate::shown_alert> Alerts() const { return BPrivate::shown_alerts(); }
	void ClearAlerts() { BPrivate::clear_shown_alerts(); }
	// The button the next alerts are answered with.
	void AnswerAlertsWith(int32 button) { *mAnswer = button; }

	std::string PrefsPath() const;

	std::unique_ptr<Preferences> mPrefs;
	std::shared_ptr<int32> mAnswer = std::make_shared<int32>(0);
	std::unique_ptr<BPrivate::ScopedAlertResponder> mResponder;
};

#endif // TESTS_EDITOR_TEST_SUPPORT_H
