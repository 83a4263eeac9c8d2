#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EditedText.h"

using EditedText::CollectEntries;
using EditedText::MergeEntries;
using EditedText::SmallestReplacement;
using Entries = std::vector<std::string>;

TEST(EditedTextTest, TranslationLinesBecomeEntriesWithoutLeadingBlanks)
{
	EXPECT_EQ(CollectEntries("  Ok\n\tAbbrechen\nWeiter"), (Entries{"Ok", "Abbrechen", "Weiter"}));
	// Trailing blanks, a carriage return and a later ';' stay in the entry.
	EXPECT_EQ(CollectEntries("Ja ; nein \r\n"), (Entries{"Ja ; nein \r"}));
}

TEST(EditedTextTest, BlankCommentAndCarriageReturnLinesGiveNoEntry)
{
	EXPECT_EQ(CollectEntries("\n \t\n\r\n; #ID1:\n   ; Ok\nOk\n"), (Entries{"Ok"}));
	EXPECT_TRUE(CollectEntries("; only\n;comments\n").empty());
	EXPECT_TRUE(CollectEntries("").empty());
	// Bytes of UTF-8 sequences are not blank.
	EXPECT_EQ(CollectEntries("\xc3\xa4nderung\n"), (Entries{"\xc3\xa4nderung"}));
}

TEST(EditedTextTest, EmptyTextReceivesEntriesOnePerLine)
{
	EXPECT_EQ(MergeEntries("", {"a", "b", "c"}), "a\nb\nc\n");
	EXPECT_EQ(MergeEntries("", {"a", "", "c"}), "a\n");
}

TEST(EditedTextTest, EntriesGoUnderTheirReferenceLines)
{
	std::string reference = "; #ID1:\n; Ok\n\n; #ID2:\n; Cancel\n\n; #ID3:\n; Continue\n\n";
	std::string merged = MergeEntries(reference, {"Gut", "Abbrechen", "Weiter"});
	EXPECT_EQ(
	    merged,
	    "; #ID1:\n; Ok\nGut\n\n; #ID2:\n; Cancel\nAbbrechen\n\n; #ID3:\n; Continue\nWeiter\n\n");
	EXPECT_EQ(CollectEntries(merged), (Entries{"Gut", "Abbrechen", "Weiter"}));
}

TEST(EditedTextTest, ReloadingReplacesTheEntriesInsteadOfAddingMore)
{
	std::string reference = "; #ID1:\n; Ok\n\n; #ID2:\n; Cancel\n\n";
	std::string once = MergeEntries(reference, {"Gut", "Abbrechen"});
	EXPECT_EQ(MergeEntries(once, {"Gut", "Abbrechen"}), once);
	EXPECT_EQ(MergeEntries(once, {"Fein", "Nein"}),
	          "; #ID1:\n; Ok\nFein\n\n; #ID2:\n; Cancel\nNein\n\n");
}

TEST(EditedTextTest, MarkerOfEntryOneIsNotFoundInsideLongerNumbers)
{
	std::string text;
	for (int k : {10, 11, 100, 1}) {
		text += "; #ID" + std::to_string(k) + ":\n; ref" + std::to_string(k) + "\n\n";
	}
	std::string merged = MergeEntries(text, {"eins"});
	EXPECT_NE(merged.find("; ref1\neins\n"), std::string::npos) << merged;
	EXPECT_EQ(merged.find("; ref10\neins"), std::string::npos);
}

TEST(EditedTextTest, LastLineWithoutLineFeedKeepsItsOwnLine)
{
	std::string merged = MergeEntries("; #ID1:\n; Ok", {"Gut"});
	EXPECT_EQ(merged, "; #ID1:\n; Ok\nGut\n");
	EXPECT_EQ(MergeEntries("eins", {"a", "b"}), "eins\na\nb\n");
}

TEST(EditedTextTest, SmallestReplacementKeepsCommonEndsAndWholeCharacters)
{
	auto change = SmallestReplacement("abcXdef", "abcYYdef");
	EXPECT_EQ(change.from, 3u);
	EXPECT_EQ(change.to, 4u);
	EXPECT_EQ(change.replacement, "YY");

	auto same = SmallestReplacement("abc", "abc");
	EXPECT_EQ(same.from, same.to);
	EXPECT_TRUE(same.replacement.empty());

	// "ä" and "ö" share their first byte; the change still takes both bytes.
	auto umlaut = SmallestReplacement("x\xc3\xa4y", "x\xc3\xb6y");
	EXPECT_EQ(umlaut.from, 1u);
	EXPECT_EQ(umlaut.to, 3u);
	EXPECT_EQ(umlaut.replacement, "\xc3\xb6");

	for (auto [before, after] : {std::pair<std::string, std::string>{"", "abc"},
	                             {"abc", ""},
	                             {"aaa", "aa"},
	                             {"ab\nab\n", "ab\nXab\nab\n"}}) {
		auto c = SmallestReplacement(before, after);
		std::string applied = before.substr(0, c.from) + c.replacement + before.substr(c.to);
		EXPECT_EQ(applied, after) << before << " -> " << after;
	}
}
