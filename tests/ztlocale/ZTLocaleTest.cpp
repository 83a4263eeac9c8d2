#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <thread>

#include <Message.h>
#include <Path.h>

#include "../localefileio/LocaleFileTestSupport.h"
#include "LocaleFile.h"
#include "ZTLocale.h"

namespace {

const char* const kAppID = "korvane localeeditor locale";

const char* gDefaults[] = {"Ok", "Cancel", "Continue", "Yes"};
const long kDefaultCount = 4;

// The instance is process-wide: every test starts from the same
// registration and from the defaults.
class ZTLocaleTest : public testing::Test
{
protected:
	void SetUp() override
	{
		mLocale = ZTLocale::GetInstance();
		mLocale->SetAppID(kAppID);
		mLocale->SetDefaultText(gDefaults, kDefaultCount, "English");
		mLocale->SetLanguage(nullptr, nullptr);
	}
	void TearDown() override { mLocale->SetLanguage(nullptr, nullptr); }

	void WriteLocale(const char* leaf, const char* appID, const char* language,
	                 std::vector<const char*> texts, bool withAttribute = true)
	{
		BMessage message;
		LocaleFile::Build(&message, "01.00", appID, language, texts.data(), (long)texts.size());
		ASSERT_EQ(LocaleFile::Write((mFolder / leaf).c_str(), message,
		                            withAttribute ? language : nullptr),
		          B_OK);
	}

	bool Select(const char* language)
	{
		BPath path(mFolder.Path().c_str());
		return mLocale->SetLanguage(&path, language);
	}

	ZTLocale* mLocale = nullptr;
	ScratchFolder mFolder;
};

} // namespace

TEST_F(ZTLocaleTest, GivesTheDefaultsUntilALanguageIsChosen)
{
	EXPECT_EQ(mLocale, ZTLocale::GetInstance());
	for (long i = 0; i < kDefaultCount; i++)
		EXPECT_EQ(mLocale->Text(i), gDefaults[i]) << i;
	EXPECT_EQ(mLocale->Language(), nullptr);
	EXPECT_STREQ(mLocale->DefaultLanguage(), "English");
	EXPECT_STREQ(mLocale->AppID(), kAppID);
	EXPECT_EQ(mLocale->CountTexts(), kDefaultCount);
}

TEST_F(ZTLocaleTest, IndexOutsideTheTableGivesNull)
{
	EXPECT_EQ(mLocale->Text(-1), nullptr);
	EXPECT_EQ(mLocale->Text(kDefaultCount), nullptr);
	EXPECT_EQ(mLocale->Text(1000000), nullptr);

	// Also when the file holds more entries than the table.
	WriteLocale("de", kAppID, "Deutsch", {"Gut", "Abbrechen", "Weiter", "Ja", "Extra"});
	ASSERT_TRUE(Select("Deutsch"));
	EXPECT_EQ(mLocale->Text(kDefaultCount), nullptr);
}

TEST_F(ZTLocaleTest, ChoosesTheFileByApplicationIdAndLanguage)
{
	WriteLocale("a-other-app", "another app", "Deutsch", {"Falsch"});
	WriteLocale("b-french", kAppID, "Francais", {"D'accord"});
	WriteLocale("c-german", kAppID, "Deutsch", {"Gut", "Abbrechen"});
	WriteLocale("d-german-lower", kAppID, "deutsch", {"klein"});

	ASSERT_TRUE(Select("Deutsch"));
	EXPECT_STREQ(mLocale->Language(), "Deutsch");
	EXPECT_STREQ(mLocale->Text(0), "Gut");
	EXPECT_STREQ(mLocale->Text(1), "Abbrechen");
	// Entries the file lacks come from the defaults.
	EXPECT_EQ(mLocale->Text(2), gDefaults[2]);

	ASSERT_TRUE(Select("Francais"));
	EXPECT_STREQ(mLocale->Text(0), "D'accord");
	EXPECT_EQ(mLocale->Text(1), gDefaults[1]);

	ASSERT_TRUE(Select("deutsch"));
	EXPECT_STREQ(mLocale->Text(0), "klein");
}

TEST_F(ZTLocaleTest, AnEmptyEntryFallsBackToTheDefault)
{
	WriteLocale("de", kAppID, "Deutsch", {"", "Abbrechen", ""});
	ASSERT_TRUE(Select("Deutsch"));
	EXPECT_EQ(mLocale->Text(0), gDefaults[0]);
	EXPECT_STREQ(mLocale->Text(1), "Abbrechen");
	EXPECT_EQ(mLocale->Text(2), gDefaults[2]);
}

