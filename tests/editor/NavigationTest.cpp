// The translator's navigation: the status line while typing, the Go menu
// (untranslated entries, warnings, an entry by number), the warning mark in
// the text and Redo from the menu.

#include <AppDefs.h>
#include <Font.h>
#include <Message.h>
#include <TextView.h>

#include "EditorMessages.h"
#include "EditorTestSupport.h"
#include "StatusLine.h"
#include "ZTLEStatusView.h"
#include "ZTLETextView.h"

namespace {

// Three blocks as the reference walk writes them: entry 1 translated, 2
// and 3 waiting, 3 without a translation line at the very end.
const std::string kThreeBlocks = "; #ID1:\n; Open\n\xc3\x96"
                                 "ffnen\n"
                                 "; #ID2:\n; Save %s.\n\n"
                                 "; #ID3:\n; Quit";

} // namespace

class NavigationTest : public EditorWindowTest
{
protected:
	// Keeps the GUI going until the status line says text.
	bool StatusBecomes(const std::string& text)
	{
		return WaitFor([&] { return Status() == text; });
	}

	int32 Caret()
	{
		int32 start = 0, end = 0;
		TextView()->GetSelection(&start, &end);
		return start;
	}

	void PutCaret(int32 offset)
	{
		ASSERT_TRUE(mWindow->Lock());
		TextView()->Select(offset, offset);
		mWindow->Unlock();
	}

	// Types at the caret, one character at a time, as the keys would.
	void Type(const std::string& text)
	{
		for (char c : text) {
			ASSERT_TRUE(mWindow->Lock());
			TextView()->Insert(&c, 1);
			mWindow->Unlock();
		}
	}

	int32 OffsetOf(const std::string& needle) { return (int32)Text().find(needle); }
};

TEST_F(NavigationTest, StatusCountsFollowTheTranslatorsTyping)
{
	SetText(kThreeBlocks);
	PutCaret(0);
	EXPECT_TRUE(StatusBecomes("1 of 3 translated \xc2\xb7 0 warnings \xc2\xb7 entry 1"))
	    << Status();

	// Into entry 2's empty line: the checker's findings show for it.
	PutCaret(OffsetOf("; Save %s.\n") + 11);
	Type("Sichern");
	EXPECT_TRUE(StatusBecomes("2 of 3 translated \xc2\xb7 2 warnings \xc2\xb7 entry 2: %s missing; "
	                          "ends with '.' in the reference"))
	    << Status();
	Type(" %s.");
	EXPECT_TRUE(StatusBecomes("2 of 3 translated \xc2\xb7 0 warnings \xc2\xb7 entry 2"))
	    << Status();

	// Emptied again, the entry counts as untranslated, not as a warning.
	ASSERT_TRUE(mWindow->Lock());
	const int32 line = OffsetOf("Sichern");
	TextView()->Delete(line, line + (int32)std::string("Sichern %s.").size());
	mWindow->Unlock();
	EXPECT_TRUE(StatusBecomes("1 of 3 translated \xc2\xb7 0 warnings \xc2\xb7 entry 2"))
	    << Status();
}

TEST_F(NavigationTest, WithoutMarkersTheStatusCountsEntriesOnly)
{
	SetText("Datei\n; a comment\nSichern\n\nBeenden\n");
	EXPECT_TRUE(StatusBecomes("3 entries")) << Status();
}

TEST_F(NavigationTest, AMessageShowsUntilTheNextEdit)
{
	SetText(kThreeBlocks);
	EXPECT_TRUE(StatusBecomes("1 of 3 translated \xc2\xb7 0 warnings \xc2\xb7 entry 1"))
	    << Status();
	ASSERT_TRUE(mWindow->Lock());
	mWindow->Status()->ShowMessage("Saved /tmp/x.locale");
	mWindow->Unlock();
	EXPECT_EQ(Status(), "Saved /tmp/x.locale");
	Settle();
	EXPECT_EQ(Status(), "Saved /tmp/x.locale") << "a tick without an edit leaves it";
	Type("x");
	EXPECT_NE(Status(), "Saved /tmp/x.locale");
}

TEST_F(NavigationTest, NextUntranslatedMakesTheLineAtTheEndAndWrapsToTheBeginning)
{
	SetText(kThreeBlocks);
	PutCaret(OffsetOf("; Save"));
	// Entry 3 is the last line, without a line feed: its line is made.
	Dispatch(kMsgNextUntranslated);
	EXPECT_EQ(Text(), kThreeBlocks + "\n");
	EXPECT_EQ(Caret(), (int32)Text().size());
	// From the last block round to entry 2, the first one waiting.
	Dispatch(kMsgNextUntranslated);
	EXPECT_EQ(Caret(), OffsetOf("; Save %s.\n") + 11);
	EXPECT_EQ(Text(), kThreeBlocks + "\n") << "entry 2 had its empty line";
	// Backwards from entry 2 round to entry 3, whose line now exists.
	Dispatch(kMsgPreviousUntranslated);
	EXPECT_EQ(Caret(), (int32)Text().size());
	EXPECT_EQ(Text(), kThreeBlocks + "\n");
}

