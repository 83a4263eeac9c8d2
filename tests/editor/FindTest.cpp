// Find and replace in the locale text: across paragraphs, round the end,
// backwards, with multibyte text, with and without match case, and Replace
// All as one undo step.

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include <AppDefs.h>
#include <Application.h>
#include <InterfaceDefs.h>
#include <Message.h>
#include <TextControl.h>
#include <TextView.h>
#include <Window.h>

#include "EditorMessages.h"
#include "EditorTestSupport.h"
#include "TextSearch.h"
#include "ZTLEStatusView.h"

class FindTest : public EditorWindowTest
{
protected:
	void Find(uint32 what, const char* text = nullptr, const char* replacement = nullptr)
	{
		BMessage message(what);
		if (text != nullptr)
			message.AddString(kFieldFindText, text);
		if (replacement != nullptr)
			message.AddString(kFieldReplaceText, replacement);
		Dispatch(message);
	}

	std::pair<int32, int32> Selection()
	{
		int32 start = 0, end = 0;
		TextView()->GetSelection(&start, &end);
		return {start, end};
	}

	void PutCaret(int32 offset)
	{
		ASSERT_TRUE(mWindow->Lock());
		TextView()->Select(offset, offset);
		mWindow->Unlock();
	}

	// The panel window with this title, once there is one.
	BWindow* PanelWindow(const char* title)
	{
		for (int32 i = 0; i < be_app->CountWindows(); i++) {
			BWindow* window = be_app->WindowAt(i);
			if (window != mWindow && window->Title() != nullptr &&
			    std::string(window->Title()) == title)
				return window;
		}
		return nullptr;
	}

	bool IsHidden(BWindow* window)
	{
		if (!window->Lock())
			return false;
		const bool hidden = window->IsHidden();
		window->Unlock();
		return hidden;
	}

	// A key as the user presses it, into the focused widget of the window
	// with this title.
	static void PressKey(const char* title, int key,
	                     Qt::KeyboardModifiers modifiers = Qt::NoModifier)
	{
		for (QWidget* window : QApplication::topLevelWidgets()) {
			if (!window->isVisible() || window->windowTitle() != QString::fromUtf8(title))
				continue;
			QWidget* target = window->focusWidget() != nullptr ? window->focusWidget() : window;
			QKeyEvent press(QEvent::KeyPress, key, modifiers);
			QApplication::sendEvent(target, &press);
			QKeyEvent release(QEvent::KeyRelease, key, modifiers);
			QApplication::sendEvent(target, &release);
			return;
		}
		ADD_FAILURE() << "no window " << title;
	}
};

TEST_F(FindTest, FindNextWalksThroughParagraphsAndRoundTheEnd)
{
	// "Größe" in three paragraphs; its bytes are not all ASCII.
	const std::string text = "; Gr\xc3\xb6\xc3\x9f"
	                         "e\nGr\xc3\xb6\xc3\x9f"
	                         "e\n\nx gr\xc3\xb6\xc3\x9f"
	                         "e\n";
	SetText(text);
	PutCaret(0);
	const int32 length = 7; // G r ö ß e
	Find(kMsgFindNext, "gr\xc3\xb6\xc3\x9f"
	                   "e");
	EXPECT_EQ(Selection(), std::make_pair(2, 2 + length));
	Find(kMsgFindNext); // the menu: the same text again
	EXPECT_EQ(Selection(), std::make_pair(10, 10 + length));
	Find(kMsgFindNext);
	EXPECT_EQ(Selection(), std::make_pair(21, 21 + length));
	Find(kMsgFindNext);
	EXPECT_EQ(Selection(), std::make_pair(2, 2 + length)) << "round the end";
	Find(kMsgFindPrevious);
	EXPECT_EQ(Selection(), std::make_pair(21, 21 + length)) << "round the start, backwards";
	Find(kMsgFindPrevious);
	EXPECT_EQ(Selection(), std::make_pair(10, 10 + length));
}

TEST_F(FindTest, F3AndShiftF3FindNextAndPrevious)
{
	SetText("ab ab ab\n");
	PutCaret(0);
	Find(kMsgFindNext, "ab");
	ASSERT_EQ(Selection(), std::make_pair(0, 2));
	auto press = [&](uint32 modifiers) {
		BMessage key(B_KEY_DOWN);
		key.AddInt32("modifiers", (int32)modifiers);
		key.AddInt32("key", B_F3_KEY);
		const char bytes[2] = {(char)B_FUNCTION_KEY, 0};
		key.AddString("bytes", bytes);
		Dispatch(key);
	};
	press(0);
	EXPECT_EQ(Selection(), std::make_pair(3, 5));
	press(0);
	EXPECT_EQ(Selection(), std::make_pair(6, 8));
	press(B_SHIFT_KEY);
	EXPECT_EQ(Selection(), std::make_pair(3, 5));
}

