// File > Save and what hangs on it: saving to the current file without a
// panel, the title's unsaved mark, the status text, the judgement of unsaved
// work by what a save would write, the Save/Discard/Cancel question and the
// recent files.

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include <Alert.h>
#include <AppDefs.h>
#include <FilePanel.h>
#include <FilePanelTesting.h>
#include <Menu.h>
#include <MenuBar.h>
#include <MenuItem.h>
#include <Message.h>
#include <Messenger.h>

#include "EditorAlerts.h"
#include "EditorMessages.h"
#include "FileCommandsTestSupport.h"
#include "LocaleFile.h"

namespace {

const std::vector<std::string> kQuestionButtons = {"Cancel", "Discard", "Save"};
const int32 kCancel = EditorAlerts::kUnsavedCancel;
const int32 kDiscard = EditorAlerts::kUnsavedDiscard;
const int32 kSave = EditorAlerts::kUnsavedSave;

} // namespace

class SavingTest : public FileCommandsTest
{
protected:
	// A saved file of three entries under their markers, loaded into the
	// window, which is then clean.
	std::string LoadSavedFile(const char* name = "de.locale")
	{
		const std::string path = mFolder / name;
		WriteLocaleFile(path, "Deutsch", {"Gut", "Abbrechen"});
		SetEditedText("; #ID1:\n; Ok\n\n; #ID2:\n; Cancel\n\n");
		Open(kMsgLoadFile, path);
		return path;
	}

	bool Unsaved()
	{
		if (!mWindow->Lock())
			return false;
		bool unsaved = mWindow->HasUnsavedChanges();
		mWindow->Unlock();
		return unsaved;
	}

	std::vector<std::string> SavedTexts(const std::string& path)
	{
		BMessage locale;
		EXPECT_EQ(LocaleFile::Read(path.c_str(), &locale), B_OK);
		return Texts(locale);
	}

	BMenu* RecentMenu()
	{
		BMenuBar* bar = dynamic_cast<BMenuBar*>(View("MB"));
		BMenu* file = bar != nullptr ? bar->SubmenuAt(0) : nullptr;
		BMenuItem* recent = file != nullptr ? file->FindItem("Open Recent") : nullptr;
		return recent != nullptr ? recent->Submenu() : nullptr;
	}
};

TEST_F(SavingTest, SaveWritesToTheLoadedFileWithoutAPanelAndSaysSo)
{
	const std::string path = LoadSavedFile();
	EXPECT_EQ(Title(), "de.locale");
	SetEditedText("; #ID1:\n; Ok\nPrima\n; #ID2:\n; Cancel\nAbbrechen\n");
	EXPECT_TRUE(WaitFor([&] { return Title() == "de.locale *"; })) << Title();

	Dispatch(kMsgSaveCurrentFile);
	EXPECT_EQ(LastPanel(B_SAVE_PANEL), nullptr) << "Save asks no name for a known file";
	EXPECT_EQ(SavedTexts(path), (std::vector<std::string>{"Prima", "Abbrechen"}));
	EXPECT_EQ(mWindow->StatusText(), "Saved " + path);
	EXPECT_EQ(Title(), "de.locale");
	EXPECT_EQ(Pref("filesavepath"), path);
	EXPECT_TRUE(Alerts().empty());
}

