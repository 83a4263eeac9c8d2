// The text form of locale files.
#include <gtest/gtest.h>

#include <Message.h>

#include "LocaleFile.h"
#include "LocaleSource.h"

namespace {

// Parses text, the form source gave, into again and expects source's every
// field back.
void ExpectParsedBack(const std::string& text, const LocaleSource& source, LocaleSource* again)
{
	std::string error;
	ASSERT_EQ(again->Parse(text, &error), B_OK) << error << "\n" << text;
	EXPECT_EQ(again->language, source.language);
	EXPECT_EQ(again->version, source.version);
	EXPECT_EQ(again->appID, source.appID);
	EXPECT_EQ(again->texts, source.texts);
}

} // namespace

TEST(LocaleSource, ReadsHeaderAndNumberedTextsVerbatim)
{
	const std::string text = "\xef\xbb\xbf# a comment\r\n"
	                         "language:  Deutsch \r\n"
	                         "version: 1.0.0\n"
	                         "   # indented comment\n"
	                         "app_id: korvane localeeditor locale\n"
	                         "\n"
	                         "1 = Abbrechen\n"
	                         "2 =Zeile eins\\nZeile zwei\n"
	                         "  3\t= mit Leerzeichen am Ende  \n"
	                         "4 = \tTab voran\n"
	                         "5 = # kein Kommentar";
	LocaleSource source;
	std::string error;
	ASSERT_EQ(source.Parse(text, &error), B_OK) << error;
	EXPECT_EQ(source.language, "Deutsch");
	EXPECT_EQ(source.version, "1.0.0");
	EXPECT_EQ(source.appID, "korvane localeeditor locale");
	const std::vector<std::string> expected = {"Abbrechen", "Zeile eins\\nZeile zwei",
	                                           "mit Leerzeichen am Ende  ", "\tTab voran",
	                                           "# kein Kommentar"};
	EXPECT_EQ(source.texts, expected);
}

TEST(LocaleSource, FormatAndParseRoundTrip)
{
	LocaleSource source;
	source.language = "Français";
	source.version = "01.00";
	source.appID = "an id: with colon";
	source.texts = {"",      "À propos", "tab\there", "1 = looks like an entry", "  leading", "",
	                "x\\ny", " ",        ""};
	int32 escaped = -1;
	const std::string text = source.Format(&escaped);
	EXPECT_EQ(escaped, 0);
	// Empty texts are "N =" with nothing after it, and keep their places.
	EXPECT_NE(text.find("\n1 =\n2 = À propos\n"), std::string::npos) << text;
	EXPECT_NE(text.find("\n6 =\n7 = x\\ny\n8 =  \n9 =\n"), std::string::npos) << text;
	LocaleSource again;
	ASSERT_NO_FATAL_FAILURE(ExpectParsedBack(text, source, &again));
}

TEST(LocaleSource, FormatEscapesWhatALineCannotCarryAndParseReadsItBack)
{
	LocaleSource source;
	source.language = " Deutsch\t";
	source.version = "1\x01";
	source.appID = "bad \xff id";
	source.texts = {"two\nlines",
	                "fine",
	                std::string("nul\0inside", 10),
	                "cr\r",
	                "bad \xc3\x28 byte",
	                "C:\\x41 stays",
	                "\\x4 \\x",
	                "\\\n",
	                "x\\n stays"};
	int32 escaped = 0;
	const std::string text = source.Format(&escaped);
	EXPECT_EQ(escaped, 6);
	EXPECT_NE(text.find("1 = two\\x0alines\n"), std::string::npos) << text;
	EXPECT_NE(text.find("language: \\x20Deutsch\\x09\n"), std::string::npos) << text;
	EXPECT_NE(text.find("6 = C:\\x5cx41 stays\n"), std::string::npos) << text;
	EXPECT_NE(text.find("9 = x\\n stays\n"), std::string::npos) << text;
	LocaleSource again;
	ASSERT_NO_FATAL_FAILURE(ExpectParsedBack(text, source, &again));

	// And through the message, a NUL inside a text included.
	BMessage message;
	again.ToMessage(&message);
	LocaleSource read;
	std::string why;
	EXPECT_TRUE(read.FromMessage(message, &why)) << why;
	EXPECT_EQ(read.texts, source.texts);
	EXPECT_EQ(read.appID, source.appID);
}

