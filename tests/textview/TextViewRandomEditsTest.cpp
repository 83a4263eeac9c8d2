// Random edits from every source against a plain string doing the same.
#include <QApplication>
#include <QClipboard>
#include <QTest>

#include <gtest/gtest.h>

#include <random>

#include "TextViewTestSupport.h"
#include "ViewPrivate.h"

namespace {

const char* const kPieces[] = {
    "a",  "bc",  "\n",    "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80",
    "\r", "; x", "word ", "\n\n",     "\xE2\x80\xA9", "long line of several words that wraps "};

// The first byte of the character at or before offset.
int32 character_start(const std::string& text, int32 offset)
{
	while (offset > 0 && offset < (int32)text.size() &&
	       ((uint8)text[(size_t)offset] & 0xC0) == 0x80)
		offset--;
	return offset;
}

void check_lines(RecordingTextView& view, const std::string& text, std::mt19937& random)
{
	const int32 lines = view.CountLines();
	ASSERT_GE(lines, 1);
	EXPECT_EQ(view.OffsetAt(lines), (int32)text.size());
	for (int i = 0; i < 10; i++) {
		const int32 offset = (int32)(random() % (text.size() + 1));
		const int32 line = view.LineAt(offset);
		ASSERT_GE(line, 0);
		ASSERT_LT(line, lines);
		EXPECT_LE(view.OffsetAt(line), offset);
		if (line + 1 < lines) {
			EXPECT_GT(view.OffsetAt(line + 1), offset);
		}
		// Every line feed ends a line: what follows starts one.
		if (offset > 0 && text[(size_t)offset - 1] == '\n') {
			EXPECT_EQ(view.OffsetAt(line), offset);
		}
	}
}

} // namespace

class TextViewRandomEdits : public ::testing::TestWithParam<int>
{
};

TEST_P(TextViewRandomEdits, TextLinesAndUndoFollowEveryKindOfEdit)
{
	std::mt19937 random((unsigned)GetParam());
	RecordingTextView view(BRect(0, 0, 159, 99));
	view.SetTextRect(BRect(2, 2, 157, 97));
	QWidget* widget = BPrivate::ViewAccess::Widget(&view);
	std::string text = "start\n";
	view.SetText(text.c_str());

	for (int round = 0; round < 300; round++) {
		const int32 offset = character_start(text, (int32)(random() % (text.size() + 1)));
		const std::string piece = kPieces[random() % (sizeof(kPieces) / sizeof(kPieces[0]))];
		switch (random() % 5) {
		case 0:
			view.Insert(offset, piece.c_str(), (int32)piece.size());
			text.insert((size_t)offset, piece);
			break;
		case 1: {
			const int32 end = character_start(
			    text, std::min<int32>((int32)text.size(), offset + (int32)(random() % 12)));
			view.Delete(offset, end);
			if (end > offset)
				text.erase((size_t)offset, (size_t)(end - offset));
			break;
		}
		case 2:
			// Typing plain letters at a caret.
			view.Select(offset, offset);
			QTest::keyClicks(widget, "xy");
			text.insert((size_t)offset, "xy");
			break;
		case 3:
			view.Select(offset, offset);
			QTest::keyClick(widget, Qt::Key_Backspace);
			if (offset > 0) {
				const int32 before = character_start(text, offset - 1);
				text.erase((size_t)before, (size_t)(offset - before));
			}
			break;
		default:
			// Pasting over a selection; the clipboard has no stand-ins.
			if (piece.find('\r') != std::string::npos ||
			    piece.find("\xE2\x80\xA9") != std::string::npos)
				break;
			const int32 end = character_start(
			    text, std::min<int32>((int32)text.size(), offset + (int32)(random() % 6)));
			QApplication::clipboard()->setText(QString::fromStdString(piece));
			view.Select(offset, end);
			view.Paste();
			text.replace((size_t)offset, (size_t)(end - offset), piece);
			break;
		}
		ASSERT_EQ(view.Content(), text) << "round " << round;
		ASSERT_EQ(view.TextLength(), (int32)text.size());
		if (round % 10 == 0)
			check_lines(view, text, random);
		if (round % 25 == 0)
			QApplication::processEvents(); // lets program edits end their undo step
	}

	// All the way back, and forward again.
	const std::string final = text;
	int steps = 0;
	while (view.CanUndo() && steps < 10000) {
		view.Undo();
		steps++;
	}
	EXPECT_EQ(view.Content(), "start\n");
	while (view.CanRedo())
		view.Redo();
	EXPECT_EQ(view.Content(), final);
	check_lines(view, final, random);
}

INSTANTIATE_TEST_SUITE_P(Seeds, TextViewRandomEdits, ::testing::Values(11, 12, 13, 14));
