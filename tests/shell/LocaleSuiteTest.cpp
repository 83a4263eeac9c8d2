// The locale scripting suite as another program sees it: requests travel
// to a real editor process over the session bus.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <AppDefs.h>
#include <Message.h>
#include <PropertyInfo.h>

#include "InterfaceTexts.h"
#include "LocaleFile.h"
#include "Preferences.h"
#include "ShellTestSupport.h"

namespace {

using namespace std::chrono_literals;

// The suite's property table, flattened.
const std::vector<uint8_t> kFlatSuiteTable = {
    0x00, 0x03, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x44, 0x65, 0x66, 0x61, 0x75, 0x6c, 0x74,
    0x54, 0x65, 0x78, 0x74, 0x00, 0x67, 0x65, 0x74, 0x20, 0x74, 0x68, 0x65, 0x20, 0x64, 0x65, 0x66,
    0x61, 0x75, 0x6c, 0x74, 0x20, 0x74, 0x65, 0x78, 0x74, 0x73, 0x20, 0x66, 0x6f, 0x72, 0x20, 0x6c,
    0x6f, 0x63, 0x61, 0x6c, 0x69, 0x7a, 0x61, 0x74, 0x69, 0x6f, 0x6e, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x54, 0x45, 0x47, 0x50, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x44, 0x65, 0x66, 0x61, 0x75, 0x6c, 0x74, 0x4c, 0x61, 0x6e, 0x67, 0x75, 0x61, 0x67, 0x65, 0x00,
    0x67, 0x65, 0x74, 0x20, 0x74, 0x68, 0x65, 0x20, 0x64, 0x65, 0x66, 0x61, 0x75, 0x6c, 0x74, 0x20,
    0x6c, 0x61, 0x6e, 0x67, 0x75, 0x61, 0x67, 0x65, 0x20, 0x6e, 0x61, 0x6d, 0x65, 0x20, 0x66, 0x6f,
    0x72, 0x20, 0x6c, 0x6f, 0x63, 0x61, 0x6c, 0x69, 0x7a, 0x61, 0x74, 0x69, 0x6f, 0x6e, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x54, 0x45, 0x47, 0x50, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x54, 0x65, 0x78, 0x74, 0x41, 0x70, 0x70, 0x49, 0x44, 0x00, 0x67, 0x65, 0x74,
    0x20, 0x74, 0x68, 0x65, 0x20, 0x69, 0x64, 0x20, 0x66, 0x6f, 0x72, 0x20, 0x6c, 0x6f, 0x63, 0x61,
    0x6c, 0x65, 0x20, 0x66, 0x69, 0x6c, 0x65, 0x73, 0x00, 0x00, 0x00, 0x00, 0x00, 0x54, 0x45, 0x47,
    0x50, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00,
};

// One editor for the whole suite, started with a German interface, so every
// answer below is also checked to ignore the interface language.
class LocaleSuiteTest : public testing::Test
{
protected:
	static void SetUpTestSuite()
	{
		sFolder = new TempAppFolder;
		std::filesystem::create_directory(sFolder->File("locale"));
		const char* german[] = {"Gut", "Abbrechen"};
		BMessage body;
		LocaleFile::Build(&body, "01.00", "korvane localeeditor locale", "Deutsch", german, 2);
		LocaleFile::Write(sFolder->File("locale/Deutsch").c_str(), body, "Deutsch");
		Preferences prefs(sFolder->File("LocaleEditor.prefs").c_str(), "ZTLOCALE");
		prefs.Set("ZT_LANGUAGE", "Deutsch");
		prefs.Save();

		sEditor = new EditorProcess(sFolder->Executable());
		sAnswering = sEditor->WaitUntilAnswering(15s);
	}
	static void TearDownTestSuite()
	{
		delete sEditor;
		delete sFolder;
	}
	void SetUp() override { ASSERT_TRUE(sAnswering) << "the editor did not start answering"; }

	static BMessage Ask(uint32 what, const char* property, int32 index = -1)
	{
		BMessage request(what);
		if (index >= 0)
			request.AddSpecifier(property, index);
		else
			request.AddSpecifier(property);
		BMessage reply;
		EXPECT_EQ(SendRequest(sEditor->Messenger(), &request, &reply), B_OK) << property;
		return reply;
	}

	static std::vector<std::string> Results(const BMessage& reply, const char* field = "result")
	{
		std::vector<std::string> values;
		const char* value = nullptr;
		for (int32 i = 0; reply.FindString(field, i, &value) == B_OK; i++)
			values.push_back(value);
		return values;
	}

	// The suite answers with B_REPLY and "result" strings and nothing else;
	// anything it leaves to the framework comes back otherwise.
	static bool AnsweredBySuite(const BMessage& reply)
	{
		return reply.what == B_REPLY && reply.HasString("result") && !reply.HasInt32("error");
	}

	static TempAppFolder* sFolder;
	static EditorProcess* sEditor;
	static bool sAnswering;
};

TempAppFolder* LocaleSuiteTest::sFolder = nullptr;
EditorProcess* LocaleSuiteTest::sEditor = nullptr;
bool LocaleSuiteTest::sAnswering = false;

} // namespace

