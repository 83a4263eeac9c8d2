#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "TextChange.h"

TEST(TextChangeTest, SmallestChangeKeepsCommonEndsAndWholeCharacters)
{
	auto change = SmallestChange("abcXdef", "abcYYdef");
	EXPECT_EQ(change.from, 3u);
	EXPECT_EQ(change.to, 4u);
	EXPECT_EQ(change.replacement, "YY");

	auto same = SmallestChange("abc", "abc");
	EXPECT_EQ(same.from, same.to);
	EXPECT_TRUE(same.replacement.empty());

	// "ä" and "ö" share their first byte; the change still takes both bytes.
	auto umlaut = SmallestChange("x\xc3\xa4y", "x\xc3\xb6y");
	EXPECT_EQ(umlaut.from, 1u);
	EXPECT_EQ(umlaut.to, 3u);
	EXPECT_EQ(umlaut.replacement, "\xc3\xb6");

	for (auto [before, after] : {std::pair<std::string, std::string>{"", "abc"},
	                             {"abc", ""},
	                             {"aaa", "aa"},
	                             {"ab\nab\n", "ab\nXab\nab\n"}}) {
		auto c = SmallestChange(before, after);
		std::string applied =
		    before.substr(0, c.from) + std::string(c.replacement) + before.substr(c.to);
		EXPECT_EQ(applied, after) << before << " -> " << after;
	}
}