// The panels from the keyboard: Enter in a field presses the default button
// (Find Next, Go), F3 and Shift+F3 search with what the field holds, and
// Escape closes the panel.
TEST_F(FindTest, ThePanelsAnswerEnterF3AndEscape)
{
	SetText("; #ID1:\n; a\nab ab\n; #ID2:\n; b\nab\n");
	PutCaret(0);
	struct Panel
	{
		uint32 show;
		const char* title;
		const char* field;
		const char* typed;
	} panels[] = {
	    {kMsgFindPanel, "Find", kFieldFindText, "ab"},
	    {kMsgGoToEntryPanel, "Go to Entry", kFieldEntry, "2"},
	};
	for (const Panel& each : panels) {
		SCOPED_TRACE(each.title);
		Dispatch(each.show);
		BWindow* panel = nullptr;
		ASSERT_TRUE(WaitFor([&] { return (panel = PanelWindow(each.title)) != nullptr; }));
		ASSERT_TRUE(panel->Lock());
		BTextControl* field = dynamic_cast<BTextControl*>(panel->FindView(each.field));
		ASSERT_NE(field, nullptr);
		field->SetText(each.typed);
		panel->Unlock();
		PressKey(each.title, Qt::Key_Return);
		if (each.show == kMsgFindPanel) {
			const int32 first = (int32)Text().find("ab");
			ASSERT_TRUE(WaitFor([&] { return Selection() == std::make_pair(first, first + 2); }));
			// F3 with the panel in front: the text of its field, onwards.
			ASSERT_TRUE(panel->Lock());
			field->SetText("AB");
			panel->Unlock();
			PressKey(each.title, Qt::Key_F3);
			EXPECT_TRUE(WaitFor([&] { return Selection().first == first + 3; }));
			PressKey(each.title, Qt::Key_F3, Qt::ShiftModifier);
			EXPECT_TRUE(WaitFor([&] { return Selection().first == first; }));
		} else {
			const int32 entry2 = (int32)Text().find("; b\n") + 4;
			EXPECT_TRUE(WaitFor([&] { return Selection() == std::make_pair(entry2, entry2); }));
		}
		PressKey(each.title, Qt::Key_Escape);
		EXPECT_TRUE(WaitFor([&] { return IsHidden(panel); }));
	}
}

TEST_F(FindTest, MatchCaseFromTheMenuTellsCapitalsApart)
{
	SetText("Open open OPEN\n");
	Dispatch(kMsgMatchCase);
	PutCaret(0);
	Find(kMsgFindNext, "OPEN");
	EXPECT_EQ(Selection(), std::make_pair(10, 14));
	Find(kMsgFindNext);
	EXPECT_EQ(Selection(), std::make_pair(10, 14)) << "the only match";
	Find(kMsgFindNext, "Opem");
	EXPECT_EQ(Status(), "'Opem' not found");
	EXPECT_EQ(Selection(), std::make_pair(10, 14));
}

TEST_F(FindTest, ReplaceAllAcrossParagraphsIsOneUndoStep)
{
	const std::string text = "; file\nDatei \xc3\xb6"
	                         "ffnen\n\nDATEI speichern\ndatei\n";
	SetText(text);
	Find(kMsgReplaceAll, "datei",
	     "Gr\xc3\xb6\xc3\x9f"
	     "e");
	EXPECT_EQ(Text(), "; file\nGr\xc3\xb6\xc3\x9f"
	                  "e \xc3\xb6"
	                  "ffnen\n\nGr\xc3\xb6\xc3\x9f"
	                  "e speichern\nGr\xc3\xb6\xc3\x9f"
	                  "e\n");
	EXPECT_EQ(Status(), "3 replaced");
	ASSERT_TRUE(mWindow->Lock());
	TextView()->Undo();
	mWindow->Unlock();
	EXPECT_EQ(Text(), text);
}

TEST_F(FindTest, ReplaceChangesTheSelectedMatchAndGoesToTheNext)
{
	SetText("a\xc3\xa9 b a\xc3\xa9\n");
	PutCaret(0);
	Find(kMsgFindNext, "a\xc3\xa9", "x");
	EXPECT_EQ(Selection(), std::make_pair(0, 3));
	Find(kMsgReplace);
	EXPECT_EQ(Text(), "x b a\xc3\xa9\n");
	EXPECT_EQ(Selection(), std::make_pair(4, 7));
	Find(kMsgReplace);
	EXPECT_EQ(Text(), "x b x\n");
}

