// The interface language menu: sorted names from the locale folder's files,
// the "(2)" of a second file of one language, and the rebuild when files
// come and go while the editor runs.

#include <sys/xattr.h>

#include <cstdio>
#include <filesystem>

#include <Menu.h>
#include <MenuBar.h>
#include <MenuItem.h>
#include <Message.h>

#include "EditorMessages.h"
#include "EditorTestSupport.h"
#include "LocaleFile.h"

namespace {

std::string LocaleFolder()
{
	return AppFolder() + "/locale";
}

void WriteLanguageFile(const std::string& leaf, const std::string& language)
{
	std::string path = LocaleFolder() + "/" + leaf;
	WriteFileBytes(path, "body");
	ASSERT_EQ(setxattr(path.c_str(), "user.zt:language", language.data(), language.size(), 0), 0);
}

} // namespace

class LanguageMenuTest : public EditorWindowTest
{
protected:
	void SetUp() override
	{
		std::error_code ignored;
		std::filesystem::remove_all(LocaleFolder(), ignored);
		std::filesystem::create_directories(LocaleFolder());
		Prepare();
		EditorWindowTest::SetUp();
	}

	void TearDown() override
	{
		EditorWindowTest::TearDown();
		std::error_code ignored;
		std::filesystem::remove_all(LocaleFolder(), ignored);
	}

	// Files to be there before the window is built.
	virtual void Prepare() {}

	BMenu* LanguageMenu()
	{
		BMenuBar* bar = dynamic_cast<BMenuBar*>(View("MB"));
		return bar != nullptr ? bar->SubmenuAt(3)->SubmenuAt(0) : nullptr;
	}

	// "label*" for the marked item.
	std::vector<std::string> Labels()
	{
		std::vector<std::string> labels;
		if (!mWindow->Lock())
			return labels;
		BMenu* menu = LanguageMenu();
		for (int32 i = 0; menu != nullptr && i < menu->CountItems(); i++) {
			BMenuItem* item = menu->ItemAt(i);
			labels.push_back(std::string(item->Label()) + (item->IsMarked() ? "*" : ""));
		}
		mWindow->Unlock();
		return labels;
	}

	using Labels_t = std::vector<std::string>;
};

TEST_F(LanguageMenuTest, EmptyFolderGivesEnglishAloneMarked)
{
	EXPECT_EQ(Labels(), (Labels_t{"English*"}));
}

class LanguageMenuWithFilesTest : public LanguageMenuTest
{
protected:
	void Prepare() override
	{
		WriteLanguageFile("a.locale", "Deutsch");
		WriteLanguageFile("b.locale", "Fran\xc3\xa7"
		                              "ais");
		WriteLanguageFile("c.locale", "Deutsch");
		WriteLanguageFile("d.locale", "espa\xc3\xb1ol");
		WriteLanguageFile("e.locale", std::string(70, 'L'));
		WriteFileBytes(LocaleFolder() + "/notes.txt", "no attribute");
		mPrefs_language = "Fran\xc3\xa7"
		                  "ais";
	}
	std::string mPrefs_language;
};

TEST_F(LanguageMenuWithFilesTest, ItemsAreSortedByBytesWithSecondFilesSuffixed)
{
	EXPECT_EQ(Labels(), (Labels_t{"Deutsch", "Deutsch(2)", "English*",
	                              "Fran\xc3\xa7"
	                              "ais",
	                              std::string(64, 'L'), "espa\xc3\xb1ol"}));

	ASSERT_TRUE(mWindow->Lock());
	BMenu* menu = LanguageMenu();
	BMenuItem* second = menu->ItemAt(1);
	const char* language = nullptr;
	ASSERT_NE(second->Message(), nullptr);
	EXPECT_EQ(second->Message()->what, kMsgLanguage);
	ASSERT_EQ(second->Message()->FindString("language", 0, &language), B_OK);
	EXPECT_STREQ(language, "Deutsch");
	EXPECT_EQ(second->Target(), mWindow);
	mWindow->Unlock();
}

TEST_F(LanguageMenuTest, AFileThatLostItsAttributeIsListedByTheLanguageItHolds)
{
	// As installed or unpacked from a package: the file without attributes.
	BMessage locale;
	const char* texts[] = {"Gut"};
	LocaleFile::Build(&locale, "01.00", "some app", "Svenska", texts, 1);
	std::string path = LocaleFolder() + "/Svenska.locale";
	ASSERT_EQ(LocaleFile::Write(path.c_str(), locale, nullptr), B_OK);
	WriteFileBytes(LocaleFolder() + "/notes.txt", "not a locale file");
	ASSERT_TRUE(WaitFor([&] { return Labels() == Labels_t{"English*", "Svenska"}; }));
}

