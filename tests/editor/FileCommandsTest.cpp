// Saving and loading through the window's messages and panels: round trips,
// entries under reference blocks, the checks, failures that must not cost
// the user a file, and where the panels start.

#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <filesystem>

#include <Alert.h>
#include <Entry.h>
#include <File.h>
#include <FilePanel.h>
#include <FilePanelTesting.h>
#include <Message.h>
#include <TextControl.h>
#include <TextView.h>
#include <TypeConstants.h>

#include "EditorMessages.h"
#include "FileCommandsTestSupport.h"
#include "LocaleFile.h"

TEST_F(FileCommandsTest, SaveThroughThePanelWritesHeaderEntriesAttributeAndType)
{
	BFilePanel* panel = SavePanelFor(
	    "Deutsch", "; #ID1:\n; Ok\n  Gut\n\n; own note\nAbbrechen ; stays\n\r\nLetzte");
	ASSERT_NE(panel, nullptr);
	ASSERT_EQ(FP::choose_save_name(panel, "de.locale", mFolder.Path()), B_OK);
	std::string path = mFolder / "de.locale";
	ASSERT_TRUE(WaitFor([&] { return mWindow->CountHandled(kMsgSaveFile) == 1; }));
	Settle();

	BMessage locale;
	ASSERT_EQ(LocaleFile::Read(path.c_str(), &locale), B_OK);
	EXPECT_EQ(Field(locale, "zt:version"), "01.00");
	EXPECT_EQ(Field(locale, "zt:app_id"), "some app");
	EXPECT_EQ(Field(locale, "zt:language"), "Deutsch");
	EXPECT_EQ(Texts(locale), (std::vector<std::string>{"Gut", "Abbrechen ; stays", "Letzte"}));

	char attr[64];
	ssize_t size = getxattr(path.c_str(), "user.zt:language", attr, sizeof(attr));
	EXPECT_EQ(size, 7);
	EXPECT_EQ(std::string(attr, size > 0 ? size : 0), "Deutsch");
	char type[64];
	size = getxattr(path.c_str(), "user.mime_type", type, sizeof(type));
	ASSERT_GT(size, 0);
	EXPECT_EQ(std::string(type, strnlen(type, size)), "locale/x-vnd.vessmor-locale");

	EXPECT_EQ(Pref("loadpath"), path);
	EXPECT_EQ(Pref("filesavepath"), path);
	EXPECT_TRUE(Alerts().empty());
}

TEST_F(FileCommandsTest, TheSavePanelProposesTheLanguageWithTheLocaleExtension)
{
	BFilePanel* panel = SavePanelFor("Deutsch", "; #ID1:\n; Ok\nGut\n");
	ASSERT_NE(panel, nullptr);
	EXPECT_EQ(FP::proposed_name(panel), "Deutsch.locale");
	EXPECT_EQ(FP::cancel_panel(panel), B_OK);
}

TEST_F(FileCommandsTest, SavedFileLoadsBackIntoAnEmptyTextEachEntryUnderItsMarker)
{
	FillHeader("Deutsch", "03.10", "the app");
	SetEditedText("; comment\nEins\n\tZwei\n\nDrei\n");
	SaveAs(mFolder.Path(), "de.locale");
	Dispatch(kMsgNewFile);
	EXPECT_TRUE(Alerts().empty()) << "a saved text counts as saved";
	EXPECT_EQ(Text(), "");
	EXPECT_EQ(ControlText("txtctrl_language"), "");

	Dispatch(kMsgLoadFilePanel);
	BFilePanel* panel = LastPanel(B_OPEN_PANEL);
	ASSERT_NE(panel, nullptr);
	ASSERT_EQ(FP::choose_entries(panel, {mFolder / "de.locale"}), B_OK);
	ASSERT_TRUE(WaitFor([&] { return mWindow->CountHandled(kMsgLoadFile) == 1; }));
	Settle();
	EXPECT_EQ(Text(), "; #ID1:\nEins\n; #ID2:\nZwei\n; #ID3:\nDrei\n");
	EXPECT_EQ(ControlText("txtctrl_language"), "Deutsch");
	EXPECT_EQ(ControlText("txtctrl_version"), "03.10");
	EXPECT_EQ(ControlText("txtctrl_appid"), "the app");
	EXPECT_EQ(Pref("loadpath"), mFolder / "de.locale");
}