// Save says what it came to, so that nothing goes on after a save that
// only opened the panel, asked, or did not write.
TEST_F(SavingTest, SaveSaysWhetherItSavedOpenedThePanelAskedWasRefusedOrFailed)
{
	const std::string changed = "; #ID1:\n; Ok\nPrima\n; #ID2:\n; Cancel\nAbbrechen\n";
	struct Case
	{
		const char* what;
		std::function<void()> before;
		ZTLEWindow::SaveOutcome outcome;
		size_t alerts;
	} cases[] = {
	    {"an untitled text",
	     [&] {
		     FillHeader();
		     SetEditedText("Gut\n");
	     },
	     ZTLEWindow::kSavePanelOpened, 0},
	    {"an untitled text without a language",
	     [&] {
		     FillHeader("");
		     SetEditedText("Gut\n");
	     },
	     ZTLEWindow::kSaveRefused, 1},
	    {"a loaded file",
	     [&] {
		     LoadSavedFile("saved.locale");
		     SetEditedText(changed);
	     },
	     ZTLEWindow::kSaved, 0},
	    {"two lines for one entry",
	     [&] {
		     LoadSavedFile("two.locale");
		     SetEditedText("; #ID1:\n; Ok\nA\nB\n; #ID2:\n; Cancel\nC\n");
	     },
	     ZTLEWindow::kSaveRefused, 1},
	    {"a file another program changed",
	     [&] {
		     const std::string path = LoadSavedFile("theirs.locale");
		     SetEditedText(changed);
		     WriteLocaleFile(path, "Deutsch", {"Fremd"});
	     },
	     ZTLEWindow::kSaveAsked, 1},
	    {"a file whose folder is gone",
	     [&] {
		     std::filesystem::create_directory(mFolder / "gone");
		     LoadSavedFile("gone/de.locale");
		     SetEditedText(changed);
		     std::filesystem::remove_all(mFolder / "gone");
	     },
	     ZTLEWindow::kSaveFailed, 1},
	};
	for (const Case& test : cases) {
		SCOPED_TRACE(test.what);
		AnswerAlertsWith(kDiscard);
		Dispatch(kMsgNewFile);
		test.before();
		ClearAlerts();
		AnswerAlertsWith(0);
		ASSERT_TRUE(mWindow->Lock());
		const ZTLEWindow::SaveOutcome outcome = mWindow->Save();
		mWindow->Unlock();
		EXPECT_EQ(outcome, test.outcome);
		EXPECT_EQ(Alerts().size(), test.alerts);
		EXPECT_EQ(Unsaved(), outcome != ZTLEWindow::kSaved);
		if (BFilePanel* panel = LastPanel(B_SAVE_PANEL))
			FP::cancel_panel(panel);
	}
}

TEST_F(SavingTest, TheUnsavedMarkFollowsTheTextBackToWhatWasSaved)
{
	LoadSavedFile();
	const std::string saved = Text();
	SetEditedText("; #ID1:\n; Ok\nGut!\n; #ID2:\n; Cancel\nAbbrechen\n");
	EXPECT_TRUE(WaitFor([&] { return Title() == "de.locale *"; })) << Title();
	// Typing goes on while the mark shows; back at the saved entries, the
	// mark goes once the text rests.
	SetEditedText("; #ID1:\n; Ok\nGut?\n; #ID2:\n; Cancel\nAbbrechen\n");
	SetEditedText(saved);
	EXPECT_TRUE(WaitFor([&] { return Title() == "de.locale"; })) << Title();
	EXPECT_FALSE(Unsaved());
}

TEST_F(SavingTest, AHeaderEditMarksTheTitleAtOnceAndTheOldValueClearsIt)
{
	LoadSavedFile();
	ASSERT_EQ(Title(), "de.locale");
	for (const char* name : {"txtctrl_version", "txtctrl_appid", "txtctrl_language"}) {
		SCOPED_TRACE(name);
		const std::string old = ControlText(name);
		ASSERT_TRUE(mWindow->Lock());
		SetControlText(name, (old + "2").c_str());
		mWindow->Unlock();
		// Once the window has taken what the edit posted, without waiting
		// for the status timer.
		Settle();
		EXPECT_EQ(Title(), "de.locale *");
		EXPECT_TRUE(Unsaved());
		ASSERT_TRUE(mWindow->Lock());
		SetControlText(name, old.c_str());
		mWindow->Unlock();
		Settle();
		EXPECT_EQ(Title(), "de.locale");
	}
	// A header edit and its undoing right after a change of the text: the
	// mark stays for the text.
	SetEditedText("; #ID1:\n; Ok\nPrima\n; #ID2:\n; Cancel\n\n");
	ASSERT_TRUE(mWindow->Lock());
	SetControlText("txtctrl_version", "09.09");
	SetControlText("txtctrl_version", "02.00");
	mWindow->Unlock();
	Settle();
	EXPECT_EQ(Title(), "de.locale *");
}

