// The menu bar's fitted height and the scroll view around a text view:
// what the editor window's layout is computed from.
#include <QAbstractScrollArea>
#include <QMenuBar>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <string>

#include "InterfaceTestSupport.h"
#include "Menu.h"
#include "MenuBar.h"
#include "MenuItem.h"
#include "ScrollBar.h"
#include "ScrollView.h"
#include "TextView.h"
#include "ViewPrivate.h"

using namespace interfacetest;

namespace {

BMenuBar* make_bar()
{
	BMenuBar* bar = new BMenuBar(BRect(0, 0, 1000, 15), "MB", B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP,
	                             B_ITEMS_IN_ROW, true);
	for (const char* name : {"File", "Edit", "Preferences"}) {
		BMenu* menu = new BMenu(name);
		menu->AddItem(new BMenuItem("Item", new BMessage('item')));
		bar->AddItem(menu);
	}
	return bar;
}

} // namespace

TEST(Layout, MenuBarFitsTheWindowWidthAndItsFontsHeight)
{
	RecordingWindow* window = new RecordingWindow(BRect(50, 50, 500, 400));
	BMenuBar* bar = make_bar();
	window->AddChild(bar);
	BRect bounds = bar->Bounds();
	EXPECT_FLOAT_EQ(bounds.Width(), 450);
	QMenuBar* qbar = static_cast<QMenuBar*>(BPrivate::ViewAccess::Widget(bar));
	EXPECT_EQ((int)bounds.Height() + 1, qbar->sizeHint().height());
	EXPECT_EQ(qbar->geometry(), QRect(0, 0, 451, (int)bounds.Height() + 1));
	EXPECT_GT(bounds.Height(), 12);
	EXPECT_EQ(window->KeyMenuBar(), bar);
	::testing::Test::RecordProperty("menu_bar_bottom", std::to_string((int)bounds.bottom));

	// A larger font makes a taller bar; the bar follows the window's width.
	BFont big(be_plain_font);
	big.SetSize(24);
	bar->SetFont(&big);
	EXPECT_GT(bar->Bounds().Height(), bounds.Height());
	window->ResizeTo(600, 400);
	EXPECT_FLOAT_EQ(bar->Bounds().Width(), 600);
	close_window(window);
}

TEST(Layout, ScrollViewPutsTheBarRightOfItsTarget)
{
	BView background(BRect(0, 0, 450, 330), "bkg", B_FOLLOW_NONE, 0);
	BView* target = new BView(BRect(0, 95, 436, 330), "target", B_FOLLOW_ALL_SIDES, 0);
	BScrollView* scroll =
	    new BScrollView("scroll", target, B_FOLLOW_ALL_SIDES, 0, false, true, B_FANCY_BORDER);
	background.AddChild(scroll);

	// The border lies outside the target; the bar fills the 14 pixels up to
	// the background's right edge.
	EXPECT_EQ(scroll->Frame(), BRect(-2, 93, 452, 332));
	EXPECT_EQ(target->ConvertToParent(target->Bounds()).OffsetByCopy(-2, 93),
	          BRect(0, 95, 436, 330));
	BScrollBar* bar = scroll->ScrollBar(B_VERTICAL);
	ASSERT_NE(bar, nullptr);
	EXPECT_EQ(scroll->ScrollBar(B_HORIZONTAL), nullptr);
	EXPECT_EQ(bar->ConvertToParent(bar->Bounds()).OffsetByCopy(-2, 93), BRect(437, 95, 450, 330));
	EXPECT_EQ(scroll->Target(), target);

	background.ResizeBy(50, 40);
	EXPECT_EQ(target->Frame().OffsetByCopy(-2, 93), BRect(0, 95, 486, 370));
	EXPECT_EQ(bar->Frame().OffsetByCopy(-2, 93), BRect(487, 95, 500, 370));
}

TEST(Layout, ScrollBarFollowsTheTextViewAndScrollsIt)
{
	RecordingWindow* window = new RecordingWindow(BRect(50, 50, 350, 250));
	BTextView* text = new BTextView(BRect(0, 0, 285, 200), "text", BRect(3, 3, 282, 197),
	                                B_FOLLOW_ALL_SIDES, B_WILL_DRAW | B_FRAME_EVENTS);
	BScrollView* scroll = new BScrollView("scroll", text, B_FOLLOW_ALL_SIDES, 0, false, true);
	window->AddChild(scroll);
	window->Show();
	std::string lines;
	for (int i = 0; i < 200; i++)
		lines += "line " + std::to_string(i) + "\n";
	text->SetText(lines.c_str());

	QAbstractScrollArea* area =
	    qobject_cast<QAbstractScrollArea*>(BPrivate::ViewAccess::Widget(text));
	ASSERT_NE(area, nullptr);
	QScrollBar* theirs = area->verticalScrollBar();
	QScrollBar* ours =
	    static_cast<QScrollBar*>(BPrivate::ViewAccess::Widget(scroll->ScrollBar(B_VERTICAL)));
	EXPECT_FALSE(theirs->isVisible());
	ASSERT_TRUE(wait_until([&] { return theirs->maximum() > 0; }));
	EXPECT_EQ(ours->maximum(), theirs->maximum());

	// Scrolling the text (as following the caret does) moves our bar, and
	// moving our bar scrolls the text.
	theirs->setValue(theirs->maximum());
	EXPECT_EQ(ours->value(), theirs->maximum());
	ours->setValue(0);
	EXPECT_EQ(theirs->value(), 0);
	EXPECT_EQ(ours->width(), 14);
	close_window(window);
}