TEST_F(FileCommandsTest, LoadingUnderAReferenceFillsTheBlocksAndReloadingReplaces)
{
	const std::string reference = "; #ID1:\n; Ok\n\n; #ID2:\n; Cancel\n\n; #ID3:\n; Continue\n\n";
	WriteLocaleFile(mFolder / "de.locale", "Deutsch", {"Gut", "Abbrechen", "Weiter"});
	SetEditedText(reference);
	Open(kMsgLoadFile, mFolder / "de.locale");
	// Each entry takes the empty line the reference left for it.
	const std::string expected =
	    "; #ID1:\n; Ok\nGut\n; #ID2:\n; Cancel\nAbbrechen\n; #ID3:\n; Continue\nWeiter\n";
	EXPECT_EQ(Text(), expected);
	Open(kMsgLoadFile, mFolder / "de.locale");
	EXPECT_EQ(Text(), expected);
}

TEST_F(FileCommandsTest, EntryOneIsNeverPlacedUnderTheMarkersOfTenElevenOrHundred)
{
	std::string text;
	for (int k : {10, 11, 100, 1})
		text += "; #ID" + std::to_string(k) + ":\n; r" + std::to_string(k) + "\n\n";
	SetEditedText(text);
	WriteLocaleFile(mFolder / "one.locale", "Deutsch", {"eins"});
	Open(kMsgLoadFile, mFolder / "one.locale");
	std::string result = Text();
	EXPECT_NE(result.find("; r1\neins\n"), std::string::npos) << result;
	EXPECT_EQ(result.find("eins"), result.rfind("eins"));
	EXPECT_EQ(result.find("; r10\neins"), std::string::npos);
}

TEST_F(FileCommandsTest, FileThatIsNoLocaleFileChangesNothingAndIsReported)
{
	FillHeader("Deutsch", "01.00", "mine");
	SetEditedText("Meine Arbeit\n");
	WriteFileBytes(mFolder / "junk.locale", "this is not a flattened message");
	Open(kMsgLoadFile, mFolder / "junk.locale");
	EXPECT_EQ(Text(), "Meine Arbeit\n");
	EXPECT_EQ(ControlText("txtctrl_language"), "Deutsch");
	EXPECT_EQ(ControlText("txtctrl_appid"), "mine");
	ASSERT_EQ(Alerts().size(), 1u);
	EXPECT_EQ(Alerts()[0].title, "Locale");
	EXPECT_NE(Alerts()[0].text.find(mFolder / "junk.locale"), std::string::npos);
	EXPECT_EQ(Pref("loadpath"), "<none>");
}

// Line feeds inside entries would become extra lines and move every later
// entry up one number on the next save; they load as escapes instead, and
// what the view cannot hold is said once.
TEST_F(FileCommandsTest, OddEntriesLoadOneLineEachAndWhatIsNoTextIsReportedOnce)
{
	FillHeader();
	BMessage locale;
	LocaleFile::Build(&locale, "01.00", "some app", "Deutsch", nullptr, 0);
	const std::string texts[] = {"a\nb", std::string("nul\0x", 5), "bad \xff", "c\td", "e\r\nf",
	                             "last"};
	for (const std::string& text : texts)
		locale.AddData("zt:text", B_STRING_TYPE, text.c_str(), (ssize_t)text.size() + 1, false);
	const std::string path = mFolder / "odd.locale";
	ASSERT_EQ(LocaleFile::Write(path.c_str(), locale, "Deutsch"), B_OK);

	Open(kMsgLoadFile, path);
	const std::string text = Text();
	EXPECT_EQ(text.substr(0, text.find("bad ")), "a\\nb\nnulx\n") << text;
	EXPECT_NE(text.find("\nc\\td\ne\\r\\nf\nlast\n"), std::string::npos) << text;
	ASSERT_EQ(Alerts().size(), 1u);
	EXPECT_NE(Alerts()[0].text.find("Entries 2, 3 contain bytes that cannot be edited as text"),
	          std::string::npos)
	    << Alerts()[0].text;
	EXPECT_EQ(mWindow->LoadNotice(), Alerts()[0].text);

	// Saved again, every entry keeps its number.
	SaveAs(mFolder.Path(), "again.locale");
	BMessage saved;
	ASSERT_EQ(LocaleFile::Read((mFolder / "again.locale").c_str(), &saved), B_OK);
	const std::vector<std::string> entries = Texts(saved);
	ASSERT_EQ(entries.size(), 6u);
	EXPECT_EQ(entries[0], "a\\nb");
	EXPECT_EQ(entries[3], "c\\td");
	EXPECT_EQ(entries[4], "e\\r\\nf");
	EXPECT_EQ(entries[5], "last");
}

