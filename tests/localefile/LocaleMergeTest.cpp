// Loading entries into the edited text by their markers, and what saving
// then gives back: every entry at its number, with its bytes, whatever the
// text held before.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "LocaleMerge.h"

namespace {

using Entries = std::vector<std::string>;

bool Save(const std::string& text, Entries* entries)
{
	LocaleMerge::SaveRefusal refusal;
	return LocaleMerge::EntriesForSaving(text, entries, &refusal);
}

// Saving as it has always been done for a text without markers: every line,
// its leading blanks dropped, that is neither empty nor a comment is the
// next entry.
Entries PositionalSave(const std::string& text)
{
	Entries entries;
	for (size_t start = 0; start < text.size();) {
		size_t end = text.find('\n', start);
		if (end == std::string::npos)
			end = text.size();
		size_t first = start;
		while (first < end && (unsigned char)text[first] <= 0x20)
			first++;
		if (first < end && text[first] != ';')
			entries.push_back(text.substr(first, end - first));
		start = end + 1;
	}
	return entries;
}

// Entries a translator meets: empty ones, leading blanks and semicolons,
// text that looks like the escapes the editor writes, trailing blanks.
const char* const kAwkward[] = {"",
                                " px",
                                "  px",
                                ";-) smiley",
                                "\\x20px",
                                "\\x5c",
                                "   ",
                                "\x0bvt",
                                "a ; b",
                                "trail  ",
                                "\\n\\t",
                                "\xc3\xbc"
                                "ber",
                                "\\x41",
                                "\\xzz",
                                "; #ID1:",
                                "\\"};

} // namespace

TEST(MergeEntries, PutsEveryEntryInTheBlockOfItsMarker)
{
	struct Case
	{
		const char* what;
		std::string text;
		Entries entries;
		std::string expected;
	};
	const Case cases[] = {
	    {"an empty text gets a block per entry, empty ones too",
	     "",
	     {"Datei", "", "Ende", ""},
	     "; #ID1:\nDatei\n; #ID2:\n\n; #ID3:\nEnde\n; #ID4:\n\n"},
	    {"entries take the lines the reference left",
	     "; #ID1:\n; Ok\n\n; #ID2:\n; Cancel\n\n",
	     {"Gut", "Abbrechen"},
	     "; #ID1:\n; Ok\nGut\n; #ID2:\n; Cancel\nAbbrechen\n"},
	    {"an empty entry empties an old translation",
	     "; #ID1:\n; Ok\nGut\n",
	     {""},
	     "; #ID1:\n; Ok\n\n"},
	    {"a translation with leading blanks is replaced, not pushed down",
	     "; #ID1:\n; No\n  Nein\n",
	     {"Nee"},
	     "; #ID1:\n; No\nNee\n"},
	    {"a line of blanks is the slot", "; #ID1:\n; Ok\n \t\r\n", {"Gut"}, "; #ID1:\n; Ok\nGut\n"},
	    {"missing blocks go in in number order",
	     "; #ID3:\n; c\n\n; #ID1:\n; a\n\n",
	     {"A", "B", "C", "D"},
	     "; #ID3:\n; c\nC\n; #ID4:\nD\n; #ID1:\n; a\nA\n; #ID2:\nB\n"},
	    {"a block for a number below every other goes first",
	     "; #ID2:\n; b\n\n",
	     {"A", "B"},
	     "; #ID1:\nA\n; #ID2:\n; b\nB\n"},
	    {"marker 1 is not found inside marker 10",
	     "; #ID10:\n\n; #ID1:\n\n",
	     {"one"},
	     "; #ID10:\n\n; #ID1:\none\n"},
	    {"no entry is glued to a last line without line feed",
	     "; #ID1:\n; Ok",
	     {"Gut", "Nein"},
	     "; #ID1:\n; Ok\nGut\n; #ID2:\nNein\n"},
	    {"a text without markers is numbered by position first",
	     "a\n\n  b\n; note\n",
	     {"x"},
	     "; #ID1:\nx\n\n; #ID2:\n  b\n; note\n"},
	    {"comments alone stay above the blocks", "; notes\n", {"x"}, "; notes\n; #ID1:\nx\n"},
	    {"blocks beyond the entries stay",
	     "; #ID1:\n; a\nA\n; #ID2:\n; b\nB\n",
	     {"Z"},
	     "; #ID1:\n; a\nZ\n; #ID2:\n; b\nB\n"},
	    {"no entries change nothing", "keep", {}, "keep"},
	    {"leading blanks and semicolons are shown escaped",
	     "",
	     {" px", ";-)", "\\x20"},
	     "; #ID1:\n\\x20px\n; #ID2:\n\\x3b-)\n; #ID3:\n\\x5cx20\n"},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.what);
		const std::string merged = LocaleMerge::MergeEntries(c.text, c.entries);
		EXPECT_EQ(merged, c.expected);
		// Loading the same file again changes nothing.
		EXPECT_EQ(LocaleMerge::MergeEntries(merged, c.entries), merged);
	}
}

