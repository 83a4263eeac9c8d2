// Input and drawing state of views: mouse and key hooks through the
// window's dispatch, edit commands to a view's MessageReceived, screen
// coordinates, hiding, fonts.
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "Font.h"
#include "InterfaceTestSupport.h"
#include "TextView.h"
#include "ViewPrivate.h"

using namespace interfacetest;

namespace {

class InputView : public BView
{
public:
	InputView() : BView(BRect(10, 20, 109, 69), "input", B_FOLLOW_NONE, B_WILL_DRAW | B_NAVIGABLE)
	{
	}
	void MouseDown(BPoint where) override
	{
		mouseDowns++;
		lastWhere = where;
		lastThreadIsLocked = Window()->IsLocked();
	}
	void KeyDown(const char* bytes, int32 numBytes) override
	{
		keys += std::string(bytes, numBytes);
		int32 key = 0;
		if (BMessage* message = Window()->CurrentMessage())
			message->FindInt32("key", &key);
		lastKey = key;
	}
	void MessageReceived(BMessage* message) override
	{
		if (message->what == B_COPY)
			copies++;
		else
			BView::MessageReceived(message);
	}
	int mouseDowns = 0;
	BPoint lastWhere;
	bool lastThreadIsLocked = false;
	std::string keys;
	int32 lastKey = 0;
	int copies = 0;
};

} // namespace

TEST(ViewInput, ClicksAndKeysReachTheHooksInsideTheWindowsDispatch)
{
	RecordingWindow* window = new RecordingWindow;
	InputView* view = new InputView;
	window->AddChild(view);
	window->Show();
	QWidget* widget = BPrivate::ViewAccess::Widget(view);
	ASSERT_TRUE(wait_until([&] { return widget->isVisible(); }));

	QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, QPoint(7, 9));
	ASSERT_TRUE(wait_until([&] { return view->mouseDowns == 1; }));
	EXPECT_EQ(view->lastWhere, BPoint(7, 9));
	EXPECT_TRUE(view->lastThreadIsLocked);

	view->MakeFocus(true);
	QTest::keyClicks(widget, "ab");
	QTest::keyClick(widget, Qt::Key_Left);
	ASSERT_TRUE(wait_until([&] { return view->keys.size() == 3; }));
	EXPECT_EQ(view->keys, std::string("ab") + (char)B_LEFT_ARROW);

	// A function key comes as the framework gives it, whatever the widget
	// would have made of it.
	QTest::keyClick(widget, Qt::Key_F3, Qt::ShiftModifier);
	ASSERT_TRUE(wait_until([&] { return view->keys.size() == 4; }));
	EXPECT_EQ(view->keys.back(), (char)B_FUNCTION_KEY);
	EXPECT_EQ(view->lastKey, (int32)B_F3_KEY);

	// Edit commands sent to a view go to its MessageReceived.
	window->PostMessage(B_COPY, view);
	EXPECT_TRUE(wait_until([&] { return view->copies == 1; }));
	close_window(window);
}

namespace {

int CountEscapes(const RecordingWindow* window)
{
	int count = 0;
	for (const BMessage& message : window->received) {
		const char* bytes = nullptr;
		if (message.what == B_KEY_DOWN && message.FindString("bytes", &bytes) == B_OK &&
		    std::strcmp(bytes, "\x1b") == 0)
			count++;
	}
	return count;
}

} // namespace

TEST(ViewInput, AKeyNoViewTakesGoesOnToTheWindowAndAViewThatTakesItKeepsIt)
{
	RecordingWindow* window = new RecordingWindow;
	BView* outer = new BView(BRect(0, 0, 300, 250), "outer", B_FOLLOW_NONE, B_WILL_DRAW);
	BTextView* text = new BTextView(BRect(10, 10, 200, 100), "text", BRect(0, 0, 190, 90),
	                                B_FOLLOW_NONE, B_WILL_DRAW | B_NAVIGABLE);
	InputView* input = new InputView;
	window->AddChild(outer);
	outer->AddChild(text);
	outer->AddChild(input);
	window->Show();
	ASSERT_TRUE(wait_until([&] { return BPrivate::ViewAccess::Widget(input)->isVisible(); }));

	// The text has no use for Escape: through its parent to the window.
	ASSERT_TRUE(window->Lock());
	text->MakeFocus(true);
	window->Unlock();
	QTest::keyClick(BPrivate::ViewAccess::Widget(text), Qt::Key_Escape);
	ASSERT_TRUE(window->WaitUntilIdle());
	EXPECT_EQ(CountEscapes(window), 1);

	// A view that handles keys keeps Escape.
	ASSERT_TRUE(window->Lock());
	input->MakeFocus(true);
	window->Unlock();
	QTest::keyClick(BPrivate::ViewAccess::Widget(input), Qt::Key_Escape);
	ASSERT_TRUE(wait_until([&] { return input->keys.size() == 1; }));
	ASSERT_TRUE(window->WaitUntilIdle());
	EXPECT_EQ(input->keys, std::string(1, (char)B_ESCAPE));
	EXPECT_EQ(CountEscapes(window), 1);
	close_window(window);
}

