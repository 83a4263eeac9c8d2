#include "RecordingWindow.h"

#include <Window.h>

#include "Wait.h"

namespace {

// Not one of the window's codes: the window never acts on it.
const uint32 kMsgSync = 'sync';

} // namespace

RecordingWindow::RecordingWindow(Preferences* prefs)
    : ZTLEWindow("Korvane Locale Editor", prefs, B_TITLED_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL, 0)
{
}

void RecordingWindow::MessageReceived(BMessage* message)
{
	if (message->what != kMsgSync)
		ZTLEWindow::MessageReceived(message);
	mHandled.push_back(*message);
}

int32 RecordingWindow::CountHandled(uint32 what) const
{
	int32 count = 0;
	for (const BMessage& handled : mHandled)
		count += handled.what == what ? 1 : 0;
	return count;
}

int32 RecordingWindow::CountHandledFor(uint32 what, team_id team) const
{
	int32 count = 0;
	for (const BMessage& handled : mHandled) {
		int32 noticed = -1;
		if (handled.what == what && handled.FindInt32("be:team", &noticed) == B_OK &&
		    noticed == team)
			count++;
	}
	return count;
}

bool RecordingWindow::WaitUntilIdle(std::chrono::milliseconds timeout)
{
	int32 before = CountHandled(kMsgSync);
	if (PostMessage(kMsgSync) != B_OK)
		return false;
	return WaitFor([&] { return CountHandled(kMsgSync) > before; }, timeout);
}