TEST(LocaleSource, AMissingHeaderHasNoTextFormAndSaysSo)
{
	LocaleSource source;
	source.language = "English";
	source.texts = {"fine"};
	const std::string text = source.Format();
	EXPECT_NE(text.find("# version: (missing)\n"), std::string::npos);
	LocaleSource again;
	std::string error;
	EXPECT_NE(again.Parse(text, &error), B_OK);
	EXPECT_EQ(error, "no \"version\" line");

	BMessage message;
	message.AddString("zt:language", "English");
	message.AddString("zt:text", "fine");
	std::string why;
	EXPECT_FALSE(again.FromMessage(message, &why));
	EXPECT_EQ(why, "no zt:version");
	LocaleSource whole;
	whole.language = whole.version = whole.appID = "x";
	whole.ToMessage(&message);
	message.AddInt32("extra", 1);
	EXPECT_FALSE(again.FromMessage(message, &why));
	EXPECT_FALSE(why.empty());
}

TEST(LocaleSource, RefusesBrokenSourcesNamingTheLine)
{
	const std::string header = "language: L\nversion: 1\napp_id: a\n";
	const struct
	{
		std::string text;
		std::string error;
	} cases[] = {
	    {"version: 1\napp_id: a\n", "no \"language\" line"},
	    {header + "language: M\n", "line 4: \"language\" given twice"},
	    {"language:\n", "line 1: \"language\" is empty"},
	    {header + "colour: red\n",
	     "line 4: unknown key \"colour\" (known: language, version, app_id)"},
	    {header + "2 = b\n", "line 4: entry 2 where entry 1 was expected"},
	    {header + "1 = a\n1 = b\n", "line 5: entry 1 where entry 2 was expected"},
	    {header + "01 = a\n", "line 4: entry number with a leading zero"},
	    {header + "1 a\n", "line 4: expected \"<number> = <text>\""},
	    {header + "just words\n", "line 4: expected \"key: value\" or \"<number> = <text>\""},
	    {header + "1 = a\nversion: 2\n",
	     "line 5: \"version\" after the first entry; the header comes first"},
	    {header + "1 = bad \xc3\x28 byte\n", "line 4: not valid UTF-8"},
	    {header + "1 = over\xc0\xaflong\n", "line 4: not valid UTF-8"},
	    {header + "1 = nul\x01here\n",
	     "line 4: control byte 1 (only tab is allowed inside a line)"},
	};
	for (const auto& test : cases) {
		LocaleSource source;
		source.texts = {"left over"};
		std::string error;
		EXPECT_EQ(source.Parse(test.text, &error), B_BAD_DATA) << test.text;
		EXPECT_EQ(error, test.error) << test.text;
		EXPECT_TRUE(source.texts.empty());
		EXPECT_TRUE(source.language.empty());
	}
}

TEST(LocaleSource, MessageHasTheFormatsFieldOrderAndReadsBack)
{
	LocaleSource source;
	source.language = "Deutsch";
	source.version = "1.0.0";
	source.appID = "app";
	source.texts = {"a", "b"};
	BMessage message('XXXX');
	source.ToMessage(&message);
	EXPECT_EQ(message.what, 0u);
	const char* names[] = {kLocaleFieldVersion, kLocaleFieldAppID, kLocaleFieldLanguage,
	                       kLocaleFieldText};
	for (int32 i = 0; i < 4; i++) {
		const char* name;
		type_code type;
		ASSERT_EQ(message.GetInfo(B_STRING_TYPE, i, &name, &type), B_OK);
		EXPECT_STREQ(name, names[i]);
	}
	// An empty text is read like any other; those after it too.
	message.AddString(kLocaleFieldText, "");
	message.AddString(kLocaleFieldText, "after the gap");
	LocaleSource read;
	read.FromMessage(message);
	EXPECT_EQ(read.texts, (std::vector<std::string>{"a", "b", "", "after the gap"}));
	EXPECT_EQ(read.language, "Deutsch");
}