TEST_F(NavigationTest, PreviousUntranslatedFromTheBeginningWrapsToTheEnd)
{
	const std::string text = "; #ID1:\n; Open\n; #ID2:\n; Save\nSichern\n; #ID3:\n; Quit\n\n";
	SetText(text);
	PutCaret(0);
	Dispatch(kMsgPreviousUntranslated);
	EXPECT_EQ(Caret(), (int32)text.find("; Quit\n") + 7);
	Dispatch(kMsgPreviousUntranslated);
	// Entry 1 has no line between its reference and the next marker: made.
	EXPECT_EQ(Text(), "; #ID1:\n; Open\n\n; #ID2:\n; Save\nSichern\n; #ID3:\n; Quit\n\n");
	EXPECT_EQ(Caret(), 15);
}

TEST_F(NavigationTest, NothingUntranslatedLeavesTheTextAndSaysSo)
{
	const std::string text = "; #ID1:\n; Open\n\xc3\x96"
	                         "ffnen\n";
	SetText(text);
	Dispatch(kMsgNextUntranslated);
	EXPECT_EQ(Text(), text);
	EXPECT_EQ(Status(), "No untranslated entry");
}

TEST_F(NavigationTest, WarningsAreMarkedOnTheTranslationLineAndKeepTheCommentColours)
{
	SetText("; #ID1:\n; Open\n\xc3\x96"
	        "ffnen\n; #ID2:\n; Save %s.\nSichern\n");
	PutCaret(0);
	ASSERT_TRUE(StatusBecomes("2 of 2 translated \xc2\xb7 2 warnings \xc2\xb7 entry 1"))
	    << Status();
	const int32 warned = OffsetOf("Sichern");
	auto underlined = [&](int32 offset) {
		BFont font;
		TextView()->GetFontAndColor(offset, &font);
		return (font.Face() & B_UNDERSCORE_FACE) != 0;
	};
	auto colour = [&](int32 offset) {
		rgb_color color;
		TextView()->GetFontAndColor(offset, nullptr, &color);
		return color;
	};
	ASSERT_TRUE(mWindow->Lock());
	EXPECT_TRUE(underlined(warned));
	EXPECT_TRUE(underlined(warned + 6));
	EXPECT_FALSE(underlined(OffsetOf("ffnen")));
	EXPECT_FALSE(underlined(OffsetOf("; Save")));
	EXPECT_EQ(colour(warned), ZTLETextView::Black);
	EXPECT_EQ(colour(OffsetOf("; Save")), ZTLETextView::Red);
	mWindow->Unlock();

	// Next Warning goes there; fixed, the mark goes.
	PutCaret(0);
	Dispatch(kMsgNextWarning);
	EXPECT_EQ(Caret(), warned);
	PutCaret(warned + 7);
	Type(" %s.");
	ASSERT_TRUE(StatusBecomes("2 of 2 translated \xc2\xb7 0 warnings \xc2\xb7 entry 2"));
	ASSERT_TRUE(mWindow->Lock());
	for (int32 offset = warned; offset < warned + 11; offset++)
		EXPECT_FALSE(underlined(offset)) << offset;
	EXPECT_EQ(colour(OffsetOf("; Save")), ZTLETextView::Red);
	mWindow->Unlock();
	Dispatch(kMsgNextWarning);
	EXPECT_EQ(Status(), "No warning");
}

TEST_F(NavigationTest, GoToEntryPutsTheCaretOnItsTranslationLine)
{
	SetText(kThreeBlocks);
	BMessage go(kMsgGoToEntry);
	go.AddString(kFieldEntry, "2");
	Dispatch(go);
	EXPECT_EQ(Caret(), OffsetOf("; Save %s.\n") + 11);
	BMessage missing(kMsgGoToEntry);
	missing.AddString(kFieldEntry, "9");
	Dispatch(missing);
	EXPECT_EQ(Status(), "No entry 9");
	EXPECT_EQ(Caret(), OffsetOf("; Save %s.\n") + 11);
}

TEST_F(NavigationTest, RedoFromTheMenuRestoresWhatUndoTookBack)
{
	SetText("abc\n");
	PutCaret(3);
	Type("d");
	ASSERT_TRUE(mWindow->Lock());
	TextView()->MakeFocus(true);
	mWindow->Unlock();
	Dispatch(B_UNDO);
	Settle();
	EXPECT_EQ(Text(), "abc\n");
	Dispatch(B_REDO);
	Settle();
	EXPECT_EQ(Text(), "abcd\n");
}
