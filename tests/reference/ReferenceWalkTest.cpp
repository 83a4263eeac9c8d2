// The placing of reference blocks, on plain strings.

#include "ReferenceWalk.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "LocaleMerge.h"

namespace {

std::string Place(const std::string& text, const std::vector<std::string_view>& references)
{
	return ApplyReplacement(text, ReferenceWalk(text, references));
}

std::string Block(int number, const std::string& reference)
{
	return "; #ID" + std::to_string(number) + ":\n; " + reference + "\n";
}

} // namespace

TEST(ReferenceWalk, WorkedExamplePutsBlocksAboveLinesAndAppendsTheRest)
{
	std::string result = Place("Ok\nAbbrechen\n", {"Ok", "Cancel", "Continue"});
	EXPECT_EQ(result, "; #ID1:\n; Ok\nOk\n; #ID2:\n; Cancel\nAbbrechen\n; #ID3:\n; Continue\n\n");
}

TEST(ReferenceWalk, EmptyTextGetsEveryBlockWithAnEmptyLineBelow)
{
	EXPECT_EQ(Place("", {"Ok", "Cancel", "Continue"}),
	          Block(1, "Ok") + "\n" + Block(2, "Cancel") + "\n" + Block(3, "Continue") + "\n");
}

TEST(ReferenceWalk, ApplyingTwiceGivesTheSameTextAsOnceAndChangesNothing)
{
	const std::vector<std::string_view> references = {"Ok", "Cancel", "Continue"};
	for (std::string text : {"", "Ok\nAbbrechen\n", "  a\n; mine\n\nb\nc\nd\n", "x\ny"}) {
		std::string once = Place(text, references);
		ReferenceReplacement again = ReferenceWalk(once, references);
		EXPECT_FALSE(again.Changes()) << text;
		EXPECT_EQ(ApplyReplacement(once, again), once) << text;
	}
}

TEST(ReferenceWalk, ANewReferenceReplacesTheBlocksOfTheOldOne)
{
	std::string first = Place("Ja\nNein\n", {"Yes", "No"});
	EXPECT_EQ(Place(first, {"Yeah", "Nope"}),
	          Block(1, "Yeah") + "Ja\n" + Block(2, "Nope") + "Nein\n");
}

TEST(ReferenceWalk, SurplusTranslationLinesKeepTheirSurroundings)
{
	std::string text = "a\n; note on b\n\nb\n  ; note on c\nc\n";
	EXPECT_EQ(Place(text, {"A"}), Block(1, "A") + "a\n; note on b\n\nb\n  ; note on c\nc\n");
}

TEST(ReferenceWalk, CommentsBlankLinesAndLeadingBlanksAheadOfALineGoAway)
{
	std::string text = "\n\n; mine\n  \t; indented note\n \t  first\n\n\n;x\n\tsecond  \n";
	EXPECT_EQ(Place(text, {"One", "Two"}),
	          Block(1, "One") + "first\n" + Block(2, "Two") + "second  \n");
}

TEST(ReferenceWalk, AnEmptyReferenceTextEndsTheWalk)
{
	EXPECT_EQ(Place("a\nb\nc\n", {"A", "", "C"}), Block(1, "A") + "a\nb\nc\n");
	EXPECT_FALSE(ReferenceWalk("a\n", {"", "B"}).Changes());
	EXPECT_FALSE(ReferenceWalk("a\n", {}).Changes());
}

TEST(ReferenceWalk, NumbersCountParagraphsNotWrappedLines)
{
	// However a view wraps this line, it is one translation line.
	std::string longLine(5000, 'w');
	std::string text = longLine + "\n; c1\n; c2\n; c3\nshort\n";
	EXPECT_EQ(Place(text, {"L", "S"}), Block(1, "L") + longLine + "\n" + Block(2, "S") + "short\n");
}

TEST(ReferenceWalk, ALastLineWithoutLineFeedGetsOneAheadOfTheNextBlock)
{
	EXPECT_EQ(Place("Ok", {"Ok", "Cancel"}), Block(1, "Ok") + "Ok\n" + Block(2, "Cancel") + "\n");
	EXPECT_EQ(Place("Ok\n; note", {"Ok", "Cancel"}),
	          Block(1, "Ok") + "Ok\n" + Block(2, "Cancel") + "\n");
	EXPECT_EQ(Place("Ok  ", {"Ok", "Cancel", "More"}),
	          Block(1, "Ok") + "Ok  \n" + Block(2, "Cancel") + "\n" + Block(3, "More") + "\n");
}

TEST(ReferenceWalk, ReplacementEndsLieOnLineStartsSoMultibyteTextStaysWhole)
{
	std::string text = "Äpfel\n; ärger\nÖl\nÜber\n";
	std::string once = Place(text, {"Apples", "Oil", "Over"});
	ReferenceReplacement change = ReferenceWalk(once, {"Apples", "Öl!", "Over"});
	ASSERT_TRUE(change.Changes());
	EXPECT_TRUE(change.from == 0 || once[change.from - 1] == '\n');
	EXPECT_TRUE(change.to == once.size() || once[change.to - 1] == '\n');
	EXPECT_EQ(ApplyReplacement(once, change), Block(1, "Apples") + "Äpfel\n" + Block(2, "Öl!") +
	                                              "Öl\n" + Block(3, "Over") + "Über\n");
}

