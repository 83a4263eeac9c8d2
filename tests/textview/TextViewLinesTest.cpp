// Visual lines: LineAt, OffsetAt and CountLines, wrapped and unwrapped.
#include <QApplication>
#include <QTextBlock>
#include <QTextLayout>

#include <gtest/gtest.h>

#include "TextEditWidget.h"
#include "TextViewTestSupport.h"
#include "ViewPrivate.h"

TEST(TextViewLines, FinalLineFeedStartsAnEmptyLastLine)
{
	RecordingTextView view;
	view.SetText("ab\ncd\n");
	EXPECT_EQ(view.LineAt(0), 0);
	EXPECT_EQ(view.LineAt(2), 0); // the line feed belongs to its line
	EXPECT_EQ(view.LineAt(3), 1);
	EXPECT_EQ(view.LineAt(6), 2);
	EXPECT_EQ(view.LineAt(600), 2);
	EXPECT_EQ(view.LineAt(-4), 0);
	EXPECT_EQ(view.OffsetAt(0), 0);
	EXPECT_EQ(view.OffsetAt(1), 3);
	EXPECT_EQ(view.OffsetAt(2), 6);
	EXPECT_EQ(view.OffsetAt(3), 6);
	EXPECT_EQ(view.OffsetAt(-1), 0);
	EXPECT_EQ(view.CountLines(), 3);

	view.SetText("");
	EXPECT_EQ(view.LineAt(0), 0);
	EXPECT_EQ(view.OffsetAt(0), 0);
	EXPECT_EQ(view.OffsetAt(1), 0);
}

TEST(TextViewLines, LongParagraphsWrapAtTheTextRectangle)
{
	RecordingTextView view(BRect(0, 0, 199, 99));
	view.SetTextRect(BRect(0, 0, 199, 99));
	std::string words;
	for (int i = 0; i < 60; i++)
		words += "word ";
	view.SetText((words + "\nshort\n").c_str());
	const int32 wrapped = view.LineAt((int32)words.size() - 1);
	EXPECT_GT(wrapped, 2);
	EXPECT_EQ(view.LineAt((int32)words.size() + 1), wrapped + 1); // "short"
	EXPECT_EQ(view.CountLines(), wrapped + 3);
	// Each visual line starts behind the previous one, at a word.
	for (int32 line = 1; line <= wrapped; line++) {
		const int32 offset = view.OffsetAt(line);
		EXPECT_GT(offset, view.OffsetAt(line - 1));
		EXPECT_EQ(view.ByteAt(offset - 1), ' ');
		EXPECT_EQ(view.LineAt(offset), line);
		EXPECT_EQ(view.LineAt(offset - 1), line - 1);
	}

	// Without wrapping the paragraph is one line.
	view.SetWordWrap(false);
	EXPECT_EQ(view.LineAt((int32)words.size() - 1), 0);
	EXPECT_EQ(view.CountLines(), 3);
	view.SetWordWrap(true);
	EXPECT_EQ(view.CountLines(), wrapped + 3);

	// A wider text rectangle needs fewer lines.
	view.ResizeTo(799, 99);
	view.SetTextRect(BRect(0, 0, 799, 99));
	EXPECT_LT(view.CountLines(), wrapped + 3);
}

