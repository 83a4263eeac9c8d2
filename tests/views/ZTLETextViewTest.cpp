// Comments are red from their ';' to the end of the line, whatever made
// the change; everything else is black.
#include <QApplication>
#include <QClipboard>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>

#include "ViewPrivate.h"
#include "ZTLETextView.h"

namespace {

class ColourTest : public ::testing::Test
{
protected:
	void SetUp() override
	{
		const BRect frame(0, 0, 299, 199);
		view.reset(new ZTLETextView(frame, nullptr, frame, B_FOLLOW_ALL_SIDES,
		                            B_WILL_DRAW | B_FRAME_EVENTS));
		view->MakeEditable(true);
		view->SetDoesUndo(true);
		view->SetStylable(true);
		view->FrameResized(299, 199);
	}

	QWidget* Widget() { return BPrivate::ViewAccess::Widget(view.get()); }

	// One letter per character: 'R' red, 'B' black, '?' anything else;
	// line feeds show as '|' followed by their colour.
	std::string Colours()
	{
		std::string out;
		const int32 length = view->TextLength();
		for (int32 offset = 0; offset < length; offset++) {
			const uint8 byte = (uint8)view->ByteAt(offset);
			if ((byte & 0xC0) == 0x80)
				continue;
			rgb_color color;
			view->GetFontAndColor(offset, nullptr, &color);
			if (byte == '\n')
				out += '|';
			out += color == ZTLETextView::Red ? 'R' : color == ZTLETextView::Black ? 'B' : '?';
		}
		return out;
	}

	std::unique_ptr<ZTLETextView> view;
};

} // namespace

TEST_F(ColourTest, TypingASemicolonTurnsTheRestOfTheLineRedAndDeletingItBlack)
{
	view->SetText("abcdef\nnext\n");
	EXPECT_EQ(Colours(), "BBBBBB|BBBBB|B");
	view->Select(3, 3);
	QTest::keyClicks(Widget(), ";");
	EXPECT_EQ(Colours(), "BBBRRRR|BBBBB|B");
	QTest::keyClick(Widget(), Qt::Key_Backspace);
	EXPECT_EQ(Colours(), "BBBBBB|BBBBB|B");
	// Typing behind a comment stays red; typing on the next line is black.
	view->SetText("; c\nx");
	view->Select(3, 3);
	QTest::keyClicks(Widget(), "d");
	view->Select(6, 6);
	QTest::keyClicks(Widget(), "y");
	EXPECT_EQ(Colours(), "RRRR|BBB");
}

TEST_F(ColourTest, EntryMarkerIsRedUpToItsLineFeed)
{
	view->SetText("; #ID1:\n");
	EXPECT_EQ(Colours(), "RRRRRRR|B");
	view->SetText("a;b;c\nd");
	EXPECT_EQ(Colours(), "BRRRR|BB");
}

TEST_F(ColourTest, StyledInsertionsAreRecolouredByTheRule)
{
	view->SetText("x\n");
	// Two runs: green for the first three bytes, red for the rest.
	text_run_array* runs = (text_run_array*)malloc(sizeof(text_run_array) + sizeof(text_run));
	new (&runs->runs[0]) text_run();
	new (&runs->runs[1]) text_run();
	runs->count = 2;
	runs->runs[0].offset = 0;
	runs->runs[0].color = make_color(0, 200, 0);
	runs->runs[1].offset = 3;
	runs->runs[1].color = make_color(255, 0, 0);
	view->Insert(2, "ab;cd\nef", 8, runs);
	free(runs);
	EXPECT_EQ(Colours(), "B|BBBRRR|BBB");

	// Pasted text is coloured the same way.
	QApplication::clipboard()->setText(QStringLiteral("q;r\ns"));
	view->Select(0, 0);
	view->Paste();
	EXPECT_EQ(Colours(), "BRR|BBB|BBBRRR|BBB");
}

