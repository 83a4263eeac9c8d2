// BAlert::Go with an invoker: the alert is a window of its own, the caller
// goes on at once, and the pressed button (or the close box) reaches the
// invoker's target as "which".
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <thread>

#include "Alert.h"
#include "AlertTesting.h"
#include "Button.h"
#include "InterfaceDefs.h"
#include "InterfaceTestSupport.h"
#include "Invoker.h"
#include "TextView.h"
#include "ViewPrivate.h"

using namespace interfacetest;

namespace {

const uint32 kMsgAnswer = 'answ';

BWindow* WindowTitled(const char* title)
{
	for (int32 i = 0; i < test_app()->CountWindows(); i++) {
		BWindow* window = test_app()->WindowAt(i);
		if (window != nullptr && strcmp(window->Title(), title) == 0)
			return window;
	}
	return nullptr;
}

int32 Which(const RecordingWindow* target)
{
	int32 which = -1;
	const BMessage* answer = target->Find(kMsgAnswer);
	if (answer != nullptr)
		answer->FindInt32("which", &which);
	return which;
}

} // namespace

TEST(AlertWithInvoker, ShowsAWindowAndTellsThePressedButton)
{
	RecordingWindow* target = new RecordingWindow;
	target->Show();
	const int32 windows = test_app()->CountWindows();

	BAlert* alert = new BAlert("Question", "Which one?", "First", "Second", "Third");
	ASSERT_EQ(alert->Go(new BInvoker(new BMessage(kMsgAnswer), target)), B_OK);
	// Go() returned before any answer: the alert is up as a window.
	EXPECT_EQ(test_app()->CountWindows(), windows + 1);
	BWindow* shown = WindowTitled("Question");
	ASSERT_NE(shown, nullptr);
	BView* text = shown->FindView("alert_text");
	ASSERT_NE(dynamic_cast<BTextView*>(text), nullptr);
	EXPECT_STREQ(static_cast<BTextView*>(text)->Text(), "Which one?");
	auto* second = dynamic_cast<BButton*>(shown->FindView("button1"));
	ASSERT_NE(second, nullptr);
	EXPECT_STREQ(second->Label(), "Second");
	EXPECT_TRUE(static_cast<BButton*>(shown->FindView("button2"))->IsDefault());

	QWidget* widget = BPrivate::ViewAccess::Widget(second);
	ASSERT_TRUE(wait_until([&] { return widget->isVisible(); }));
	QTest::mouseClick(widget, Qt::LeftButton);
	ASSERT_TRUE(target->WaitFor(kMsgAnswer));
	EXPECT_EQ(Which(target), 1);
	EXPECT_TRUE(wait_until([&] { return test_app()->CountWindows() == windows; }));
	close_window(target);
}

TEST(AlertWithInvoker, TheCloseBoxPressesTheEscapeButton)
{
	RecordingWindow* target = new RecordingWindow;
	target->Show();
	BAlert* alert = new BAlert("Closing", "Close me", "Keep", "Drop");
	alert->SetShortcut(0, B_ESCAPE);
	ASSERT_EQ(alert->Go(new BInvoker(new BMessage(kMsgAnswer), target)), B_OK);
	BWindow* shown = WindowTitled("Closing");
	ASSERT_NE(shown, nullptr);
	shown->PostMessage(B_QUIT_REQUESTED);
	ASSERT_TRUE(target->WaitFor(kMsgAnswer));
	EXPECT_EQ(Which(target), 0);
	EXPECT_TRUE(wait_until([&] { return WindowTitled("Closing") == nullptr; }));
	// Only one answer, however the alert ended.
	ASSERT_TRUE(target->WaitUntilIdle());
	EXPECT_EQ(std::count_if(target->received.begin(), target->received.end(),
	                        [](const BMessage& m) { return m.what == kMsgAnswer; }),
	          1);
	close_window(target);
}

TEST(AlertWithInvoker, EscapePressesTheEscapeButton)
{
	RecordingWindow* target = new RecordingWindow;
	target->Show();
	BAlert* alert = new BAlert("Escaping", "Escape me", "Cancel", "Go on");
	alert->SetShortcut(0, B_ESCAPE);
	ASSERT_EQ(alert->Go(new BInvoker(new BMessage(kMsgAnswer), target)), B_OK);
	BWindow* shown = WindowTitled("Escaping");
	ASSERT_NE(shown, nullptr);
	QWidget* button = BPrivate::ViewAccess::Widget(shown->FindView("button1"));
	ASSERT_TRUE(wait_until([&] { return button->isVisible(); }));
	button->setFocus();
	QTest::keyClick(button, Qt::Key_Escape);
	ASSERT_TRUE(target->WaitFor(kMsgAnswer));
	EXPECT_EQ(Which(target), 0);
	EXPECT_TRUE(wait_until([&] { return WindowTitled("Escaping") == nullptr; }));
	close_window(target);
}

TEST(AlertWithInvoker, FromAnotherThreadItIsShownAndAnswered)
{
	RecordingWindow* target = new RecordingWindow;
	target->Show();
	std::atomic<status_t> status{B_NO_INIT};
	std::thread caller([&] {
		BAlert* alert = new BAlert("Elsewhere", "From a thread", "OK");
		status = alert->Go(new BInvoker(new BMessage(kMsgAnswer), target));
	});
	caller.join();
	EXPECT_EQ(status.load(), B_OK);
	// The caller did not wait; the window comes once the main thread runs.
	ASSERT_TRUE(wait_until([] { return WindowTitled("Elsewhere") != nullptr; }));
	BWindow* shown = WindowTitled("Elsewhere");
	QWidget* button = BPrivate::ViewAccess::Widget(shown->FindView("button0"));
	ASSERT_TRUE(wait_until([&] { return button->isVisible(); }));
	QTest::mouseClick(button, Qt::LeftButton);
	ASSERT_TRUE(target->WaitFor(kMsgAnswer));
	EXPECT_EQ(Which(target), 0);
	close_window(target);
}

TEST(AlertWithInvoker, TheResponderAnswersAtOnceWithoutAWindow)
{
	RecordingWindow* target = new RecordingWindow;
	target->Show();
	const int32 windows = test_app()->CountWindows();
	BPrivate::clear_shown_alerts();
	{
		BPrivate::ScopedAlertResponder answer([](const BPrivate::shown_alert&) { return 7; });
		BAlert* alert = new BAlert("Seam", "Answered", "A", "B");
		ASSERT_EQ(alert->Go(new BInvoker(new BMessage(kMsgAnswer), target)), B_OK);
		// Without an invoker nobody is told, and nothing is left up.
		ASSERT_EQ((new BAlert("Seam", "Unheard", "OK"))->Go(nullptr), B_OK);
	}
	EXPECT_EQ(test_app()->CountWindows(), windows);
	ASSERT_TRUE(target->WaitFor(kMsgAnswer));
	EXPECT_EQ(Which(target), 1) << "an answer out of range is the last button";
	EXPECT_EQ(BPrivate::shown_alerts().size(), 2u);
	close_window(target);
}