TEST_F(LocaleSuiteTest, DefaultTextIsTheEnglishTableInOrder)
{
	BMessage reply = Ask(B_GET_PROPERTY, "DefaultText");
	ASSERT_TRUE(AnsweredBySuite(reply));
	std::vector<std::string> texts = Results(reply);
	ASSERT_EQ(texts.size(), (size_t)kInterfaceTextCount);
	for (long i = 0; i < kInterfaceTextCount; i++)
		EXPECT_EQ(texts[i], mText[i]) << "text " << i;
	EXPECT_EQ(texts[0], "Ok");
	EXPECT_EQ(texts[37], "Size");
	// Texts added later follow the first 38, which keep their places.
	EXPECT_EQ(texts[kTextEntryHasLines].rfind("Entry #%d has %d lines.", 0), 0u);
	// Entry 32 keeps its raw line feeds.
	EXPECT_EQ(std::count(texts[32].begin(), texts[32].end(), '\n'), 2);
	EXPECT_NE(texts[32].find("defined!\n\nPlease"), std::string::npos);
	EXPECT_EQ(reply.CountNames(B_ANY_TYPE), 1);
}

TEST_F(LocaleSuiteTest, LanguageAndIdAreConstants)
{
	BMessage language = Ask(B_GET_PROPERTY, "DefaultLanguage");
	ASSERT_TRUE(AnsweredBySuite(language));
	EXPECT_EQ(Results(language), std::vector<std::string>{"English"});

	BMessage id = Ask(B_GET_PROPERTY, "TextAppID");
	ASSERT_TRUE(AnsweredBySuite(id));
	EXPECT_EQ(Results(id), std::vector<std::string>{"korvane localeeditor locale"});
}

TEST_F(LocaleSuiteTest, OnlyExactNamesDirectFormAndGetAreAnswered)
{
	for (const char* name : {"defaulttext", "DEFAULTTEXT", "DefaultTexts", "DefaultText ",
	                         "TextAppId", "DefaultLanguag", ""}) {
		BMessage reply = Ask(B_GET_PROPERTY, name);
		EXPECT_FALSE(AnsweredBySuite(reply)) << "'" << name << "'";
		EXPECT_TRUE(Results(reply).empty()) << "'" << name << "'";
	}

	BMessage indexed = Ask(B_GET_PROPERTY, "DefaultText", 0);
	EXPECT_FALSE(AnsweredBySuite(indexed));
	EXPECT_TRUE(Results(indexed).empty());

	for (const char* name : {"DefaultText", "DefaultLanguage", "TextAppID"}) {
		BMessage set = Ask(B_SET_PROPERTY, name);
		EXPECT_FALSE(AnsweredBySuite(set)) << name;
		EXPECT_TRUE(Results(set).empty()) << name;
	}
}

TEST_F(LocaleSuiteTest, SuitesListsTheLocaleSuiteFirstWithItsTable)
{
	BMessage reply = Ask(B_GET_PROPERTY, "Suites");
	ASSERT_EQ(reply.what, (uint32)B_REPLY);
	std::vector<std::string> suites = Results(reply, "suites");
	ASSERT_FALSE(suites.empty());
	EXPECT_EQ(suites[0], "suite/vnd.Vessmor-locale");
	EXPECT_EQ(std::count(suites.begin(), suites.end(), "suite/vnd.Vessmor-locale"), 1);

	const void* data = nullptr;
	ssize_t size = 0;
	ASSERT_EQ(reply.FindData("messages", B_PROPERTY_INFO_TYPE, 0, &data, &size), B_OK);
	std::vector<uint8_t> bytes((const uint8_t*)data, (const uint8_t*)data + size);
	EXPECT_EQ(bytes, kFlatSuiteTable);

	BPropertyInfo table;
	ASSERT_EQ(table.Unflatten(B_PROPERTY_INFO_TYPE, data, size), B_OK);
	ASSERT_EQ(table.CountProperties(), 3);
	const property_info* rows = table.Properties();
	const char* names[] = {"DefaultText", "DefaultLanguage", "TextAppID"};
	const char* usages[] = {"get the default texts for localization",
	                        "get the default language name for localization",
	                        "get the id for locale files"};
	for (int i = 0; i < 3; i++) {
		EXPECT_STREQ(rows[i].name, names[i]);
		EXPECT_STREQ(rows[i].usage, usages[i]);
		EXPECT_EQ(rows[i].commands[0], (uint32)B_GET_PROPERTY);
		EXPECT_EQ(rows[i].commands[1], 0u);
		EXPECT_EQ(rows[i].specifiers[0], (uint32)B_DIRECT_SPECIFIER);
		EXPECT_EQ(rows[i].specifiers[1], 0u);
		EXPECT_EQ(rows[i].types[0], 0u);
	}
}

TEST_F(LocaleSuiteTest, EverythingElseGetsTheFrameworksAnswer)
{
	// A get without any specifier, and a command nobody knows.
	BMessage bare(B_GET_PROPERTY);
	BMessage reply;
	ASSERT_EQ(SendRequest(sEditor->Messenger(), &bare, &reply), B_OK);
	EXPECT_FALSE(AnsweredBySuite(reply));
	EXPECT_TRUE(Results(reply).empty());

	BMessage unknown('zzzz');
	unknown.AddString("result", "mine");
	ASSERT_EQ(SendRequest(sEditor->Messenger(), &unknown, &reply), B_OK);
	// The framework's own handling: never a suite reply.
	EXPECT_NE(reply.what, (uint32)B_REPLY);
	EXPECT_TRUE(Results(reply).empty());
}
