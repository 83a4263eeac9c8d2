// The fixture of the tests that drive an editor window: a fresh window per
// test, and the posts and waits that keep a test in step with its dispatch.
#ifndef TESTS_COMMON_WINDOW_TEST_H
#define TESTS_COMMON_WINDOW_TEST_H

#include <gtest/gtest.h>

#include <chrono>

#include <Message.h>

#include "RecordingWindow.h"

class BTextControl;
class Preferences;

class WindowTest : public ::testing::Test
{
protected:
	// idleTimeout: how long the window may take for what was posted before
	// Settle fails the test.
	explicit WindowTest(std::chrono::seconds idleTimeout) : mIdleTimeout(idleTimeout) {}

	// Shows a fresh window on prefs and waits until it is ready.
	void OpenWindow(Preferences* prefs);
	// Quits the window and waits until it has gone, so that the next test
	// does not start while it quits.
	void CloseWindow();

	// Posts message to the window and waits until it was dispatched.
	void Dispatch(const BMessage& message);
	void Dispatch(uint32 what) { Dispatch(BMessage(what)); }
	// Waits until everything posted to the window so far was dispatched.
	void Settle();
	// Waits until the window's survey of running applications, if one is
	// pending, has answered and the pop-up shows its result.
	void SettleSurvey();

	BTextControl* Control(const char* name);

	RecordingWindow* mWindow = nullptr;

private:
	std::chrono::seconds mIdleTimeout;
};

#endif // TESTS_COMMON_WINDOW_TEST_H
