// A paragraph of megabytes (one long text of a locale file) opens, paints
// and takes edits without laying the whole paragraph out for each, and its
// lines stay the lines a fresh count of the same text finds.
#include <QApplication>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
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

// Where two long texts part, for a message that does not print megabytes.
std::string difference(const std::string& got, const std::string& expected)
{
	size_t at = 0;
	while (at < got.size() && at < expected.size() && got[at] == expected[at])
		at++;
	if (at == got.size() && at == expected.size())
		return std::string();
	return "they part at byte " + std::to_string(at) + " of " + std::to_string(got.size()) +
	       " and " + std::to_string(expected.size()) + ": \"" + got.substr(at, 24) +
	       "\" against \"" + expected.substr(at, 24) + "\"";
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
	EXPECT_EQ(difference(view.Content(), expected), "");
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
	EXPECT_EQ(difference(view.Content(), expected), "");

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

// Edits made where a long paragraph's bytes lie keep its colour runs where
// they were, and undo takes them back.
TEST(TextViewLongParagraph, EditsInsideKeepColourRunsAndUndo)
{
	RecordingTextView view;
	view.SetStylable(true);
	const std::string text = long_paragraph(64 << 10);
	view.SetText(text.c_str());
	// A stretch of ASCII, so that offsets a few bytes apart are characters.
	int32 middle = 32 << 10;
	while (std::any_of(text.begin() + middle, text.begin() + middle + 30,
	                   [](char c) { return (unsigned char)c >= 0x80; }))
		middle++;
	const rgb_color red = {200, 0, 0, 255};
	view.SetFontAndColor(middle, middle + 20, nullptr, 0, &red);
	view.Select(middle + 5, middle + 5);
	QWidget* widget = BPrivate::ViewAccess::Widget(&view);
	QTest::keyClicks(widget, "zz");
	std::string expected = text;
	expected.insert((size_t)middle + 5, "zz");
	EXPECT_EQ(difference(view.Content(), expected), "");
	auto colorAt = [&](int32 offset) {
		rgb_color color;
		view.GetFontAndColor(offset, nullptr, &color);
		return color.red;
	};
	EXPECT_EQ(colorAt(middle - 1), 0);
	EXPECT_EQ(colorAt(middle), 200);
	EXPECT_EQ(colorAt(middle + 5), 200); // typed inside the run
	EXPECT_EQ(colorAt(middle + 21), 200);
	EXPECT_EQ(colorAt(middle + 22), 0);
	view.Undo();
	EXPECT_EQ(difference(view.Content(), text), "");
	EXPECT_EQ(colorAt(middle + 19), 200);
	EXPECT_EQ(colorAt(middle + 20), 0);
}