// Markers and reference texts are comment lines; saving goes by the
// markers, so Replace and Replace All change translation lines only. Find
// still stops on comment lines, and says so.
TEST_F(FindTest, ReplaceLeavesMarkerAndReferenceLinesAloneAndSaysSo)
{
	const std::string text = "; #ID1:\n; Identity\nID-Nummer\n"
	                         "; #ID2:\n; Your ID\nIhre ID\n";
	SetText(text);
	Find(kMsgReplaceAll, "ID", "Kennung");
	EXPECT_EQ(Text(), "; #ID1:\n; Identity\nKennung-Nummer\n"
	                  "; #ID2:\n; Your ID\nIhre Kennung\n");
	EXPECT_EQ(Status(), "2 replaced; 4 in comment lines left alone");
	ASSERT_TRUE(mWindow->Lock());
	TextView()->Undo();
	mWindow->Unlock();
	ASSERT_EQ(Text(), text);

	// One by one: the marker's match is found, said to be in a comment, and
	// Replace there changes nothing but moves on.
	const int32 marker = 3, reference = 10, translation = (int32)text.find("ID-");
	PutCaret(0);
	Find(kMsgFindNext);
	EXPECT_EQ(Selection(), std::make_pair(marker, marker + 2));
	EXPECT_EQ(Status(), "'ID' found in a comment line, which Replace leaves alone");
	Find(kMsgReplace);
	EXPECT_EQ(Text(), text);
	EXPECT_EQ(Status(), "Not replaced: marker and reference lines keep their text");
	EXPECT_EQ(Selection(), std::make_pair(reference, reference + 2));
	Find(kMsgReplace);
	EXPECT_EQ(Text(), text);
	EXPECT_EQ(Selection(), std::make_pair(translation, translation + 2));
	Find(kMsgReplace);
	EXPECT_EQ(Text(), "; #ID1:\n; Identity\nKennung-Nummer\n"
	                  "; #ID2:\n; Your ID\nIhre ID\n");
	// On to the second marker, in a comment again.
	EXPECT_EQ(Status(), "'ID' found in a comment line, which Replace leaves alone");
	Find(kMsgFindNext);
	Find(kMsgFindNext);
	EXPECT_EQ(Status().find("'ID'"), std::string::npos) << "a translation's match: " << Status();
}

TEST_F(FindTest, AFindMessageGivesWayToTheProgressAtTheNextCaretMoveOrEdit)
{
	SetText("; #ID1:\n; Open\nOffen\n; #ID2:\n; Close\nOffen\n");
	Find(kMsgReplaceAll, "Offen", "Auf");
	EXPECT_EQ(Status(), "2 replaced");
	// The status timer's ticks, without a move, leave the message.
	Dispatch(kMsgStatusTick);
	Dispatch(kMsgStatusTick);
	EXPECT_EQ(Status(), "2 replaced");
	PutCaret((int32)Text().find("; Close"));
	Dispatch(kMsgStatusTick);
	EXPECT_EQ(Status(), "2 of 2 translated \xc2\xb7 0 warnings \xc2\xb7 entry 2");

	// A find that moves the caret keeps its own message past the tick that
	// sees the move, and loses it at the next edit.
	Find(kMsgFindNext, "close");
	ASSERT_EQ(Status(), "'close' found in a comment line, which Replace leaves alone");
	Dispatch(kMsgStatusTick);
	Dispatch(kMsgStatusTick);
	EXPECT_EQ(Status(), "'close' found in a comment line, which Replace leaves alone");
	ASSERT_TRUE(mWindow->Lock());
	TextView()->Insert((int32)Text().size(), "x", 1);
	mWindow->Unlock();
	Dispatch(kMsgStatusTick);
	EXPECT_EQ(Status().find("'close'"), std::string::npos) << Status();
}

TEST(TextSearch, BackwardAndForwardSearchesWrapAndNeverSplitACharacter)
{
	const std::string text = "\xc3\xa4"
	                         "a\xc3\xa4";
	EXPECT_EQ(TextSearch::FindForward(text, "\xc3\xa4", 1, true), 3u);
	EXPECT_EQ(TextSearch::FindForward(text, "\xc3\xa4", 4, true), 0u);
	EXPECT_EQ(TextSearch::FindBackward(text, "\xc3\xa4", 3, true), 0u);
	EXPECT_EQ(TextSearch::FindBackward(text, "\xc3\xa4", 0, true), 3u);
	EXPECT_EQ(TextSearch::FindForward(text, "A", 0, false), 2u);
	EXPECT_EQ(TextSearch::FindForward(text, "A", 0, true), std::string::npos);
	EXPECT_EQ(TextSearch::FindForward(text, "", 0, true), std::string::npos);
}
