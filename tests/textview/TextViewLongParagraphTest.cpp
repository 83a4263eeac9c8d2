// A paragraph of megabytes (one long text of a locale file) opens, paints
// and takes edits without laying the whole paragraph out for each, and its
// lines stay the lines a fresh count of the same text finds.
#include <QApplication>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>

#include "TextViewTestSupport.h"
#include "ViewPrivate.h"

namespace {

// Words of simple scripts with accents, a tab now and then.
std::string long_paragraph(size_t bytes)
{
	static const char* const kWords[] = {"lorem",
	                                     "ipsum",
	                                     "d\xC3\xA9j\xC3\xA0",
	                                     "vu",
	                                     "longer-compound-word",
	                                     "\xCE\xB1\xCE\xB2",
	                                     "x",
	                                     "tab\there",
	                                     "na\xC3\xAFve",
	                                     "words"};
	std::string text;
	text.reserve(bytes + 32);
	for (size_t i = 0; text.size() < bytes; i++) {
		text += kWords[(i * 7 + i / 3) % 10];
		text += ' ';
	}
	return text;
}

// The start of the character at offset.
int32 boundary(const std::string& text, int32 offset)
{
	while (offset > 0 && ((unsigned char)text[(size_t)offset] & 0xC0) == 0x80)
		offset--;
	return offset;
}

// Every visual line of two views starts at the same offset.
void expect_same_lines(BTextView& view, BTextView& fresh)
{
	ASSERT_EQ(view.CountLines(), fresh.CountLines());
	const int32 count = view.CountLines();
	for (int32 line = 0; line < count; line++) {
		ASSERT_EQ(view.OffsetAt(line), fresh.OffsetAt(line)) << "line " << line;
	}
}

} // namespace

TEST(TextViewLongParagraph, TwoMegabytesOpenPaintAndTakeEditsWithTheirLinesKept)
{
	const BRect frame(0, 0, 399, 299);
	RecordingTextView view(frame);
	view.SetTextRect(BRect(3, 3, 396, 296));
	QWidget* widget = BPrivate::ViewAccess::Widget(&view);
	widget->resize(400, 300);
	widget->show();
	const std::string text = "first\n" + long_paragraph(2 << 20) + "\nlast";
	view.SetText(text.c_str());
	const int32 lines = view.CountLines();
	EXPECT_GT(lines, 20000);
	widget->repaint();

	// Type in the middle of the long paragraph, where the caret is shown.
	const int32 middle = boundary(text, 6 + (1 << 20));
	view.Select(middle, middle);
	widget->setFocus();
	QTest::keyClicks(widget, "typed words ");
	QTest::keyClick(widget, Qt::Key_Backspace);
	widget->repaint();
	std::string expected = text;
	expected.insert((size_t)middle, "typed words");
	EXPECT_EQ(view.Content(), expected);
	// The caret's line holds the caret.
	int32 start, end;
	view.GetSelection(&start, &end);
	EXPECT_EQ(start, middle + 11);
	const int32 caretLine = view.LineAt(start);
	EXPECT_LE(view.OffsetAt(caretLine), start);
	EXPECT_GT(view.OffsetAt(caretLine + 1), start);

	// Deleting a long stretch lets the following words move up.
	const int32 cutFrom = boundary(expected, middle - 500);
	const int32 cutTo = boundary(expected, middle + 3000);
	view.Delete(cutFrom, cutTo);
	expected.erase((size_t)cutFrom, (size_t)(cutTo - cutFrom));
	EXPECT_EQ(view.Content(), expected);

	RecordingTextView fresh(frame);
	fresh.SetTextRect(BRect(3, 3, 396, 296));
	QWidget* freshWidget = BPrivate::ViewAccess::Widget(&fresh);
	freshWidget->resize(400, 300);
	freshWidget->show();
	fresh.SetText(expected.c_str());
	expect_same_lines(view, fresh);
	widget->hide();
	freshWidget->hide();
}
