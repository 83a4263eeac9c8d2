// What saving stores: positional in a text without markers (checked against
// the walk saving has always done), anchored to the markers otherwise.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "LocaleMerge.h"

namespace {

// Saving as it has always been: every line, its leading blanks dropped,
// that is neither empty nor a comment is the next entry.
std::vector<std::string> PositionalSave(const std::string& text)
{
	std::vector<std::string> entries;
	size_t start = 0;
	while (start < text.size()) {
		size_t end = text.find('\n', start);
		if (end == std::string::npos)
			end = text.size();
		std::string line = text.substr(start, end - start);
		size_t first = 0;
		while (first < line.size() && (unsigned char)line[first] <= 0x20)
			first++;
		line.erase(0, first);
		if (!line.empty() && line[0] != ';')
			entries.push_back(line);
		start = end + 1;
	}
	return entries;
}

struct Saved
{
	bool saved;
	std::vector<std::string> entries;
	LocaleMerge::SaveRefusal refusal;
};

Saved Save(const std::string& text)
{
	Saved result;
	result.saved = LocaleMerge::EntriesForSaving(text, &result.entries, &result.refusal);
	return result;
}

std::string Block(long entry, const std::string& reference = "ref")
{
	return LocaleMerge::EntryMarker(entry) + "\n; " + reference + "\n";
}

// A text as the reference leaves it: every block with an empty line below.
std::string ReferenceText(long count)
{
	std::string text;
	for (long k = 1; k <= count; k++)
		text += Block(k, "text " + std::to_string(k)) + "\n";
	return text;
}

} // namespace

TEST(EntriesForSaving, WithoutMarkersSavesByPositionAsItAlwaysHas)
{
	std::mt19937 random(11);
	auto pick = [&random](int n) { return (int)(random() % (unsigned)n); };
	// Lines that look a little like markers but are none stay positional.
	const char* const lines[] = {"translation",
	                             "  indented",
	                             "\t",
	                             "",
	                             "\r",
	                             "; comment",
	                             "  ; indented comment",
	                             "; #ID0:",
	                             "; #ID:",
	                             "; #IDx:",
	                             "; #ID12",
	                             "text ; #ID3: inside",
	                             ";#ID4:",
	                             "; #ID2000000:",
	                             "; #ID007:",
	                             "\xc3\xbc"
	                             "ber"};
	for (int round = 0; round < 2000; round++) {
		std::string text;
		const int count = pick(12);
		for (int i = 0; i < count; i++) {
			text += lines[pick((int)std::size(lines))];
			if (i + 1 < count || pick(2) == 0)
				text += '\n';
		}
		const Saved saved = Save(text);
		ASSERT_TRUE(saved.saved) << text;
		ASSERT_EQ(saved.entries, PositionalSave(text)) << text;
		ASSERT_EQ(LocaleMerge::CollectEntries(text), PositionalSave(text)) << text;
	}
}

TEST(EntriesForSaving, ATextTranslatedFromTheTopDownSavesAsBefore)
{
	std::string text;
	for (long k = 1; k <= 40; k++)
		text += Block(k) + "  entry " + std::to_string(k) + "\n" + (k % 3 == 0 ? "\n; note\n" : "");
	const Saved saved = Save(text);
	ASSERT_TRUE(saved.saved);
	EXPECT_EQ(saved.entries, PositionalSave(text));
	EXPECT_EQ(saved.entries.size(), 40u);
}

TEST(EntriesForSaving, SkippedAndDeletedEntriesSaveEmptyAtTheirIndex)
{
	// Entries 26 to 30 left empty, 31 typed under its own marker.
	std::string text;
	for (long k = 1; k <= 31; k++) {
		text += Block(k) + "\n";
		if (k <= 25)
			text.insert(text.size() - 1, std::string(1, 'e').append(std::to_string(k)));
		else if (k == 31)
			text.insert(text.size() - 1, "Seite %d von %d");
	}
	Saved saved = Save(text);
	ASSERT_TRUE(saved.saved);
	ASSERT_EQ(saved.entries.size(), 31u);
	EXPECT_EQ(saved.entries[24], "e25");
	for (size_t i = 25; i < 30; i++)
		EXPECT_EQ(saved.entries[i], "") << i;
	EXPECT_EQ(saved.entries[30], "Seite %d von %d");

	// Block 2 deleted altogether: entry 2 saves empty, 3 stays 3.
	saved = Save(Block(1) + "Ja\n" + Block(3) + "Vielleicht\n");
	ASSERT_TRUE(saved.saved);
	EXPECT_EQ(saved.entries, (std::vector<std::string>{"Ja", "", "Vielleicht"}));

	// Markers out of order still anchor their own lines.
	saved = Save(Block(2) + "zwei\n" + Block(1) + "eins\n");
	ASSERT_TRUE(saved.saved);
	EXPECT_EQ(saved.entries, (std::vector<std::string>{"eins", "zwei"}));
}

TEST(EntriesForSaving, EmptyEntriesAtTheEndKeepTheirPlace)
{
	// A file of five entries, the last ones empty, stays a file of five.
	const Saved saved = Save(Block(1) + "Ja\n" + Block(2) + "\n" + Block(3) + "; note\n\n");
	ASSERT_TRUE(saved.saved);
	EXPECT_EQ(saved.entries, (std::vector<std::string>{"Ja", "", ""}));
	const Saved none = Save(ReferenceText(5));
	ASSERT_TRUE(none.saved);
	EXPECT_EQ(none.entries, std::vector<std::string>(5));
}

