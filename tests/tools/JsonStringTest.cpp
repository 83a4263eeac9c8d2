// The tools' JSON string literal: whatever bytes go in, what comes out is
// one valid JSON string that reads back as the text where the text was
// valid UTF-8.

#include <gtest/gtest.h>

#include <string>

#include <JsonString.h>

TEST(JsonString, QuotesAndEscapesWhatJsonReserves)
{
	EXPECT_EQ(JsonString(""), "\"\"");
	EXPECT_EQ(JsonString("plain text"), "\"plain text\"");
	EXPECT_EQ(JsonString("say \"hi\" \\ bye"), "\"say \\\"hi\\\" \\\\ bye\"");
	EXPECT_EQ(JsonString("a\nb\tc\rd"), "\"a\\nb\\tc\\rd\"");
}

TEST(JsonString, WritesOtherControlCharactersAsCodePoints)
{
	EXPECT_EQ(JsonString(std::string("\x01\x1f", 2)), "\"\\u0001\\u001f\"");
	EXPECT_EQ(JsonString(std::string("a\0b", 3)), "\"a\\u0000b\"");
}

TEST(JsonString, PassesValidUtf8Through)
{
	const std::string text = "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80";
	EXPECT_EQ(JsonString(text), "\"" + text + "\"");
}

TEST(JsonString, ReplacesEachBadByteWithTheReplacementCharacter)
{
	const std::string replacement = "\xef\xbf\xbd";
	// A lone continuation byte, a byte no sequence starts with, a sequence
	// cut by the end of the text and one broken in its middle.
	EXPECT_EQ(JsonString("a\x80z"), "\"a" + replacement + "z\"");
	EXPECT_EQ(JsonString("\xff"), "\"" + replacement + "\"");
	EXPECT_EQ(JsonString("\xe2\x82"), "\"" + replacement + replacement + "\"");
	EXPECT_EQ(JsonString("\xc3"
	                     "A"),
	          "\"" + replacement + "A\"");
}