// A generated file can be big; over the reader's limit it is called too
// large, with its size, and not damaged.
TEST_F(FileCommandsTest, FileOverTheSizeLimitIsCalledTooLargeWithItsSize)
{
	SetEditedText("Meine Arbeit\n");
	const std::string path = mFolder / "huge.locale";
	WriteLocaleFile(path, "Deutsch", {"eins"});
	std::filesystem::resize_file(path, 70 * 1024 * 1024);
	Open(kMsgLoadFile, path);
	EXPECT_EQ(Text(), "Meine Arbeit\n");
	ASSERT_EQ(Alerts().size(), 1u);
	EXPECT_NE(Alerts()[0].text.find("too large (70 MiB; the limit is 64 MiB)"), std::string::npos)
	    << Alerts()[0].text;
	EXPECT_EQ(Alerts()[0].text.find("damaged"), std::string::npos);
}

TEST_F(FileCommandsTest, SaveRefusedByAnEmptyFieldKeepsTheExistingFileByteForByte)
{
	const std::string path = mFolder / "de.locale";
	WriteFileBytes(path, std::string("precious\0bytes", 14));
	FillHeader("Deutsch", "", "some app");
	SetEditedText("Gut\n");
	SaveAs(mFolder.Path(), "de.locale");
	EXPECT_EQ(ReadFileBytes(path), std::string("precious\0bytes", 14));
	ASSERT_EQ(Alerts().size(), 1u);
	EXPECT_EQ(Alerts()[0].text, "ERROR: There is no version defined at the version input field!");
	EXPECT_EQ(Alerts()[0].buttons, std::vector<std::string>{"Cancel"});
	EXPECT_TRUE(HasFocus("txtctrl_version"));
	EXPECT_EQ(Pref("loadpath"), "<none>");
	EXPECT_EQ(std::filesystem::directory_iterator(mFolder.Path())->path(), path)
	    << "no temporary file is left behind";
}

TEST_F(FileCommandsTest, FailedSaveKeepsWhatWasThereAndSaysWhy)
{
	// A folder of the target's name cannot be replaced by a file, whoever
	// runs the test.
	const std::string target = mFolder / "taken";
	std::filesystem::create_directory(target);
	WriteFileBytes(target + "/inside", "keep me");
	FillHeader();
	SetEditedText("Gut\n");
	mPrefs->Set("loadpath", "/earlier/file.locale");
	SaveAs(mFolder.Path(), "taken");
	EXPECT_EQ(ReadFileBytes(target + "/inside"), "keep me");
	ASSERT_EQ(Alerts().size(), 1u);
	EXPECT_EQ(Alerts()[0].title, "Locale");
	EXPECT_NE(Alerts()[0].text.find(target), std::string::npos) << Alerts()[0].text;
	EXPECT_EQ(Alerts()[0].buttons, std::vector<std::string>{"Cancel"});
	EXPECT_EQ(Pref("loadpath"), "/earlier/file.locale");
	EXPECT_EQ(Pref("filesavepath"), "<none>");

	// And the unsaved work still counts as unsaved.
	AnswerAlertsWith(0);
	ClearAlerts();
	Dispatch(kMsgNewFile);
	EXPECT_EQ(Text(), "Gut\n");
}

