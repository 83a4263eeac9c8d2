// Find and replace in the locale text: across paragraphs, round the end,
// backwards, with multibyte text, with and without match case, and Replace
// All as one undo step.

#include <AppDefs.h>
#include <InterfaceDefs.h>
#include <Message.h>
#include <TextView.h>

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

	std::string Status()
	{
		EXPECT_TRUE(mWindow->Lock());
		std::string text = mWindow->StatusView()->Text();
		mWindow->Unlock();
		return text;
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
	size_t count = 0;
	EXPECT_EQ(TextSearch::ReplaceAll("aaa", "aa", "b", true, &count), "ba");
	EXPECT_EQ(count, 1u);
}