TEST_F(ZTLocaleTest, TurnsBackslashSequencesIntoLineFeedsReturnsAndTabs)
{
	WriteLocale("de", kAppID, "Deutsch",
	            {"Zeile\\n\\nzwei", "a\\tb", "C:\\\\pfad \\x \\", "\\r\\n"});
	ASSERT_TRUE(Select("Deutsch"));
	EXPECT_STREQ(mLocale->Text(0), "Zeile\n\nzwei");
	EXPECT_STREQ(mLocale->Text(1), "a\tb");
	// Other backslashes stay as they are, a trailing one too.
	EXPECT_STREQ(mLocale->Text(2), "C:\\\\pfad \\x \\");
	EXPECT_STREQ(mLocale->Text(3), "\r\n");
}

TEST_F(ZTLocaleTest, ReadsTheLanguageFromTheBodyOfATypelessFile)
{
	// A file that lost its attribute and type on the way (git, zip, cp):
	// the golden body alone, naming the language English.
	WriteBytes(mFolder / "plain", kGoldenLocaleMessage);
	ASSERT_TRUE(Select("English"));
	EXPECT_STREQ(mLocale->Text(0), "Ok");
	EXPECT_STREQ(mLocale->Language(), "English");

	// And an attribute that disagrees with the body does not count.
	WriteLocale("liar", kAppID, "Deutsch", {"Gut"}, false);
	BMessage body;
	ASSERT_EQ(LocaleFile::Read((mFolder / "liar").c_str(), &body), B_OK);
	ASSERT_EQ(LocaleFile::Write((mFolder / "liar").c_str(), body, "Italiano"), B_OK);
	EXPECT_FALSE(Select("Italiano"));
	EXPECT_TRUE(Select("Deutsch"));
}

TEST_F(ZTLocaleTest, MissingFolderUnknownLanguageAndBrokenFilesLeaveTheDefaults)
{
	WriteLocale("de", kAppID, "Deutsch", {"Gut"});
	ASSERT_TRUE(Select("Deutsch"));

	BPath missing((mFolder.Path() + "/none").c_str());
	EXPECT_FALSE(mLocale->SetLanguage(&missing, "Deutsch"));
	EXPECT_EQ(mLocale->Text(0), gDefaults[0]);
	EXPECT_EQ(mLocale->Language(), nullptr);

	ASSERT_TRUE(Select("Deutsch"));
	EXPECT_FALSE(Select("Klingon"));
	EXPECT_EQ(mLocale->Text(0), gDefaults[0]);

	ASSERT_TRUE(Select("Deutsch"));
	EXPECT_FALSE(Select(nullptr));
	EXPECT_EQ(mLocale->Text(0), gDefaults[0]);
	EXPECT_FALSE(mLocale->SetLanguage(nullptr, "Deutsch"));

	// A broken file is passed over; alone, it leaves the defaults.
	std::vector<uint8_t> truncated(kGoldenLocaleMessage.begin(), kGoldenLocaleMessage.end() - 20);
	WriteBytes(mFolder / "0-broken", truncated);
	WriteBytes(mFolder / "0-text", {'E', 'n', 'g', 'l', 'i', 's', 'h', '\n'});
	std::filesystem::create_directory(mFolder / "0-folder");
	EXPECT_TRUE(Select("Deutsch"));
	EXPECT_STREQ(mLocale->Text(0), "Gut");
	EXPECT_FALSE(Select("English"));
	EXPECT_EQ(mLocale->Text(0), gDefaults[0]);
}

TEST_F(ZTLocaleTest, WithoutAnApplicationIdNoFileIsChosen)
{
	WriteLocale("de", kAppID, "Deutsch", {"Gut"});
	mLocale->SetAppID(nullptr);
	EXPECT_FALSE(Select("Deutsch"));
	EXPECT_EQ(mLocale->Text(0), gDefaults[0]);
	EXPECT_EQ(mLocale->AppID(), nullptr);
}

