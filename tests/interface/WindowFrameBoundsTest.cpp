// A window's frame stays on the screen and no larger than its available
// area, however it is given: built with it, set by a script, or moved and
// resized in code. A frame of 100000 pixels square would cost gigabytes.
#include <cmath>
#include <limits>

#include <QGuiApplication>
#include <QScreen>

#include <gtest/gtest.h>

#include "InterfaceTestSupport.h"
#include "Messenger.h"

using namespace interfacetest;

namespace {

BRect AvailableArea()
{
	const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
	return BRect(area.left(), area.top(), area.right(), area.bottom());
}

::testing::AssertionResult OnTheScreen(BRect frame)
{
	const BRect area = AvailableArea();
	if (frame.left >= area.left && frame.top >= area.top && frame.right <= area.right &&
	    frame.bottom <= area.bottom && frame.Width() >= 0 && frame.Height() >= 0)
		return ::testing::AssertionSuccess();
	return ::testing::AssertionFailure()
	       << "frame " << frame.left << "," << frame.top << "," << frame.right << ","
	       << frame.bottom << " outside " << area.right << "x" << area.bottom;
}

const float kNaN = std::numeric_limits<float>::quiet_NaN();

const BRect kBadFrames[] = {
    BRect(0, 0, 100000, 100000),           BRect(50000, 50000, 50400, 50300),
    BRect(-50000, -50000, -49600, -49700), BRect(100, 100, 1e30f, 1e30f),
    BRect(kNaN, kNaN, kNaN, kNaN),
};

TEST(WindowFrameBounds, FramesFromCodeAndScriptsStayOnTheScreen)
{
	Watchdog watchdog(30);
	for (BRect bad : kBadFrames) {
		SCOPED_TRACE(testing::Message()
		             << bad.left << "," << bad.top << "," << bad.right << "," << bad.bottom);
		RecordingWindow* built = new RecordingWindow(bad, "built");
		EXPECT_TRUE(OnTheScreen(built->Frame()));
		close_window(built);

		RecordingWindow* scripted = new RecordingWindow(BRect(100, 100, 300, 200), "scripted");
		scripted->Show();
		BMessage set(B_SET_PROPERTY);
		set.AddSpecifier("Frame");
		set.AddRect("data", bad);
		BMessage reply;
		ASSERT_EQ(B_OK, BMessenger(scripted).SendMessage(&set, &reply, 3000000, 3000000));
		EXPECT_EQ(B_OK, reply.GetInt32("error", -1));
		ASSERT_TRUE(scripted->Lock());
		EXPECT_TRUE(OnTheScreen(scripted->Frame()));
		// The views follow the bounded size.
		EXPECT_EQ(scripted->Frame().Width(), scripted->Bounds().Width());
		EXPECT_EQ(scripted->Frame().Height(), scripted->Bounds().Height());
		scripted->Unlock();
		close_window(scripted);
	}
}

TEST(WindowFrameBounds, AFrameThatFitsIsKeptAsGiven)
{
	Watchdog watchdog(30);
	RecordingWindow* window = new RecordingWindow(BRect(40, 30, 240, 130), "fits");
	EXPECT_EQ(BRect(40, 30, 240, 130), window->Frame());
	window->ResizeTo(300, 200);
	EXPECT_EQ(BRect(40, 30, 340, 230), window->Frame());
	// Too tall where it is: it keeps its size and moves up, as far as needed.
	const BRect area = AvailableArea();
	window->MoveTo(40, area.bottom - 100);
	EXPECT_EQ(BRect(40, area.bottom - 200, 340, area.bottom), window->Frame());
	close_window(window);
}

} // namespace
