// The editor window with a record of what its dispatch handled, for the
// tests that drive it.
#ifndef TESTS_COMMON_RECORDING_WINDOW_H
#define TESTS_COMMON_RECORDING_WINDOW_H

#include <chrono>
#include <vector>

#include <Message.h>

#include "ZTLEWindow.h"

class RecordingWindow : public ZTLEWindow
{
public:
	RecordingWindow(Preferences* prefs);
	void MessageReceived(BMessage* message) override;

	int32 CountHandled(uint32 what) const;
	// Handled messages of that code carrying "be:team" == team.
	int32 CountHandledFor(uint32 what, team_id team) const;

	// Posts a message of the tests' own and keeps the GUI going until the
	// window has dispatched it, and so everything posted before; false when
	// it could not be posted or timeout passed first.
	bool WaitUntilIdle(std::chrono::milliseconds timeout);

private:
	std::vector<BMessage> mHandled;
};

#endif // TESTS_COMMON_RECORDING_WINDOW_H
