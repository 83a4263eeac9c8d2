// Buttons, text controls, focus, and the window's close box.
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "Button.h"
#include "InterfaceTestSupport.h"
#include "TextControl.h"
#include "TextView.h"
#include "ViewPrivate.h"

using namespace interfacetest;

namespace {

// Tells when the window object goes away.
class TrackedWindow : public RecordingWindow
{
public:
	explicit TrackedWindow(bool* deleted) : mDeleted(deleted) {}
	~TrackedWindow() override { *mDeleted = true; }

private:
	bool* mDeleted;
};

} // namespace

TEST(Controls, ClickedButtonSendsItsMessageWithSourceToTheWindow)
{
	RecordingWindow* window = new RecordingWindow;
	BButton* button =
	    new BButton(BRect(230, 5, 335, 30), "btn_refload", "Load...", new BMessage('lrep'),
	                B_FOLLOW_RIGHT | B_FOLLOW_TOP, B_WILL_DRAW | B_NAVIGABLE);
	window->AddChild(button);
	window->Show();
	QWidget* widget = BPrivate::ViewAccess::Widget(button);
	ASSERT_TRUE(wait_until([&] { return widget->isVisible(); }));
	EXPECT_EQ(widget->geometry(), QRect(230, 5, 106, 26));

	QTest::mouseClick(widget, Qt::LeftButton);
	ASSERT_TRUE(window->WaitFor('lrep'));
	void* source = nullptr;
	EXPECT_EQ(window->Find('lrep')->FindPointer("source", &source), B_OK);
	EXPECT_EQ(source, static_cast<BControl*>(button));
	EXPECT_TRUE(window->Find('lrep')->HasInt64("when"));

	// A disabled button sends nothing.
	window->received.clear();
	button->SetEnabled(false);
	QTest::mouseClick(widget, Qt::LeftButton);
	ASSERT_TRUE(window->WaitUntilIdle());
	EXPECT_EQ(window->Find('lrep'), nullptr);
	close_window(window);
}

TEST(Controls, ButtonWithATargetSendsThereInstead)
{
	RecordingWindow* window = new RecordingWindow;
	BButton* button = new BButton(BRect(5, 5, 80, 30), "b", "Go", new BMessage('tbtn'));
	window->AddChild(button);
	test_app()->ClearReceived();
	EXPECT_EQ(button->SetTarget(be_app), B_OK);
	EXPECT_EQ(button->Invoke(), B_OK);
	EXPECT_TRUE(wait_until([] {
		for (const BMessage& message : test_app()->Received()) {
			if (message.what == 'tbtn')
				return true;
		}
		return false;
	}));
	EXPECT_EQ(window->Find('tbtn'), nullptr);
	close_window(window);
}

TEST(Controls, TextControlTakesTextAndEmptiesOnNull)
{
	BTextControl control(BRect(10, 65, 160, 90), "txtctrl_version", "Version:", "1.0",
	                     new BMessage('dumy'));
	EXPECT_STREQ(control.Text(), "1.0");
	control.SetText("2.5 beta");
	EXPECT_STREQ(control.Text(), "2.5 beta");
	EXPECT_STREQ(control.TextView()->Text(), "2.5 beta");
	control.SetText(nullptr);
	EXPECT_STREQ(control.Text(), "");
	EXPECT_STREQ(control.Label(), "Version:");
}