TEST(MergeEntries, SavingGivesEveryEntryBackAtItsNumberOnAnyText)
{
	std::mt19937 random(11);
	auto pick = [&random](int n) { return (int)(random() % (unsigned)n); };
	int compared = 0;
	for (int round = 0; round < 3000; round++) {
		// A text as the editor leaves it (blocks in any order, some with a
		// reference, a translation, a note or nothing), or one typed
		// without markers.
		std::string text;
		const bool marked = pick(4) != 0;
		const int lines = pick(12);
		for (int i = 0; i < lines; i++) {
			if (marked && pick(2) == 0) {
				text += LocaleMerge::EntryMarker(1 + pick(14)) + "\n";
				if (pick(2) == 0)
					text += "; reference " + std::to_string(i) + "\n";
			}
			switch (pick(5)) {
			case 0:
				text += "old " + std::to_string(i) + "\n";
				break;
			case 1:
				text += "  \tindented\n";
				break;
			case 2:
				text += "; a note\n";
				break;
			case 3:
				text += "\n";
				break;
			default:
				break;
			}
		}
		if (pick(5) == 0 && !text.empty())
			text.pop_back(); // no line feed at the end
		Entries before;
		if (!Save(text, &before))
			continue; // a text the save refuses stays refused
		const bool hasMarkers = LocaleMerge::HasMarkers(text);
		if (!hasMarkers)
			before = PositionalSave(text);

		Entries entries;
		const int count = pick(16);
		for (int k = 0; k < count; k++)
			entries.push_back(kAwkward[pick((int)std::size(kAwkward))]);
		const std::string merged = LocaleMerge::MergeEntries(text, entries);

		// What the file holds at its numbers, what the text held beyond them.
		Entries expected = entries;
		for (size_t k = entries.size(); k < before.size(); k++)
			expected.push_back(before[k]);
		Entries after;
		ASSERT_TRUE(Save(merged, &after)) << "text:\n" << text << "\nmerged:\n" << merged;
		ASSERT_EQ(after, expected) << "text:\n" << text << "\nmerged:\n" << merged;
		EXPECT_TRUE(LocaleMerge::HasMarkers(merged) || entries.empty());
		compared++;
	}
	EXPECT_GT(compared, 2000);
}

TEST(EntryLines, EveryEntryComesBackFromItsLineAndOnlyAnOddStartChanges)
{
	std::vector<std::string> entries(std::begin(kAwkward), std::end(kAwkward));
	std::mt19937 random(5);
	for (int i = 0; i < 2000; i++) {
		std::string entry;
		const int length = (int)(random() % 6);
		for (int j = 0; j < length; j++)
			entry += "\\x20;5cA \x01"[random() % 10];
		entries.push_back(entry);
	}
	for (const std::string& entry : entries) {
		const std::string line = LocaleMerge::LineForEntry(entry);
		SCOPED_TRACE("entry '" + entry + "', line '" + line + "'");
		// A line that is no translation line would be dropped or shift
		// every later entry.
		if (!entry.empty()) {
			EXPECT_GT((unsigned char)line[0], 0x20);
			EXPECT_NE(line[0], ';');
		}
		EXPECT_EQ(LocaleMerge::EntryOfLine(line), entry);
		if (!entry.empty() && (unsigned char)entry[0] > 0x20 && entry[0] != ';' &&
		    entry[0] != '\\') {
			EXPECT_EQ(line, entry);
		}
	}
	// A carriage return left by CRLF line ends is no part of the entry.
	EXPECT_EQ(LocaleMerge::EntryOfLine("Datei\r"), "Datei");
}
