// The entry walk of saving and the entry merge of loading, checked against
// a literal replay of the load (by text lines) on many generated texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <string>
#include <vector>

#include "LiteralLoad.h"
#include "LocaleMerge.h"

namespace {

std::string Literal(const std::string& text, const std::vector<std::string>& entries)
{
	return LiteralLoad(text).Merge(entries);
}

} // namespace

TEST(CollectEntries, TakesTranslationLinesWithoutLeadingBlanks)
{
	const std::string text =
	    "; #ID1:\n; Ok\n  Gut ; mit Kommentar\n\t\n\r\n   ; comment after blanks\n"
	    "Abbrechen\r\n\nLast line";
	const std::vector<std::string> expected = {"Gut ; mit Kommentar", "Abbrechen\r", "Last line"};
	EXPECT_EQ(LocaleMerge::CollectEntries(text), expected);
	EXPECT_TRUE(LocaleMerge::CollectEntries("").empty());
	EXPECT_TRUE(LocaleMerge::CollectEntries("; only\n;comments\n\n").empty());
	// Bytes from 0x80 up are not blank: a line starting with UTF-8 is kept.
	EXPECT_EQ(LocaleMerge::CollectEntries("\xc3\xbc"
	                                      "ber\n"),
	          std::vector<std::string>{"über"});
}

TEST(MergeEntries, PutsEachEntryUnderItsReferenceLine)
{
	const std::string reference = "; #ID1:\n; Ok\n\n; #ID2:\n; Cancel\n\n; #ID3:\n; Continue\n\n";
	const std::string once = LocaleMerge::MergeEntries(reference, {"Gut", "Abbrechen", "Weiter"});
	// Each entry takes the empty line the reference left for it.
	EXPECT_EQ(once, "; #ID1:\n; Ok\nGut\n; #ID2:\n; Cancel\nAbbrechen\n"
	                "; #ID3:\n; Continue\nWeiter\n");
	// Loading again replaces the entries instead of adding more.
	EXPECT_EQ(LocaleMerge::MergeEntries(once, {"Gut", "Abbrechen", "Weiter"}), once);
}

TEST(MergeEntries, EmptyEntriesStandUnderTheirMarkersAsEmptyLines)
{
	const std::string reference = "; #ID1:\n; Ok\n\n; #ID2:\n; Cancel\n\n; #ID3:\n; Continue\n\n";
	const std::string merged = LocaleMerge::MergeEntries(reference, {"Gut", "", "Weiter"});
	EXPECT_EQ(merged, "; #ID1:\n; Ok\nGut\n; #ID2:\n; Cancel\n\n; #ID3:\n; Continue\nWeiter\n");
	// An empty entry empties an old translation; a new one fills the slot.
	EXPECT_EQ(LocaleMerge::MergeEntries(merged, {"", "Abbrechen"}),
	          "; #ID1:\n; Ok\n\n; #ID2:\n; Cancel\nAbbrechen\n; #ID3:\n; Continue\nWeiter\n");
	// A block without a slot gets an empty line for an empty entry.
	EXPECT_EQ(LocaleMerge::MergeEntries("; #ID1:\n; Ok\n; #ID2:\n; Cancel\n", {"", "Nein"}),
	          "; #ID1:\n; Ok\n\n; #ID2:\n; Cancel\nNein\n");
}

TEST(MergeEntries, OnlyAnEntryPlacedByItsMarkerTakesABlankLine)
{
	// Lines with nothing but blanks are slots too; a line with a leading
	// blank and text is a translation, entered above as always.
	EXPECT_EQ(
	    LocaleMerge::MergeEntries("; #ID1:\n; Ok\n \t\r\n; #ID2:\n; No\n  Nein\n", {"Gut", "Nee"}),
	    "; #ID1:\n; Ok\nGut\n; #ID2:\n; No\nNee\n  Nein\n");
	// Without a marker the load steps as it always did and keeps blank lines.
	EXPECT_EQ(LocaleMerge::MergeEntries("a\n\nb\n", {"x"}), "a\nx\n\nb\n");
}