TEST(TextViewLines, LineCountsAgreeWithTheLayoutOnScreen)
{
	RecordingTextView view(BRect(0, 0, 299, 199));
	view.SetTextRect(BRect(3, 3, 296, 196));
	std::string text;
	for (int i = 0; i < 40; i++) {
		text += std::string((size_t)(i * 7 % 90), i % 2 ? 'm' : 'i');
		text += i % 5 == 0 ? " \xC3\xA9t\xC3\xA9 une longue phrase avec des mots\tet tab" : " w";
		if (i % 7 == 3) {
			for (int k = 0; k < 12; k++)
				text += "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE2\x86\x92"; // CJK, arrow
		}
		if (i % 11 == 4)
			text += " " + std::string(200, 'W') + " end"; // a word longer than a line
		text += "\n";
	}
	view.SetText(text.c_str());
	auto* widget = dynamic_cast<BPrivate::TextEditWidget*>(BPrivate::ViewAccess::Widget(&view));
	ASSERT_NE(widget, nullptr);
	widget->show();
	QApplication::processEvents();
	// Lay every paragraph out the way the widget paints it and compare.
	BPrivate::TextViewData* data = widget->Data();
	const int width = data->WrapWidth();
	ASSERT_GT(width, 100);
	int32 line = 0;
	const int32 count = data->Paragraphs().Count();
	for (int32 i = 0; i < count; i++) {
		QTextLayout layout;
		data->LayOut(data->Paragraphs().At(i), &layout, width, true);
		const int shown = layout.lineCount();
		// Every line fits the width; a line's trailing spaces may hang.
		for (int k = 0; k < shown; k++) {
			EXPECT_LE(layout.lineAt(k).naturalTextWidth(), width + 1)
			    << "paragraph " << i << " line " << k;
		}
		const int32 start = view.OffsetAt(line);
		EXPECT_EQ(view.LineAt(start), line) << "paragraph " << i;
		line += shown;
		if (i + 1 < count) {
			EXPECT_EQ(view.ByteAt(view.OffsetAt(line) - 1), '\n')
			    << "paragraph " << i << " has " << shown << " lines";
		}
	}
	EXPECT_EQ(view.CountLines(), line);
	EXPECT_GT(line, count + 10); // many paragraphs did wrap
	widget->hide();
}

TEST(TextViewLines, CurrentLineFollowsTheCaret)
{
	RecordingTextView view;
	view.SetText("a\nb\nc");
	view.Select(4, 4);
	EXPECT_EQ(view.CurrentLine(), 2);
	view.Select(2, 3);
	EXPECT_EQ(view.CurrentLine(), 1);
}

TEST(TextViewLines, AnUnderlineKeepsTheTextsOwnLineBreaksAndShowsWhenPainted)
{
	RecordingTextView view(BRect(0, 0, 299, 199));
	view.SetStylable(true);
	std::string text;
	for (int i = 0; i < 30; i++)
		text += "word " + std::string((size_t)(i * 13 % 70), 'x') + " more words here\n";
	view.SetText(text.c_str());
	const int32 linesBefore = view.CountLines();
	auto* widget = dynamic_cast<BPrivate::TextEditWidget*>(BPrivate::ViewAccess::Widget(&view));
	ASSERT_NE(widget, nullptr);
	BPrivate::TextViewData* data = widget->Data();

	BFont underlined;
	view.GetFont(&underlined);
	underlined.SetFace(B_UNDERSCORE_FACE);
	view.SetFontAndColor(5, 60, &underlined, B_FONT_FACE);
	// A decoration moves no glyph: the lines stay counted the quick way.
	EXPECT_FALSE(data->FontsVary());
	EXPECT_EQ(view.CountLines(), linesBefore);
	BFont font;
	view.GetFontAndColor(10, &font);
	EXPECT_TRUE(font.Face() & B_UNDERSCORE_FACE);

	// The layout the widget paints with carries the underline.
	QTextLayout layout;
	data->LayOut(data->Paragraphs().At(0), &layout, data->WrapWidth(), true);
	bool underlinedRange = false;
	for (const QTextLayout::FormatRange& range : layout.formats())
		underlinedRange |= range.format.fontUnderline() && range.start <= 5;
	EXPECT_TRUE(underlinedRange);

	// A bold face does change widths.
	BFont bold;
	view.GetFont(&bold);
	bold.SetFace(B_BOLD_FACE);
	view.SetFontAndColor(70, 80, &bold, B_FONT_FACE);
	EXPECT_TRUE(data->FontsVary());
}
