// The searches against a plain place-by-place reading of what TextSearch.h
// promises, over texts long enough that matches fall on every side of the
// sixteen-byte blocks the quick scan reads, at the very ends, overlapping,
// and in both cases.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "TextSearch.h"

namespace {

const size_t npos = std::string::npos;

// Every place where needle fits, in order.
std::vector<size_t> places(const std::string& text, const std::string& needle, bool matchCase)
{
	std::vector<size_t> found;
	for (size_t at = 0; needle.size() <= text.size() && at <= text.size() - needle.size(); at++) {
		if (TextSearch::Matches(std::string_view(text).substr(at, needle.size()), needle,
		                        matchCase))
			found.push_back(at);
	}
	return found;
}

size_t expected_forward(const std::vector<size_t>& found, size_t from, size_t length)
{
	for (size_t at : found) {
		if (at >= from)
			return at;
	}
	return !found.empty() && found.front() < from + length ? found.front() : npos;
}

size_t expected_backward(const std::vector<size_t>& found, size_t before, size_t length)
{
	for (auto at = found.rbegin(); at != found.rend(); ++at) {
		if (*at + length <= before)
			return *at;
	}
	return found.empty() ? npos : found.back();
}

// A text of filler with the given word set at each place.
std::string text_with(size_t length, const std::string& word, const std::vector<size_t>& at)
{
	std::string text;
	for (size_t i = 0; i < length; i++)
		text.push_back("Tx 0\n;n"[i % 7]);
	for (size_t place : at)
		text.replace(place, word.size(), word);
	return text;
}

void expect_as_promised(const std::string& text, const std::string& needle, bool matchCase)
{
	const std::vector<size_t> found = places(text, needle, matchCase);
	for (size_t from = 0; from <= text.size() + 1; from++) {
		ASSERT_EQ(TextSearch::FindForward(text, needle, from, matchCase),
		          expected_forward(found, std::min(from, text.size()), needle.size()))
		    << "forward from " << from << " for '" << needle << "' in '" << text << "'";
		ASSERT_EQ(TextSearch::FindBackward(text, needle, from, matchCase),
		          expected_backward(found, std::min(from, text.size()), needle.size()))
		    << "backward before " << from << " for '" << needle << "' in '" << text << "'";
	}
}

} // namespace

TEST(TextSearchScan, FindsEveryPlaceAroundTheBlockEdgesBothWays)
{
	for (const std::string word : {"TRANSLATION 7", "Translation 7", "tt", "7", "\xc3\xa4X"}) {
		for (size_t place : {0u, 1u, 14u, 15u, 16u, 17u, 31u, 32u, 47u}) {
			const std::string text = text_with(64, word, {place});
			expect_as_promised(text, word, false);
			expect_as_promised(text, word, true);
			expect_as_promised(text, "translation 7", false);
		}
		// Two, one of them at the very end.
		expect_as_promised(text_with(70, word, {5, 70 - word.size()}), word, false);
	}
	// Overlapping matches, and a needle longer than a block.
	expect_as_promised(std::string(40, 'a'), "aaa", true);
	expect_as_promised(text_with(80, "Reference text number 12", {3, 50}),
	                   "REFERENCE TEXT NUMBER 12", false);
}

TEST(TextSearchScan, OnlyAsciiLettersFoldAndNeighboursOfLettersStayApart)
{
	// '@' and '`' differ from 'A' and 'a' only in bit 5, like the cases do.
	const std::string text = text_with(40, "@[", {20});
	EXPECT_EQ(TextSearch::FindForward(text, "`{", 0, false), npos);
	EXPECT_EQ(TextSearch::FindForward(text, "@[", 0, false), 20u);
	// Non-ASCII letters match only as written.
	const std::string upper = text_with(40, "\xc3\x84x", {18}); // Äx
	EXPECT_EQ(TextSearch::FindForward(upper, "\xc3\xa4x", 0, false), npos);
	EXPECT_EQ(TextSearch::FindForward(upper, "\xc3\x84X", 0, false), 18u);
}

TEST(TextSearchScan, ReplaceAllTakesMatchesLeftToRightWithoutOverlap)
{
	// No comment lines here: those are the next test's.
	std::string text = text_with(50, "ABAB", {0, 16, 46});
	std::replace(text.begin(), text.end(), ';', ',');
	std::string expected = text;
	for (size_t at : {46u, 16u, 0u})
		expected = expected.substr(0, at).append("-").append(expected, at + 4);
	TextSearch::Replaced replaced = TextSearch::ReplaceAll(text, "abab", "-", false);
	EXPECT_EQ(replaced.text, expected);
	EXPECT_EQ(replaced.replaced, 3u);
	replaced = TextSearch::ReplaceAll(text, "abab", "-", true);
	EXPECT_EQ(replaced.text, text);
	EXPECT_EQ(replaced.replaced, 0u);
	EXPECT_EQ(TextSearch::ReplaceAll("aaa", "aa", "b", true).text, "ba");
}

// Markers and reference texts are comment lines (first byte other than a
// blank is ';'); saving goes by the markers, so no match on one is ever
// replaced, however the line is indented or the match runs over a line feed.
TEST(TextSearchScan, ReplaceAllLeavesEveryMatchTouchingACommentLine)
{
	struct Case
	{
		const char* text;
		const char* needle;
		const char* expected;
		size_t replaced, inComments;
	} cases[] = {
	    {"; #ID1:\n; ID\nID ID\n; #ID2:\n", "ID", "; #ID1:\n; ID\nK K\n; #ID2:\n", 2, 3},
	    {"  ; ID\n\t;ID\nxID\n", "ID", "  ; ID\n\t;ID\nxK\n", 1, 2},
	    {"a;ID\n \n;", "ID", "a;K\n \n;", 1, 0},
	    // Into a comment line, out of one, and between two translations.
	    {"ID\n; x\n", "D\n;", "ID\n; x\n", 0, 1},
	    {"; x\nID\n", "x\nI", "; x\nID\n", 0, 1},
	    {"1\n2\n", "1\n2", "K\n", 1, 0},
	    // The last line, without its line feed.
	    {"ID\n;ID", "id", "K\n;ID", 1, 1},
	};
	for (const Case& test : cases) {
		SCOPED_TRACE(test.text);
		const TextSearch::Replaced replaced =
		    TextSearch::ReplaceAll(test.text, test.needle, "K", false);
		EXPECT_EQ(replaced.text, test.expected);
		EXPECT_EQ(replaced.replaced, test.replaced);
		EXPECT_EQ(replaced.inComments, test.inComments);
		// Every match the find would stop at says the same of its line.
		const std::string text = test.text;
		size_t inComments = 0;
		for (size_t at : places(text, test.needle, false)) {
			if (TextSearch::TouchesCommentLine(text, at, at + strlen(test.needle)))
				inComments++;
		}
		EXPECT_EQ(inComments, test.inComments);
	}
}