TEST_F(LanguageMenuWithFilesTest, PreferenceMarksItsLanguageOrNothing)
{
	mPrefs->Set("ZT_LANGUAGE", mPrefs_language.c_str());
	RecordingWindow* other = new RecordingWindow(mPrefs.get());
	ASSERT_TRUE(other->Lock());
	BMenu* menu = dynamic_cast<BMenuBar*>(other->FindView("MB"))->SubmenuAt(3)->SubmenuAt(0);
	EXPECT_TRUE(menu->ItemAt(3)->IsMarked());
	EXPECT_FALSE(menu->ItemAt(2)->IsMarked());
	other->Quit();

	mPrefs->Set("ZT_LANGUAGE", "Klingon");
	other = new RecordingWindow(mPrefs.get());
	ASSERT_TRUE(other->Lock());
	menu = dynamic_cast<BMenuBar*>(other->FindView("MB"))->SubmenuAt(3)->SubmenuAt(0);
	for (int32 i = 0; i < menu->CountItems(); i++)
		EXPECT_FALSE(menu->ItemAt(i)->IsMarked()) << menu->ItemAt(i)->Label();
	other->Quit();
}

TEST_F(LanguageMenuTest, FilesComingAndGoingRebuildTheMenuAndKeepTheMark)
{
	WriteLanguageFile("nl.locale", "Nederlands");
	ASSERT_TRUE(WaitFor([&] {
		return Labels() == Labels_t{"English*", "Nederlands"};
	})) << Labels().size();

	// Moved in from elsewhere.
	ScratchFolder outside;
	std::string outsidePath = outside / "de.locale";
	WriteFileBytes(outsidePath, "body");
	ASSERT_EQ(setxattr(outsidePath.c_str(), "user.zt:language", "Deutsch", 7, 0), 0);
	std::filesystem::rename(outsidePath, LocaleFolder() + "/de.tmp");
	ASSERT_TRUE(WaitFor([&] { return Labels() == Labels_t{"Deutsch", "English*", "Nederlands"}; }));

	// Renamed within the folder: still there once.
	std::filesystem::rename(LocaleFolder() + "/de.tmp", LocaleFolder() + "/de.locale");
	Settle();
	ASSERT_TRUE(WaitFor([&] { return Labels() == Labels_t{"Deutsch", "English*", "Nederlands"}; }));

	std::filesystem::remove(LocaleFolder() + "/nl.locale");
	ASSERT_TRUE(WaitFor([&] { return Labels() == Labels_t{"Deutsch", "English*"}; }));
}

TEST_F(LanguageMenuTest, AttributeChangesAloneDoNotRebuild)
{
	WriteLanguageFile("nl.locale", "Nederlands");
	ASSERT_TRUE(WaitFor([&] { return Labels() == Labels_t{"English*", "Nederlands"}; }));
	ASSERT_EQ(setxattr((LocaleFolder() + "/nl.locale").c_str(), "user.zt:language", "Vlaams", 6, 0),
	          0);
	// A notice that is not about entries leaves the menu as it is.
	BMessage notice(B_NODE_MONITOR);
	notice.AddInt32("opcode", B_ATTR_CHANGED);
	Dispatch(notice);
	EXPECT_EQ(Labels(), (Labels_t{"English*", "Nederlands"}));
	// The next entry notice picks the change up.
	BMessage created(B_NODE_MONITOR);
	created.AddInt32("opcode", B_ENTRY_CREATED);
	Dispatch(created);
	EXPECT_EQ(Labels(), (Labels_t{"English*", "Vlaams"}));
}

TEST_F(LanguageMenuTest, ChoosingALanguageStoresItAndSaysItTakesEffectOnRestart)
{
	BMessage choice(kMsgLanguage);
	choice.AddString("language", "Deutsch");
	Dispatch(choice);
	EXPECT_STREQ(mPrefs->GetString("ZT_LANGUAGE", ""), "Deutsch");
	ASSERT_EQ(Alerts().size(), 1u);
	EXPECT_EQ(Alerts()[0].title, "Locale");
	EXPECT_EQ(Alerts()[0].text,
	          "The selected language will be used correct if you restart the application!");
	EXPECT_EQ(Alerts()[0].buttons, std::vector<std::string>{"Continue"});
	EXPECT_FALSE(std::filesystem::exists(PrefsPath())) << "only in memory";
}