TEST(MergeEntries, AppendsEntriesToAnEmptyTextOnePerLine)
{
	EXPECT_EQ(LocaleMerge::MergeEntries("", {"a", "b", "c"}), "a\nb\nc\n");
	EXPECT_EQ(LocaleMerge::MergeEntries("", {"a", "", "c"}), "a\n\nc\n");
	EXPECT_EQ(LocaleMerge::MergeEntries("keep", std::vector<std::string>{}), "keep");
}

TEST(MergeEntries, NeverGluesAnEntryToALastLineWithoutLineFeed)
{
	EXPECT_EQ(LocaleMerge::MergeEntries("abc", {"x", "y"}), "abc\nx\ny\n");
	EXPECT_EQ(LocaleMerge::MergeEntries("; #ID1:", {"x"}), "; #ID1:\nx\n");
}

TEST(MergeEntries, MarkerOfEntryOneIsNotFoundInsideMarkerTen)
{
	std::string text;
	for (int k = 1; k <= 12; k++)
		text += LocaleMerge::EntryMarker(k) + "\n; ref\n\n";
	// Put marker 10 first so that a prefix match would go wrong.
	text = "; #ID10:\n; ten\n\n" + text;
	std::vector<std::string> entries;
	for (int k = 1; k <= 12; k++)
		entries.push_back("entry " + std::to_string(k));
	EXPECT_EQ(LocaleMerge::MergeEntries(text, entries), Literal(text, entries));
	const std::string merged = LocaleMerge::MergeEntries(text, entries);
	EXPECT_NE(merged.find("; #ID1:\n; ref\nentry 1\n"), std::string::npos);
}

TEST(MergeEntries, MatchesTheLiteralLoadOnGeneratedTexts)
{
	std::mt19937 random(7);
	auto pick = [&random](int n) { return (int)(random() % (unsigned)n); };
	int compared = 0;
	int passes = 0;
	for (int round = 0; round < 3000; round++) {
		const int maxEntry = 1 + pick(12);
		auto marker = [&]() { return LocaleMerge::EntryMarker(1 + pick(maxEntry + 2)); };
		std::string text;
		const int lineCount = pick(14);
		for (int i = 0; i < lineCount; i++) {
			switch (pick(12)) {
			case 0:
				text += marker();
				break;
			case 1:
				text += "; reference text";
				break;
			case 2:
				break; // empty line
			case 3:
				text += "  translation";
				break;
			case 4:
				text += "\t";
				break;
			case 5:
				text += "\r";
				break;
			case 6:
				text += "word " + marker() + " inside";
				break;
			case 7:
				text += std::string(300 + pick(200), 'L');
				break;
			case 8:
				text += "; #ID0" + std::to_string(pick(3)) + ":";
				break;
			default:
				text.append(1, 't').append(std::to_string(i));
				break;
			}
			if (i + 1 < lineCount || pick(3) != 0)
				text += '\n';
		}
		std::vector<std::string> entries;
		const int entryCount = pick(maxEntry + 3);
		for (int k = 0; k < entryCount; k++) {
			switch (pick(10)) {
			case 0:
				entries.push_back("");
				break;
			case 1:
				entries.push_back("has " + marker());
				break;
			case 2:
				entries.push_back("two\nlines");
				break;
			case 3:
				entries.push_back("; looks like a comment");
				break;
			case 4:
				entries.push_back("  indented");
				break;
			case 5:
				entries.push_back(marker());
				break;
			default:
				entries.push_back(std::string(1, 'e').append(std::to_string(k)));
				break;
			}
		}
		const std::string expected = Literal(text, entries);
		ASSERT_EQ(LocaleMerge::MergeEntries(text, entries), expected)
		    << "round " << round << "\ntext: " << text;
		// Both ways agree with the literal load whenever they answer.
		ASSERT_EQ(LocaleMerge::Detail::MergeEntriesInTree(text, entries), expected)
		    << "round " << round;
		std::string inOrder;
		if (LocaleMerge::Detail::MergeEntriesInOrder(text, entries, &inOrder)) {
			ASSERT_EQ(inOrder, expected) << "round " << round << "\ntext: " << text;
			passes++;
		}
		compared++;
	}
	EXPECT_EQ(compared, 3000);
	EXPECT_GT(passes, 300); // the one-pass way answered often enough to be tested
}