TEST_F(ZTLocaleTest, TextsFetchedEarlierOutliveALanguageSwitch)
{
	WriteLocale("de", kAppID, "Deutsch", {"Gut", "Abbrechen"});
	WriteLocale("fr", kAppID, "Francais", {"Bien"});
	ASSERT_TRUE(Select("Deutsch"));
	const char* label = mLocale->Text(1);
	const char* language = mLocale->Language();
	ASSERT_TRUE(Select("Francais"));
	ASSERT_FALSE(Select("Klingon"));
	EXPECT_STREQ(label, "Abbrechen");
	EXPECT_STREQ(language, "Deutsch");
}

TEST_F(ZTLocaleTest, TextCanBeCalledWhileAnotherThreadSwitchesLanguages)
{
	WriteLocale("de", kAppID, "Deutsch", {"Gut", "Abbrechen"});
	const std::set<std::string> allowed = {"Ok", "Gut"};
	std::atomic<bool> done = false;
	std::atomic<int> wrong = 0;
	std::thread reader([&] {
		while (!done) {
			const char* text = mLocale->Text(0);
			if (text == nullptr || allowed.count(text) == 0)
				wrong++;
		}
	});
	for (int i = 0; i < 200; i++)
		Select(i % 2 == 0 ? "Deutsch" : "Klingon");
	done = true;
	reader.join();
	EXPECT_EQ(wrong, 0);
}

TEST_F(ZTLocaleTest, SwitchingBackGivesTheSameTextsAgain)
{
	WriteLocale("de", kAppID, "Deutsch", {"Gut"});
	WriteLocale("fr", kAppID, "Francais", {"Bien"});
	ASSERT_TRUE(Select("Deutsch"));
	const char* first = mLocale->Text(0);
	ASSERT_TRUE(Select("Francais"));
	ASSERT_TRUE(Select("Deutsch"));
	EXPECT_EQ(mLocale->Text(0), first);

	// A changed file is a new table; the old pointer still reads the old text.
	WriteLocale("de", kAppID, "Deutsch", {"Sehr gut"});
	ASSERT_TRUE(Select("Deutsch"));
	EXPECT_STREQ(mLocale->Text(0), "Sehr gut");
	EXPECT_STREQ(first, "Gut");
}

TEST_F(ZTLocaleTest, FollowsLinksAndChoosesByTheNameInTheFolder)
{
	// The file a link points to lies elsewhere; the link's own name counts
	// for the order, so "a-link" wins over "b-german".
	ScratchFolder elsewhere;
	BMessage message;
	const char* texts[] = {"Verlinkt"};
	LocaleFile::Build(&message, "01.00", kAppID, "Deutsch", texts, 1);
	ASSERT_EQ(LocaleFile::Write((elsewhere / "z-target").c_str(), message, "Deutsch"), B_OK);
	std::filesystem::create_symlink(elsewhere / "z-target", mFolder / "a-link");
	WriteLocale("b-german", kAppID, "Deutsch", {"Direkt"});
	std::filesystem::create_symlink(mFolder / "missing", mFolder / "0-dangling");

	ASSERT_TRUE(Select("Deutsch"));
	EXPECT_STREQ(mLocale->Text(0), "Verlinkt");
}

TEST_F(ZTLocaleTest, AnInterruptedSaveGivesTheFilesNewTextsAndItsLeftoversAreNoFiles)
{
	// A copy whose save ended before removing it holds an older text; it
	// sorts before the file but is no translation of its own.
	WriteLocale("de", kAppID, "Deutsch", {"Alt"});
	const std::vector<uint8_t> older = ReadBytes(mFolder / "de");
	WriteLocale("de", kAppID, "Deutsch", {"Gut"});
	const std::string leftover = LeaveInterruptedSave(mFolder / "de", older, false);
	ASSERT_TRUE(Select("Deutsch"));
	EXPECT_STREQ(mLocale->Text(0), "Gut");
	EXPECT_FALSE(std::filesystem::exists(leftover));

	// A save killed while it wrote in place: reading finishes it.
	WriteLocale("neu", kAppID, "Deutsch", {"Neu"});
	const std::vector<uint8_t> newer = ReadBytes(mFolder / "neu");
	std::filesystem::remove(mFolder / "neu");
	const std::string copy = LeaveInterruptedSave(mFolder / "de", newer, true);
	ASSERT_TRUE(Select("Deutsch"));
	EXPECT_STREQ(mLocale->Text(0), "Neu");
	EXPECT_EQ(ReadBytes(mFolder / "de"), newer);
	EXPECT_FALSE(std::filesystem::exists(copy));
}