TEST(ReferenceWalk, CostGrowsLinearlyWithTheNumberOfTexts)
{
	// 200,000 texts over 200,000 lines: a quadratic walk would take minutes.
	const size_t count = 200000;
	std::string text;
	std::vector<std::string> storage(count);
	std::vector<std::string_view> references;
	for (size_t i = 0; i < count; i++) {
		text += "; old\nline " + std::to_string(i) + "\n";
		storage[i] = "text " + std::to_string(i);
	}
	for (const std::string& s : storage)
		references.push_back(s);
	ReferenceReplacement change = ReferenceWalk(text, references);
	std::string result = ApplyReplacement(text, change);
	EXPECT_NE(result.find("; #ID200000:\n; text 199999\nline 199999\n"), std::string::npos);
	EXPECT_EQ(result.rfind("; #ID1:\n; text 0\nline 0\n", 0), 0u);
}

TEST(ReferenceWalkByMarkers, PutsEachReferenceInTheBlockOfItsNumber)
{
	struct Case
	{
		const char* what;
		std::string text;
		std::vector<std::string_view> references;
		std::string expected;
	};
	const Case cases[] = {
	    {"a file opened alone gets its references, and blocks for the rest",
	     "; #ID1:\nDatei\n; #ID2:\n\n",
	     {"File", "Edit", "Quit"},
	     "; #ID1:\n; File\nDatei\n; #ID2:\n; Edit\n\n; #ID3:\n; Quit\n\n"},
	    {"an old reference gives way; notes and the translation stay",
	     "; #ID1:\n; Old\n; my note\nX\n",
	     {"New"},
	     "; #ID1:\n; New\n; my note\nX\n"},
	    {"blocks beyond the reference stay",
	     "; #ID1:\nA\n; #ID2:\nB\n",
	     {"a"},
	     "; #ID1:\n; a\nA\n; #ID2:\nB\n"},
	    {"a missing block goes in in number order",
	     "; #ID2:\nB\n",
	     {"a", "b"},
	     "; #ID1:\n; a\n\n; #ID2:\n; b\nB\n"},
	    {"a block without a line for its translation gets one",
	     "; #ID1:\n; #ID2:\nB",
	     {"a", "b"},
	     "; #ID1:\n; a\n\n; #ID2:\n; b\nB"},
	    {"the walk ends at the first empty reference",
	     "; #ID1:\nA\n; #ID2:\nB\n",
	     {"a", "", "c"},
	     "; #ID1:\n; a\nA\n; #ID2:\nB\n"},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.what);
		const std::string once =
		    ApplyReplacement(c.text, ReferenceWalkByMarkers(c.text, c.references));
		EXPECT_EQ(once, c.expected);
		EXPECT_FALSE(ReferenceWalkByMarkers(once, c.references).Changes());
	}
}

TEST(ReferenceWalkByMarkers, ReferenceThenFileAndFileThenReferenceGiveOneTextThatSavesTheFile)
{
	// Translations with empty entries anywhere, references longer and
	// shorter than the file, some ending early at an empty text.
	std::mt19937 random(17);
	auto pick = [&random](int n) { return (int)(random() % (unsigned)n); };
	const char* const words[] = {"Datei", "", " px", ";-)", "\\x20", "Ende", "", "a ; b"};
	for (int round = 0; round < 2000; round++) {
		std::vector<std::string> entries;
		for (int k = pick(45); k > 0; k--)
			entries.push_back(words[pick((int)std::size(words))]);
		std::vector<std::string> texts;
		for (int k = pick(45); k > 0; k--)
			texts.push_back(pick(30) == 0 ? "" : "Reference " + std::to_string(k));
		const std::vector<std::string_view> references(texts.begin(), texts.end());

		std::string referenceFirst = Place("", references);
		referenceFirst = LocaleMerge::MergeEntries(referenceFirst, entries);
		std::string fileFirst = LocaleMerge::MergeEntries("", entries);
		fileFirst = ApplyReplacement(fileFirst, ReferenceWalkByMarkers(fileFirst, references));
		ASSERT_EQ(fileFirst, referenceFirst) << "round " << round;

		size_t shown = 0;
		while (shown < texts.size() && !texts[shown].empty())
			shown++;
		std::vector<std::string> expected = entries;
		expected.resize(std::max(entries.size(), shown));
		std::vector<std::string> saved;
		LocaleMerge::SaveRefusal refusal;
		ASSERT_TRUE(LocaleMerge::EntriesForSaving(fileFirst, &saved, &refusal));
		ASSERT_EQ(saved, expected) << "round " << round << "\n" << fileFirst;
	}
}