TEST(MergeEntries, OnePassTakesEditorTextsAndGivesUpOnMarkersAboveItsPlace)
{
	// Reference blocks in order, some without a translation line, some
	// with an old translation, blank lines and comments between them, and
	// entries holding markers of later entries: what the editor writes.
	std::mt19937 random(5);
	int taken = 0;
	for (int round = 0; round < 400; round++) {
		const int count = 1 + (int)(random() % 30);
		std::string text;
		for (int k = 1; k <= count; k++) {
			if (random() % 7 == 0)
				continue; // a block the text lacks
			text += LocaleMerge::EntryMarker(k) + "\n; reference " + std::to_string(k) + "\n";
			switch (random() % 4) {
			case 0:
				text += "old translation\n";
				break;
			case 1:
				text += "\n";
				break;
			case 2:
				text += "; a note\n\n";
				break;
			default:
				break;
			}
		}
		std::vector<std::string> entries;
		for (int k = 1; k <= count + (int)(random() % 3); k++)
			entries.push_back(random() % 9 == 0 ? "see " + LocaleMerge::EntryMarker(k + 1)
			                                    : "entry " + std::to_string(k));
		const std::string expected = Literal(text, entries);
		std::string inOrder;
		if (LocaleMerge::Detail::MergeEntriesInOrder(text, entries, &inOrder)) {
			ASSERT_EQ(inOrder, expected) << "round " << round << "\ntext: " << text;
			taken++;
		}
		ASSERT_EQ(LocaleMerge::MergeEntries(text, entries), expected) << "round " << round;
	}
	EXPECT_GT(taken, 300);

	// Marker 1 below marker 2: entry 2 would go above the lines passed for
	// entry 1, so the one pass gives up and the general merge answers.
	const std::string text = "; #ID2:\n; two\n\n; #ID1:\n; one\n\n";
	const std::vector<std::string> entries = {"eins", "zwei"};
	std::string inOrder;
	EXPECT_FALSE(LocaleMerge::Detail::MergeEntriesInOrder(text, entries, &inOrder));
	EXPECT_EQ(LocaleMerge::MergeEntries(text, entries), Literal(text, entries));
}

TEST(MergeEntries, StaysFastForManyEntries)
{
	// 100,000 reference blocks: the literal replay would search the whole
	// text for each entry (hours); the merge must take well under seconds.
	const int count = 100000;
	std::string text;
	std::vector<std::string> entries;
	for (int k = 1; k <= count; k++) {
		text +=
		    LocaleMerge::EntryMarker(k) + "\n; reference text number " + std::to_string(k) + "\n\n";
		entries.push_back("Übersetzung " + std::to_string(k));
	}
	const auto start = std::chrono::steady_clock::now();
	const std::string merged = LocaleMerge::MergeEntries(text, entries);
	const double seconds =
	    std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
	EXPECT_LT(seconds, 5.0);
	EXPECT_EQ(LocaleMerge::CollectEntries(merged), entries);
	// Saving them anchored to their markers gives them back as well.
	std::vector<std::string> saved;
	LocaleMerge::DoubledEntry doubled;
	EXPECT_TRUE(LocaleMerge::EntriesForSaving(merged, &saved, &doubled));
	EXPECT_EQ(saved, entries);
}
