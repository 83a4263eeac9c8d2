// The text rectangle follows the frame while wrapping; NextLineOffset steps
// by lines (paragraphs), not by visual lines.
#include <QAbstractScrollArea>
#include <QApplication>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <string>

#include "ViewPrivate.h"
#include "ZTTextView.h"

namespace {

ZTTextView* make_view(BRect frame = BRect(0, 0, 199, 99))
{
	return new ZTTextView(frame, "text", frame.OffsetToCopy(0, 0), B_FOLLOW_ALL_SIDES,
	                      B_WILL_DRAW | B_FRAME_EVENTS);
}

std::string long_line(int words)
{
	std::string line;
	for (int i = 0; i < words; i++)
		line += "word" + std::to_string(i) + " ";
	return line;
}

} // namespace

TEST(ZTTextView, ResizingFitsTheTextRectangleInsideTheBounds)
{
	std::unique_ptr<ZTTextView> view(make_view());
	view->ResizeTo(400, 300);
	const BRect rect = view->TextRect();
	EXPECT_EQ(rect, BRect(3, 3, 397, 297));

	// Scrolled down, the rectangle is still taken from the origin.
	view->SetText((long_line(400) + "\n" + long_line(400)).c_str());
	QAbstractScrollArea* widget =
	    qobject_cast<QAbstractScrollArea*>(BPrivate::ViewAccess::Widget(view.get()));
	ASSERT_NE(widget, nullptr);
	widget->show();
	QApplication::processEvents(); // the scroll range follows the text
	widget->verticalScrollBar()->setValue(widget->verticalScrollBar()->maximum());
	ASSERT_GT(widget->verticalScrollBar()->value(), 0);
	view->FrameResized(400, 300);
	EXPECT_EQ(view->TextRect(), BRect(3, 3, 397, 297));
	view->ResizeTo(250, 120);
	EXPECT_EQ(view->TextRect(), BRect(3, 3, 247, 117));
	widget->hide();
}

TEST(ZTTextView, WithoutWrappingResizingKeepsTheTextRectangle)
{
	std::unique_ptr<ZTTextView> view(make_view());
	view->SetWordWrap(false);
	view->SetTextRect(BRect(1, 2, 50, 60));
	view->ResizeTo(400, 300);
	view->FrameResized(400, 300);
	EXPECT_EQ(view->TextRect(), BRect(1, 2, 50, 60));
}

TEST(ZTTextView, NextLineOffsetStepsOverWholeLines)
{
	std::unique_ptr<ZTTextView> view(make_view());
	view->ResizeTo(200, 100);

	view->SetText("ab\ncd\n");
	EXPECT_EQ(view->NextLineOffset(0), 3);
	EXPECT_EQ(view->NextLineOffset(1), 6);
	EXPECT_EQ(view->NextLineOffset(2), 6); // the empty line after the last line feed

	view->SetText("");
	EXPECT_EQ(view->NextLineOffset(0), 0);

	// No line feed at all: the text length, however many visual lines.
	const std::string wrapped = long_line(80);
	view->SetText(wrapped.c_str());
	ASSERT_GT(view->CountLines(), 3);
	for (int32 line = 0; line < view->CountLines(); line++)
		EXPECT_EQ(view->NextLineOffset(line), (int32)wrapped.size());

	// From a visual line in the middle of a wrapped line: the start of the
	// next line, not of the next visual line.
	const std::string text = "first\n" + wrapped + "\nlast";
	view->SetText(text.c_str());
	const int32 wrappedLines = view->LineAt((int32)(6 + wrapped.size())) - 1;
	ASSERT_GT(wrappedLines, 2);
	const int32 nextLine = (int32)(6 + wrapped.size() + 1);
	EXPECT_EQ(view->NextLineOffset(0), 6);
	for (int32 line = 1; line <= wrappedLines + 1; line++)
		EXPECT_EQ(view->NextLineOffset(line), nextLine) << "visual line " << line;
	EXPECT_EQ(view->NextLineOffset(view->LineAt(nextLine)), (int32)text.size());
}