TEST_F(SavingTest, SaveWithoutAFileOpensThePanelAndSaveAsAlwaysDoes)
{
	BFilePanel* panel = SavePanelFor("Deutsch", "Gut\n", kMsgSaveCurrentFile);
	ASSERT_NE(panel, nullptr);
	EXPECT_EQ(FP::proposed_name(panel), "Deutsch.locale");
	ASSERT_EQ(FP::choose_save_name(panel, "mine.locale", mFolder.Path()), B_OK);
	ASSERT_TRUE(WaitFor([&] { return mWindow->CountHandled(kMsgSaveFile) == 1; }));
	Settle();
	EXPECT_EQ(mWindow->CurrentFile(), mFolder / "mine.locale");
	EXPECT_EQ(Title(), "mine.locale");

	// Save As asks again, starting from the current file's name.
	Dispatch(kMsgSaveFilePanel);
	EXPECT_EQ(CountPanels(B_SAVE_PANEL), 1);
	EXPECT_EQ(FP::proposed_name(LastPanel(B_SAVE_PANEL)), "mine.locale");
	EXPECT_EQ(FP::cancel_panel(LastPanel(B_SAVE_PANEL)), B_OK);
}

TEST_F(SavingTest, SaveToTheCurrentFileKeepsTheChecksAndAFailureKeepsTheFile)
{
	const std::string path = LoadSavedFile();
	const std::string before = ReadFileBytes(path);
	ASSERT_TRUE(mWindow->Lock());
	SetControlText("txtctrl_version", "");
	mWindow->Unlock();
	Dispatch(kMsgSaveCurrentFile);
	ASSERT_EQ(Alerts().size(), 1u);
	EXPECT_EQ(Alerts()[0].text, "ERROR: There is no version defined at the version input field!");
	EXPECT_EQ(ReadFileBytes(path), before);
	EXPECT_TRUE(Unsaved());
	EXPECT_EQ(mWindow->StatusText(), "");
}

TEST_F(SavingTest, UnsavedWorkIsWhatASaveWouldWriteNotTheText)
{
	LoadSavedFile();
	EXPECT_FALSE(Unsaved());

	// Comments and blank lines are not saved.
	SetEditedText("; #ID1:\n; Ok, said politely\nGut\n\n; #ID2:\n; Cancel\nAbbrechen\n");
	EXPECT_FALSE(Unsaved());

	// A reference loaded into the saved text adds only comments.
	WriteLocaleFile(mFolder / "en.locale", "English", {"Ok", "Cancel"});
	Open(kMsgLoadRefFile, mFolder / "en.locale");
	EXPECT_EQ(ControlText("txtctrl_reference"), "English");
	EXPECT_FALSE(Unsaved()) << Text();
	EXPECT_EQ(Title(), "de.locale");

	// An entry, and a header field, are.
	SetEditedText("; #ID1:\n; Ok\nGut\n; #ID2:\n; Cancel\nNein\n");
	EXPECT_TRUE(Unsaved());
	SetEditedText("; #ID1:\n; Ok\nGut\n; #ID2:\n; Cancel\nAbbrechen\n");
	EXPECT_FALSE(Unsaved());
	FillHeader("Deutsch", "02.00", "other app");
	EXPECT_TRUE(Unsaved());
}

TEST_F(SavingTest, TheQuestionOffersSaveDiscardCancelWithEnterSavingAndEscapeCancelling)
{
	LoadSavedFile();
	SetEditedText("; #ID1:\n; Ok\nPrima\n");
	AnswerAlertsWith(kCancel);
	Dispatch(kMsgNewFile);
	ASSERT_EQ(Alerts().size(), 1u);
	EXPECT_EQ(Alerts()[0].text, "The locale text has unsaved changes. Save them first?");
	EXPECT_EQ(Alerts()[0].buttons, kQuestionButtons);
	// Enter presses the last button; Escape and the close box press Cancel.
	EXPECT_EQ(Alerts()[0].buttons.back(), "Save");
	EXPECT_EQ(Alerts()[0].escapeButton, kCancel);
	EXPECT_EQ(Text(), "; #ID1:\n; Ok\nPrima\n") << "Cancel keeps the text";

	ClearAlerts();
	AnswerAlertsWith(kDiscard);
	Dispatch(kMsgNewFile);
	EXPECT_EQ(Alerts().size(), 1u);
	EXPECT_EQ(Text(), "");
	EXPECT_EQ(mWindow->CurrentFile(), "");
}