TEST(Controls, DividerSplitsLabelAndFieldAndTheFieldFollowsResizes)
{
	BView parent(BRect(0, 0, 450, 300), "bkg_view", B_FOLLOW_NONE, 0);
	BTextControl* control = new BTextControl(
	    BRect(10, 5, 225, 30), "txtctrl_reference", "Reference:", nullptr, new BMessage('dumy'),
	    B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP, B_WILL_DRAW | B_NAVIGABLE);
	parent.AddChild(control);
	control->SetDivider(60);
	EXPECT_FLOAT_EQ(control->Divider(), 60);
	// The text view sits inside the field's frame, from the divider on.
	EXPECT_EQ(control->TextView()->Frame(), BRect(62, 2, 213, 23));

	EXPECT_EQ(control->TextView()->TextRect(), BRect(2, 0, 149, 21));

	parent.ResizeBy(100, 0);
	EXPECT_EQ(control->Frame(), BRect(10, 5, 325, 30));
	EXPECT_EQ(control->TextView()->Frame(), BRect(62, 2, 313, 23));
	// The text spans the grown field.
	EXPECT_EQ(control->TextView()->TextRect(), BRect(2, 0, 249, 21));

	// Dividers outside the control are held inside it.
	control->SetDivider(-20);
	EXPECT_FLOAT_EQ(control->Divider(), 0);
	control->SetDivider(5000);
	EXPECT_FLOAT_EQ(control->Divider(), control->Bounds().Width());
}

TEST(Controls, TextControlDrawsItsLabelLeftOfTheDivider)
{
	BView parent(BRect(0, 0, 300, 40), "bkg", B_FOLLOW_NONE, 0);
	parent.SetViewColor(232, 232, 232);
	BTextControl* control =
	    new BTextControl(BRect(0, 0, 250, 25), "field", "Language:", nullptr, nullptr);
	BTextControl* bare = new BTextControl(BRect(0, 0, 250, 25), "bare", "", nullptr, nullptr);
	parent.AddChild(control);
	parent.AddChild(bare);
	control->SetDivider(80);
	bare->SetDivider(80);

	auto inked = [](const QImage& image) {
		int count = 0;
		for (int y = 0; y < image.height(); y++) {
			for (int x = 0; x < 78; x++) {
				if (qGray(image.pixel(x, y)) < 100)
					count++;
			}
		}
		return count;
	};
	EXPECT_GT(inked(render_view(control)), 20);
	EXPECT_EQ(inked(render_view(bare)), 0);
}

TEST(Controls, FocusGoesToTheTextViewOfTheControl)
{
	RecordingWindow* window = new RecordingWindow;
	BTextControl* first = new BTextControl(BRect(10, 5, 200, 30), "first", "A:", "", nullptr);
	BTextControl* second = new BTextControl(BRect(10, 35, 200, 60), "second", "B:", "", nullptr);
	window->AddChild(first);
	window->AddChild(second);
	window->Show();
	EXPECT_EQ(window->CurrentFocus(), nullptr);

	second->MakeFocus(true);
	EXPECT_EQ(window->CurrentFocus(), second->TextView());
	EXPECT_TRUE(second->TextView()->IsFocus());
	EXPECT_FALSE(first->TextView()->IsFocus());

	first->MakeFocus(true);
	EXPECT_EQ(window->CurrentFocus(), first->TextView());
	// Tab goes on to the next field, not to a control's label.
	QWidget* focused = BPrivate::ViewAccess::Widget(first->TextView());
	ASSERT_TRUE(wait_until([&] { return focused->isVisible(); }));
	QTest::keyClick(focused, Qt::Key_Tab);
	EXPECT_TRUE(wait_until([&] { return window->CurrentFocus() == second->TextView(); }));
	first->MakeFocus(true);
	first->TextView()->MakeFocus(false);
	EXPECT_EQ(window->CurrentFocus(), nullptr);
	close_window(window);
}

TEST(Controls, CloseBoxAsksTheWindowAndQuitsOnlyWhenItAgrees)
{
	bool deleted = false;
	TrackedWindow* window = new TrackedWindow(&deleted);
	window->Show();
	BView* probe = new BView(BRect(0, 0, 5, 5), "probe", B_FOLLOW_NONE, 0);
	window->AddChild(probe);
	QWidget* top = BPrivate::ViewAccess::Widget(probe)->window();

	top->close();
	ASSERT_TRUE(wait_until([&] { return window->quitRequests == 1; }));
	ASSERT_TRUE(window->WaitUntilIdle());
	EXPECT_FALSE(deleted);
	EXPECT_FALSE(window->IsHidden());

	window->allowQuit = true;
	top->close();
	EXPECT_TRUE(wait_until([&] { return deleted; }));
}
