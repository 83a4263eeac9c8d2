// The locale text of the editor window, set and read back from outside.
#include "EditorFixture.h"

namespace {

class LocaleTextTest : public EditorFixture
{
};

TEST_F(LocaleTextTest, TextKeepsUtf8AndLineFeeds)
{
	const std::string text = "; #ID1:\nGrüße aus Köln\n; #ID2:\nzweite Zeile\tmit Tab\n";
	HeyResult set = Hey(Of({"set", "Text"}, kLocaleText));
	EXPECT_EQ(1, set.exitCode) << "setting without a value is an error";

	std::vector<std::string> words = Of({"set", "Text"}, kLocaleText);
	words.push_back("to");
	words.push_back(text);
	set = Hey(words);
	ASSERT_EQ(0, set.exitCode) << set.out << set.err;

	HeyResult get = Hey(Of({"get", "Text"}, kLocaleText));
	ASSERT_EQ(0, get.exitCode) << get.err;
	EXPECT_EQ(text, ResultString(get));

	// A range of bytes: "Grüße" starts at 8 and takes 7 bytes.
	get = Hey(Of({"get", "Text", "[8 to 15]"}, kLocaleText));
	ASSERT_EQ(0, get.exitCode) << get.out << get.err;
	EXPECT_EQ("Grüße", ResultString(get));
}

TEST_F(LocaleTextTest, SelectionIsTwoOffsetsWithinTheText)
{
	std::vector<std::string> words = Of({"set", "Text"}, kLocaleText);
	words.insert(words.end(), {"to", "abcdef"});
	ASSERT_EQ(0, Hey(words).exitCode);

	words = Of({"set", "Selection"}, kLocaleText);
	words.insert(words.end(), {"with", "data=1", "and", "data=4"});
	HeyResult set = Hey(words);
	ASSERT_EQ(0, set.exitCode) << set.out << set.err;
	HeyResult get = Hey(Of({"get", "Selection"}, kLocaleText));
	EXPECT_EQ((std::vector<int>{1, 4}), ResultInts(get)) << get.out;

	// Offsets beyond the text end at its end.
	words = Of({"set", "Selection"}, kLocaleText);
	words.insert(words.end(), {"with", "data=2", "and", "data=999"});
	ASSERT_EQ(0, Hey(words).exitCode);
	EXPECT_EQ((std::vector<int>{2, 6}), ResultInts(Hey(Of({"get", "Selection"}, kLocaleText))));
}

TEST_F(LocaleTextTest, TheTextViewListsItsSuites)
{
	HeyResult suites = Hey(Of({"getsuites"}, kLocaleText));
	ASSERT_EQ(0, suites.exitCode) << suites.err;
	for (const char* suite :
	     {"suite/vnd.Be-text-view", "suite/vnd.Be-view", "suite/vnd.Be-handler"})
		EXPECT_NE(std::string::npos, suites.out.find(suite)) << suite;
	EXPECT_NE(std::string::npos, suites.out.find("Selection"));
}

} // namespace