TEST_F(ColourTest, ReferenceBlocksAreRedAndTranslationsBlack)
{
	view->SetText("Ok\nAbbrechen\n");
	view->Insert(0, "; #ID1:\n; Ok\n", 13);
	view->Insert(16, "; #ID2:\n; Cancel\n", 17);
	EXPECT_EQ(std::string(view->Text()), "; #ID1:\n; Ok\nOk\n; #ID2:\n; Cancel\nAbbrechen\n");
	EXPECT_EQ(Colours(), "RRRRRRR|BRRRR|BBB|BRRRRRRR|BRRRRRRRR|BBBBBBBBBB|B");
	// Undoing the program's edits recolours as well.
	QApplication::processEvents(); // ends the program's undo step
	view->Delete(0, 2);            // "#ID1:" is no comment any more
	EXPECT_EQ(Colours(), "BBBBB|BRRRR|BBB|BRRRRRRR|BRRRRRRRR|BBBBBBBBBB|B");
	view->Undo();
	EXPECT_EQ(Colours(), "RRRRRRR|BRRRR|BBB|BRRRRRRR|BRRRRRRRR|BBBBBBBBBB|B");
}

TEST_F(ColourTest, SyntaxHighlightingKeepsTheEditableFlag)
{
	view->SetText("a;b");
	view->MakeEditable(false);
	view->SyntaxHighlighting(0, view->TextLength());
	EXPECT_FALSE(view->IsEditable());
	view->MakeEditable(true);
	view->SyntaxHighlighting(0, view->TextLength());
	EXPECT_TRUE(view->IsEditable());
	// The editable view still takes typing after colouring.
	view->Select(3, 3);
	QTest::keyClicks(Widget(), "c");
	EXPECT_EQ(std::string(view->Text()), "a;bc");
}

TEST_F(ColourTest, WrappedCommentEditedOnALaterVisualLineStaysRed)
{
	std::string comment = ";";
	for (int i = 0; i < 60; i++)
		comment += " word";
	view->SetText((comment + "\nplain").c_str());
	ASSERT_GT(view->LineAt((int32)comment.size() - 1), 1); // wrapped
	EXPECT_EQ(Colours(), std::string(comment.size(), 'R') + "|BBBBBB");

	// Type near the end of the last visual line of the comment.
	view->Select((int32)comment.size() - 2, (int32)comment.size() - 2);
	QTest::keyClicks(Widget(), "xy");
	EXPECT_EQ(Colours(), std::string(comment.size() + 2, 'R') + "|BBBBBB");
	QTest::keyClick(Widget(), Qt::Key_Backspace);
	EXPECT_EQ(Colours(), std::string(comment.size() + 1, 'R') + "|BBBBBB");

	// Deleting the ';' turns the whole line black, later visual lines too.
	view->Delete(0, 1);
	EXPECT_EQ(Colours(), std::string(comment.size(), 'B') + "|BBBBBB");
	// And putting it back turns it all red.
	view->Insert(0, ";", 1);
	EXPECT_EQ(Colours(), std::string(comment.size() + 1, 'R') + "|BBBBBB");
}

// The colours by the rule, worked out from the bytes alone.
std::string colours_by_rule(const std::string& text)
{
	std::string out;
	bool comment = false;
	for (char byte : text) {
		if (byte == '\n') {
			comment = false;
			out += "|B";
			continue;
		}
		comment |= byte == ';';
		out += comment ? 'R' : 'B';
	}
	return out;
}

TEST_F(ColourTest, AnyRunOfInsertionsAndDeletionsLeavesTheColoursOfTheRule)
{
	// Edits that add or take out comment starts and line feeds, in the
	// middle of lines, at their ends and across them, typed and undone.
	view->SetText("ab;cd\nef\n;gh;ij\nkl");
	std::mt19937 random(7);
	const char pieces[][4] = {"x", ";", "\n", "y;z", "q\nr"};
	for (int step = 0; step < 400; step++) {
		const int32 length = view->TextLength();
		const int32 at = (int32)(random() % (uint32)(length + 1));
		switch (random() % 4) {
		case 0:
		case 1: {
			const char* piece = pieces[random() % 5];
			view->Insert(at, piece, (int32)strlen(piece));
			break;
		}
		case 2:
			view->Delete(at, std::min(length, at + 1 + (int32)(random() % 4)));
			break;
		default:
			view->Select(at, at);
			QTest::keyClick(Widget(), random() % 2 == 0 ? Qt::Key_Backspace : Qt::Key_Semicolon);
			break;
		}
		const std::string text(view->Text(), (size_t)view->TextLength());
		ASSERT_EQ(Colours(), colours_by_rule(text)) << "step " << step << " text " << text;
	}
	while (view->CanUndo()) {
		view->Undo();
		const std::string text(view->Text(), (size_t)view->TextLength());
		ASSERT_EQ(Colours(), colours_by_rule(text)) << "undone to " << text;
	}
}