TEST(EntriesForSaving, EntriesComeBackAsTheirLinesCarryThem)
{
	// Escaped leading bytes turn back, a CR of CRLF line ends goes, and
	// the rest of a line stays as it is.
	const Saved saved = Save(Block(1) + "\\x20px\r\n" + Block(2) + "\\x3b-) smiley\r\n" + Block(3) +
	                         "  \\x5cx20 ; kept  \r\n" + Block(4) + "\\x41\n");
	ASSERT_TRUE(saved.saved);
	EXPECT_EQ(saved.entries,
	          (std::vector<std::string>{" px", ";-) smiley", "\\x20 ; kept  ", "\\x41"}));
}

TEST(EntriesForSaving, AFalseMarkerOverATranslationRefusesTheSaveNamingIt)
{
	const std::string head = Block(1) + "eins\n";
	for (const char* fake : {"; #ID2147483648:", "; #ID-1:", "; #ID1000001:", "; #ID02:", "; #id2:",
	                         "; #ID2", ";  #Id3:"}) {
		SCOPED_TRACE(fake);
		// As the last block, and between two real ones. The refusal's line
		// lies in the text.
		const std::string last = head + fake + "\nzwei\n";
		Saved saved = Save(last);
		EXPECT_FALSE(saved.saved);
		EXPECT_EQ(saved.refusal.kind, LocaleMerge::SaveRefusal::kFalseMarker);
		EXPECT_EQ(saved.refusal.offset, head.size());
		EXPECT_EQ(saved.refusal.line, fake);
		EXPECT_EQ(saved.refusal.entry, 2) << "where the line would have gone";
		saved = Save(head + fake + "\nzwei\n" + Block(3) + "drei\n");
		EXPECT_FALSE(saved.saved);
		EXPECT_EQ(saved.refusal.kind, LocaleMerge::SaveRefusal::kFalseMarker);
	}
	// A false marker over nothing to save, a reference that reads like one,
	// and a word that begins like one refuse nothing.
	for (const std::string& text : {head + "; #ID02:\n\n", Block(1, "#ID5 of them") + "eins\n",
	                                head + "; #identifier\nzwei\n"}) {
		SCOPED_TRACE(text);
		EXPECT_TRUE(Save(text).saved);
	}
}

TEST(EntriesForSaving, LinesBelowTheLastMarkerAndAboveTheFirstCountOn)
{
	// As the load leaves a file with more entries than the reference has
	// blocks: the surplus follows the last block's line.
	Saved saved = Save(Block(1) + "eins\n" + Block(2) + "zwei\n\ndrei\n; note\nvier\n");
	ASSERT_TRUE(saved.saved);
	EXPECT_EQ(saved.entries, (std::vector<std::string>{"eins", "zwei", "drei", "vier"}));

	saved = Save("eins\nzwei\n" + Block(3) + "drei\n");
	ASSERT_TRUE(saved.saved);
	EXPECT_EQ(saved.entries, (std::vector<std::string>{"eins", "zwei", "drei"}));
}

TEST(EntriesForSaving, TwoLinesUnderAMarkerRefuseTheSaveNamingTheFirst)
{
	const std::string head = Block(1) + "eins\n";
	std::string text = head + Block(2) + "zwei\nnoch zwei\n" + Block(3) + "drei\nd\nd\n" + Block(4);
	Saved saved = Save(text);
	EXPECT_FALSE(saved.saved);
	EXPECT_EQ(saved.refusal.entry, 2);
	EXPECT_EQ(saved.refusal.lines, 2);
	EXPECT_EQ(saved.refusal.offset, head.size());

	// Two markers of one number: both lines claim the entry.
	text = Block(1) + "a\n" + Block(2) + "b\n" + Block(1) + "c\n" + Block(3) + "d\n";
	saved = Save(text);
	EXPECT_FALSE(saved.saved);
	EXPECT_EQ(saved.refusal.entry, 1);
	EXPECT_EQ(saved.refusal.offset, 0u);

	// A line above the first marker that runs into its number.
	text = "lost\n" + Block(1) + "eins\n" + Block(2) + "zwei\n";
	saved = Save(text);
	EXPECT_FALSE(saved.saved);
	EXPECT_EQ(saved.refusal.entry, 1);
	EXPECT_EQ(saved.refusal.offset, 5u) << "at the marker, not at the stray line";

	// The last block counting on into a number another marker names: the
	// last block is the one with a line too many.
	const std::string three = Block(3) + "drei\n";
	text = three + Block(2) + "zwei\nmehr\n";
	saved = Save(text);
	EXPECT_FALSE(saved.saved);
	EXPECT_EQ(saved.refusal.entry, 2);
	EXPECT_EQ(saved.refusal.lines, 2);
	EXPECT_EQ(saved.refusal.offset, three.size());
}

TEST(EntriesForSaving, AHugeMarkerNumberIsAComment)
{
	const Saved saved = Save("a\n; #ID" + std::to_string(LocaleMerge::kMaxMarkedEntry + 1) +
	                         ":\nb\n" + "; #ID99999999999999999999:\nc\n");
	ASSERT_TRUE(saved.saved);
	EXPECT_EQ(saved.entries, (std::vector<std::string>{"a", "b", "c"}));
}