TEST_F(SavingTest, SaveInTheQuestionWritesTheCurrentFileAndGoesOn)
{
	const std::string path = LoadSavedFile();
	SetEditedText("; #ID1:\n; Ok\nPrima\n; #ID2:\n; Cancel\nAbbrechen\n");
	AnswerAlertsWith(kSave);
	Dispatch(kMsgNewFile);
	EXPECT_EQ(SavedTexts(path), (std::vector<std::string>{"Prima", "Abbrechen"}));
	EXPECT_EQ(Text(), "");
}

TEST_F(SavingTest, ASaveThatFailsOrIsRefusedInTheQuestionKeepsTheWindow)
{
	const std::string path = LoadSavedFile();
	SetEditedText("; #ID1:\n; Ok\nPrima\n; #ID1:\n; Ok again\nDoppelt\n");
	AnswerAlertsWith(kSave);
	Dispatch(kMsgNewFile);
	// The question, then the refusal of a text with two lines for entry 1.
	ASSERT_EQ(Alerts().size(), 2u);
	EXPECT_NE(Alerts()[1].text.find("Entry #1"), std::string::npos) << Alerts()[1].text;
	EXPECT_NE(Text(), "");
	EXPECT_EQ(SavedTexts(path), (std::vector<std::string>{"Gut", "Abbrechen"}));

	// A folder where the file was cannot be written over.
	ClearAlerts();
	SetEditedText("; #ID1:\n; Ok\nPrima\n");
	std::filesystem::remove(path);
	std::filesystem::create_directory(path);
	Dispatch(kMsgNewFile);
	ASSERT_EQ(Alerts().size(), 2u);
	EXPECT_NE(Alerts()[1].text.find(path), std::string::npos) << Alerts()[1].text;
	EXPECT_EQ(Text(), "; #ID1:\n; Ok\nPrima\n");
	EXPECT_TRUE(Unsaved());
}

TEST_F(SavingTest, SaveInTheQuestionWithoutAFileGoesOnOnlyOnceThePanelSaved)
{
	FillHeader("Deutsch");
	SetEditedText("Gut\n");
	AnswerAlertsWith(kSave);
	Dispatch(kMsgNewFile);
	EXPECT_EQ(Text(), "Gut\n") << "nothing goes before the file is saved";
	BFilePanel* panel = LastPanel(B_SAVE_PANEL);
	ASSERT_NE(panel, nullptr);

	// Cancelling the panel forgets the New: a later Save As does not empty.
	ASSERT_EQ(FP::cancel_panel(panel), B_OK);
	Settle();
	SaveAs(mFolder.Path(), "first.locale");
	Settle();
	EXPECT_EQ(Text(), "Gut\n");

	SetEditedText("Besser\n");
	ClearAlerts();
	Dispatch(kMsgNewFile);
	// Now a current file exists: Save writes it without a panel and goes on.
	EXPECT_EQ(SavedTexts(mFolder / "first.locale"), std::vector<std::string>{"Besser"});
	EXPECT_EQ(Text(), "");

	SetEditedText("Dritte\n");
	FillHeader("Deutsch");
	Dispatch(kMsgNewFile);
	panel = LastPanel(B_SAVE_PANEL);
	ASSERT_NE(panel, nullptr);
	ASSERT_EQ(FP::choose_save_name(panel, "second.locale", mFolder.Path()), B_OK);
	EXPECT_TRUE(WaitFor([&] { return Text().empty(); })) << Text();
	EXPECT_EQ(SavedTexts(mFolder / "second.locale"), std::vector<std::string>{"Dritte"});
}