TEST_F(FileCommandsTest, SaveIntoAFolderWithoutWritePermissionIsReported)
{
	if (geteuid() == 0)
		GTEST_SKIP() << "permissions do not bind root";
	const std::string path = mFolder / "de.locale";
	WriteFileBytes(path, "old");
	chmod(mFolder.Path().c_str(), 0555);
	FillHeader();
	SetEditedText("Gut\n");
	SaveAs(mFolder.Path(), "de.locale");
	chmod(mFolder.Path().c_str(), 0755);
	EXPECT_EQ(ReadFileBytes(path), "old");
	ASSERT_EQ(Alerts().size(), 1u);
	EXPECT_NE(Alerts()[0].text.find(path), std::string::npos);
}

TEST_F(FileCommandsTest, ChecksBeforeThePanelNameTheLanguageFirstAndSavingNamesTheVersion)
{
	FillHeader("", "", "");
	SetEditedText("ab");
	Dispatch(kMsgSaveFilePanel);
	ASSERT_EQ(Alerts().size(), 1u);
	EXPECT_EQ(Alerts()[0].text,
	          "ERROR: There is no language name defined! Please set a language name.");
	EXPECT_EQ(Alerts()[0].type, B_INFO_ALERT);
	EXPECT_TRUE(HasFocus("txtctrl_language"));
	EXPECT_EQ(CountPanels(B_SAVE_PANEL), 0);

	ClearAlerts();
	SaveAs(mFolder.Path(), "x.locale");
	ASSERT_EQ(Alerts().size(), 1u);
	EXPECT_EQ(Alerts()[0].text, "ERROR: There is no version defined at the version input field!");
	EXPECT_FALSE(std::filesystem::exists(mFolder / "x.locale"));
}

TEST_F(FileCommandsTest, ChecksGoLanguageVersionIdThenText)
{
	struct
	{
		const char* language;
		const char* version;
		const char* appID;
		const char* text;
		const char* alert;
	} cases[] = {
	    {"de", "", "", "", "ERROR: There is no version defined at the version input field!"},
	    {"de", "1", "", "", "ERROR: There is no application id defined!"},
	    {"de", "1", "id", "x", "ERROR: There is no text to save!"},
	};
	for (const auto& c : cases) {
		ClearAlerts();
		FillHeader(c.language, c.version, c.appID);
		SetEditedText(c.text);
		Dispatch(kMsgSaveFilePanel);
		ASSERT_EQ(Alerts().size(), 1u) << c.alert;
		EXPECT_EQ(Alerts()[0].text.rfind(c.alert, 0), 0u) << Alerts()[0].text;
		EXPECT_EQ(CountPanels(B_SAVE_PANEL), 0);
	}

	// One space is a value; two line feeds are enough text.
	ClearAlerts();
	FillHeader(" ", " ", " ");
	SetEditedText("\n\n");
	Dispatch(kMsgSaveFilePanel);
	EXPECT_TRUE(Alerts().empty());
	EXPECT_EQ(CountPanels(B_SAVE_PANEL), 1);
}

TEST_F(FileCommandsTest, PanelsStartBesideTheApplicationWithoutALoadPath)
{
	FillHeader();
	SetEditedText("Gut\n");
	Dispatch(kMsgSaveFilePanel);
	Dispatch(kMsgSaveFilePanel);
	EXPECT_EQ(CountPanels(B_SAVE_PANEL), 1) << "pressing Save twice shows one panel";
	EXPECT_EQ(FP::panel_folder(LastPanel(B_SAVE_PANEL)), AppFolder());
	Dispatch(kMsgLoadFilePanel);
	EXPECT_EQ(FP::panel_folder(LastPanel(B_OPEN_PANEL)), AppFolder());
}