TEST(ViewInput, ScreenCoordinatesAddTheFramesUpToTheWindow)
{
	RecordingWindow* window = new RecordingWindow(BRect(100, 200, 500, 500));
	BView* outer = new BView(BRect(10, 20, 300, 250), "outer", B_FOLLOW_NONE, 0);
	BView* inner = new BView(BRect(5, 6, 50, 60), "inner", B_FOLLOW_NONE, 0);
	window->AddChild(outer);
	outer->AddChild(inner);
	EXPECT_EQ(inner->ConvertToScreen(BPoint(1, 2)), BPoint(116, 228));
	EXPECT_EQ(inner->ConvertFromScreen(BPoint(116, 228)), BPoint(1, 2));
	EXPECT_EQ(inner->ConvertToScreen(inner->Bounds()), BRect(115, 226, 160, 280));
	window->MoveTo(0, 0);
	EXPECT_EQ(window->Frame(), BRect(0, 0, 400, 300));
	EXPECT_EQ(inner->ConvertToScreen(B_ORIGIN), BPoint(15, 26));
	close_window(window);
}

TEST(ViewInput, HidingNestsAndCoversTheChildren)
{
	RecordingWindow* window = new RecordingWindow;
	BView* outer = new BView(BRect(0, 0, 100, 100), "outer", B_FOLLOW_NONE, 0);
	BView* inner = new BView(BRect(0, 0, 10, 10), "inner", B_FOLLOW_NONE, 0);
	window->AddChild(outer);
	outer->AddChild(inner);
	EXPECT_TRUE(inner->IsHidden()); // the window is not shown yet
	window->Show();
	EXPECT_FALSE(window->IsHidden());
	EXPECT_FALSE(inner->IsHidden());
	outer->Hide();
	outer->Hide();
	EXPECT_TRUE(inner->IsHidden());
	EXPECT_FALSE(BPrivate::ViewAccess::Widget(outer)->isVisible());
	outer->Show();
	EXPECT_TRUE(outer->IsHidden());
	outer->Show();
	EXPECT_FALSE(inner->IsHidden());
	EXPECT_TRUE(BPrivate::ViewAccess::Widget(inner)->isVisible());

	window->SetTitle("Renamed");
	EXPECT_STREQ(window->Title(), "Renamed");
	EXPECT_EQ(BPrivate::ViewAccess::Widget(outer)->window()->windowTitle(), QString("Renamed"));
	window->Hide();
	EXPECT_TRUE(window->IsHidden());
	EXPECT_TRUE(inner->IsHidden());
	close_window(window);
}

TEST(Fonts, SystemFontsAreTwelvePixelsAndMeasureText)
{
	EXPECT_FLOAT_EQ(be_plain_font->Size(), 12);
	EXPECT_FLOAT_EQ(be_bold_font->Size(), 12);
	EXPECT_TRUE((be_bold_font->Face() & B_BOLD_FACE) != 0);
	EXPECT_TRUE(be_fixed_font->IsFixed());
	EXPECT_GT(be_plain_font->StringWidth("Application id:"), 30);
	EXPECT_GE(be_bold_font->StringWidth("Application id:"),
	          be_plain_font->StringWidth("Application id:"));
	EXPECT_FLOAT_EQ(be_plain_font->StringWidth("abc", 0), 0);
	EXPECT_FLOAT_EQ(be_plain_font->StringWidth(nullptr), 0);
	font_height height;
	be_plain_font->GetHeight(&height);
	EXPECT_GT(height.ascent, 6);
	EXPECT_GT(height.descent, 0);
	EXPECT_LT(height.ascent + height.descent, 20);

	BFont font;
	font_family family;
	font_style style;
	font.GetFamilyAndStyle(&family, &style);
	EXPECT_GT(std::strlen(family), 0u);
	EXPECT_STREQ(style, "Regular");
	EXPECT_EQ(font.SetFamilyAndStyle("No Such Family Anywhere", "Bold"), B_NAME_NOT_FOUND);
	EXPECT_STREQ(style, "Regular");
	font.SetSize(-4);
	EXPECT_FLOAT_EQ(font.Size(), 12);
}

TEST(Fonts, ViewTakesOnlyTheMaskedAttributes)
{
	BView view(BRect(0, 0, 100, 20), "view", B_FOLLOW_NONE, 0);
	BFont big(be_bold_font);
	big.SetSize(20);
	view.SetFont(&big, B_FONT_SIZE);
	BFont now;
	view.GetFont(&now);
	EXPECT_FLOAT_EQ(now.Size(), 20);
	EXPECT_FALSE((now.Face() & B_BOLD_FACE) != 0);

	view.SetFont(be_bold_font);
	view.SetFontSize(12);
	view.GetFont(&now);
	EXPECT_TRUE((now.Face() & B_BOLD_FACE) != 0);
	EXPECT_FLOAT_EQ(now.Size(), 12);
	EXPECT_FLOAT_EQ(view.StringWidth("Version"), be_bold_font->StringWidth("Version"));
	EXPECT_TRUE(BPrivate::ViewAccess::Widget(&view)->font().bold());
}