TEST_F(SavingTest, OpenRecentListsTheLastFilesNewestFirstAndOpensThem)
{
	WriteLocaleFile(mFolder / "a.locale", "Deutsch", {"A"});
	WriteLocaleFile(mFolder / "b.locale", "Deutsch", {"B"});
	Open(kMsgLoadFile, mFolder / "a.locale");
	Open(kMsgLoadFile, mFolder / "b.locale");
	Open(kMsgLoadFile, mFolder / "a.locale");

	ASSERT_TRUE(mWindow->Lock());
	BMenu* recent = RecentMenu();
	ASSERT_NE(recent, nullptr);
	ASSERT_EQ(recent->CountItems(), 2);
	EXPECT_STREQ(recent->ItemAt(0)->Label(), (mFolder / "a.locale").c_str());
	EXPECT_STREQ(recent->ItemAt(1)->Label(), (mFolder / "b.locale").c_str());
	BMessage stored = mPrefs->GetMessageData("recentfiles");
	EXPECT_STREQ(stored.GetString("path", 0, ""), (mFolder / "a.locale").c_str());
	BMessage chosen(*recent->ItemAt(1)->Message());
	mWindow->Unlock();

	SetEditedText("");
	Dispatch(chosen);
	EXPECT_EQ(Text(), "; #ID1:\nB\n");
	EXPECT_EQ(mWindow->CurrentFile(), mFolder / "b.locale");
}

TEST_F(SavingTest, FileMenuCarriesTheOpenAndSaveShortcuts)
{
	struct Expected
	{
		uint32 what;
		char key;
		uint32 modifiers;
	};
	const Expected expected[] = {
	    {kMsgLoadFilePanel, 'O', B_COMMAND_KEY},
	    {kMsgLoadRefPanel, 'O', B_COMMAND_KEY | B_SHIFT_KEY},
	    {kMsgSaveCurrentFile, 'S', B_COMMAND_KEY},
	    {kMsgSaveFilePanel, 'S', B_COMMAND_KEY | B_SHIFT_KEY},
	};
	ASSERT_TRUE(mWindow->Lock());
	BMenuBar* bar = dynamic_cast<BMenuBar*>(View("MB"));
	BMenu* file = bar != nullptr ? bar->SubmenuAt(0) : nullptr;
	ASSERT_NE(file, nullptr);
	for (const Expected& each : expected) {
		BMenuItem* found = nullptr;
		for (int32 i = 0; i < file->CountItems(); i++) {
			BMenuItem* item = file->ItemAt(i);
			if (item->Message() != nullptr && item->Message()->what == each.what)
				found = item;
		}
		ASSERT_NE(found, nullptr) << each.what;
		uint32 modifiers = 0;
		EXPECT_EQ(found->Shortcut(&modifiers), each.key) << found->Label();
		EXPECT_EQ(modifiers, each.modifiers) << found->Label();
	}
	mWindow->Unlock();
}

TEST_F(SavingTest, QuitWithSaveThroughThePanelQuitsOnlyOnceTheFileIsSaved)
{
	FillHeader("Deutsch");
	SetEditedText("Gut\n");
	AnswerAlertsWith(kSave);
	const int32 quitsBefore = ApplicationQuitRequests();
	BMessenger window(nullptr, mWindow);
	BMessage quit(B_QUIT_REQUESTED);
	ASSERT_EQ(mWindow->PostMessage(&quit), B_OK);
	Settle();
	EXPECT_TRUE(window.IsValid()) << "the window waits for the panel";
	EXPECT_EQ(ApplicationQuitRequests(), quitsBefore);

	BFilePanel* panel = LastPanel(B_SAVE_PANEL);
	ASSERT_NE(panel, nullptr);
	ASSERT_EQ(FP::choose_save_name(panel, "de.locale", mFolder.Path()), B_OK);
	// Once saved, the window is asked again: it closes and ends the program.
	ASSERT_TRUE(WaitFor([&] { return !window.IsValid(); }));
	mWindow = nullptr;
	// The application hears of it on its own thread, maybe after the
	// window has gone.
	EXPECT_TRUE(WaitFor([&] { return ApplicationQuitRequests() == quitsBefore + 1; }));
	EXPECT_EQ(ApplicationQuitRequests(), quitsBefore + 1);
	EXPECT_EQ(SavedTexts(mFolder / "de.locale"), std::vector<std::string>{"Gut"});
}