TEST_F(FileCommandsTest, FirstSaveProposesTheLastFileInItsFolder)
{
	WriteFileBytes(mFolder / "old.locale", "x");
	mPrefs->Set("loadpath", (mFolder / "old.locale").c_str());
	BFilePanel* panel = SavePanelFor("Deutsch", "Gut\n");
	ASSERT_NE(panel, nullptr);
	EXPECT_EQ(FP::panel_folder(panel), mFolder.Path());
	EXPECT_EQ(FP::proposed_name(panel), "old.locale");
}

TEST_F(FileCommandsTest, SavePanelAfterTheOpenPanelStartsWhereThatOneIs)
{
	ScratchFolder other;
	mPrefs->Set("loadpath", (mFolder / "old.locale").c_str());
	Dispatch(kMsgLoadFilePanel);
	BFilePanel* open = LastPanel(B_OPEN_PANEL);
	ASSERT_NE(open, nullptr);
	EXPECT_EQ(FP::panel_folder(open), mFolder.Path());
	open->SetPanelDirectory(other.Path().c_str());
	BFilePanel* save = SavePanelFor("Deutsch", "Gut\n");
	ASSERT_NE(save, nullptr);
	EXPECT_EQ(FP::panel_folder(save), other.Path());
	EXPECT_EQ(FP::proposed_name(save), "");
}

TEST_F(FileCommandsTest, OpenPanelRepliesWithTheLatestRequest)
{
	WriteLocaleFile(mFolder / "de.locale", "Deutsch", {"Gut"});
	Dispatch(kMsgLoadRefPanel);
	Dispatch(kMsgLoadFilePanel);
	EXPECT_EQ(CountPanels(B_OPEN_PANEL), 1);
	ASSERT_EQ(FP::choose_entries(LastPanel(B_OPEN_PANEL), {mFolder / "de.locale"}), B_OK);
	ASSERT_TRUE(WaitFor([&] { return mWindow->CountHandled(kMsgLoadFile) == 1; }));
	EXPECT_EQ(mWindow->CountHandled(kMsgLoadRefFile), 0);
}

TEST_F(FileCommandsTest, LocaleFileLoadsAsAReferenceAndIsRemembered)
{
	WriteLocaleFile(mFolder / "en.locale", "English", {"Ok", "Cancel"});
	SetEditedText("Gut\n");
	Open(kMsgLoadRefFile, mFolder / "en.locale");
	EXPECT_EQ(ControlText("txtctrl_reference"), "English");
	EXPECT_EQ(ControlText("txtctrl_appid"), "some app");
	EXPECT_EQ(Text(), "; #ID1:\n; Ok\nGut\n; #ID2:\n; Cancel\n\n");
	EXPECT_EQ(Pref("loadpath"), mFolder / "en.locale");
}

TEST_F(FileCommandsTest, SaveNameWithAFolderPartIsRefused)
{
	FillHeader();
	SetEditedText("Gut\n");
	std::filesystem::create_directory(mFolder / "sub");
	SaveAs(mFolder.Path(), "sub/de.locale");
	EXPECT_FALSE(std::filesystem::exists(mFolder / "sub/de.locale"));
	ASSERT_EQ(Alerts().size(), 1u);
	EXPECT_EQ(Alerts()[0].title, "Locale");
}

TEST_F(FileCommandsTest, FileSaveWritesIntoAnOpenFile)
{
	FillHeader("Suomi");
	SetEditedText("Hyvä\n; note\n");
	const std::string path = mFolder / "fi.locale";
	{
		BFile file(path.c_str(), B_WRITE_ONLY | B_CREATE_FILE | B_ERASE_FILE);
		ASSERT_EQ(file.InitCheck(), B_OK);
		ASSERT_TRUE(mWindow->Lock());
		mWindow->FileSave(&file);
		mWindow->Unlock();
	}
	BMessage locale;
	ASSERT_EQ(LocaleFile::Read(path.c_str(), &locale), B_OK);
	EXPECT_EQ(Field(locale, "zt:language"), "Suomi");
	EXPECT_EQ(Texts(locale), std::vector<std::string>{"Hyvä"});
	char attr[16];
	EXPECT_EQ(getxattr(path.c_str(), "user.zt:language", attr, sizeof(attr)), 5);
}
