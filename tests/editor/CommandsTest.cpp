// The window's own commands: quitting, the unsaved-work question, New, the
// Autoprefs flag, the edit commands and Help.

#include <QApplication>
#include <QClipboard>

#include <filesystem>
#include <unistd.h>

#include <Alert.h>
#include <AppDefs.h>
#include <Menu.h>
#include <MenuBar.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <Messenger.h>
#include <Roster.h>
#include <TextControl.h>
#include <TextView.h>

#include "EditorMessages.h"
#include "EditorTestSupport.h"

namespace {

const char* const kUnsaved = "The locale text has unsaved changes. Save them first?";

} // namespace

class CommandsTest : public EditorWindowTest
{
protected:
	// Asks the window to quit as its close box does; true when it went.
	bool CloseWindow()
	{
		BMessenger window(nullptr, mWindow);
		BMessage quit(B_QUIT_REQUESTED);
		if (mWindow->PostMessage(&quit) != B_OK)
			return false;
		bool gone = WaitFor([&] { return !window.IsValid(); }, std::chrono::seconds(2));
		if (gone)
			mWindow = nullptr;
		return gone;
	}
};

TEST_F(CommandsTest, QuitWithAutoprefsStoresTheFrameAndQuitsTheApplication)
{
	ASSERT_TRUE(mWindow->Lock());
	mWindow->MoveTo(120, 90);
	mWindow->ResizeTo(500, 400);
	BRect frame = mWindow->Frame();
	mWindow->Unlock();
	int32 quitsBefore = ApplicationQuitRequests();
	ASSERT_TRUE(CloseWindow());
	EXPECT_TRUE(Alerts().empty()) << "nothing was typed, so nothing is asked";
	EXPECT_TRUE(WaitFor([&] { return ApplicationQuitRequests() == quitsBefore + 1; }));

	Preferences saved(PrefsPath().c_str(), "ZTLOCALE");
	ASSERT_EQ(saved.InitCheck(), 0);
	EXPECT_EQ(saved.GetRect("ZT_MAINWINPOS"), frame);
	EXPECT_EQ(saved.GetInt8("ZT_AUTOPREFS", 0), 1);
}

TEST_F(CommandsTest, QuitWithoutAutoprefsWritesNothing)
{
	// Switching the flag off from the menu changes only memory.
	BMessage toggle(kMsgAutoPrefs);
	ASSERT_TRUE(mWindow->Lock());
	BMenuItem* item = nullptr;
	BMenuBar* bar = dynamic_cast<BMenuBar*>(View("MB"));
	BMenu* prefs = bar->SubmenuAt(3);
	for (int32 i = 0; i < prefs->CountItems(); i++) {
		if (prefs->ItemAt(i)->Message() && prefs->ItemAt(i)->Message()->what == kMsgAutoPrefs)
			item = prefs->ItemAt(i);
	}
	mWindow->Unlock();
	ASSERT_NE(item, nullptr);
	toggle.AddPointer("source", item);
	Dispatch(toggle);
	EXPECT_FALSE(item->IsMarked());
	EXPECT_EQ(mPrefs->GetInt8("ZT_AUTOPREFS", 9), 0);
	Dispatch(toggle);
	EXPECT_TRUE(item->IsMarked());
	EXPECT_EQ(mPrefs->GetInt8("ZT_AUTOPREFS", 9), 1);
	Dispatch(toggle);

	ASSERT_TRUE(CloseWindow());
	EXPECT_FALSE(std::filesystem::exists(PrefsPath()));
}

TEST_F(CommandsTest, PreferencesSaveWritesTheStoredFrameNotTheCurrentOne)
{
	ASSERT_TRUE(mWindow->Lock());
	mWindow->MoveTo(300, 200);
	mWindow->Unlock();
	Dispatch(kMsgSavePrefs);
	Preferences saved(PrefsPath().c_str(), "ZTLOCALE");
	EXPECT_EQ(saved.GetRect("ZT_MAINWINPOS"), BRect(50, 50, 500, 400));
}

TEST_F(CommandsTest, UnsavedTextIsNotLostWhenQuitting)
{
	ASSERT_TRUE(mWindow->Lock());
	SetText("Meine Arbeit\n");
	mWindow->Unlock();
	int32 quitsBefore = ApplicationQuitRequests();

	AnswerAlertsWith(EditorAlerts::kUnsavedCancel);
	EXPECT_FALSE(CloseWindow());
	ASSERT_EQ(Alerts().size(), 1u);
	EXPECT_EQ(Alerts()[0].title, "Locale");
	EXPECT_EQ(Alerts()[0].text, kUnsaved);
	EXPECT_EQ(Alerts()[0].buttons, (std::vector<std::string>{"Cancel", "Discard", "Save"}));
	EXPECT_EQ(Text(), "Meine Arbeit\n");
	EXPECT_FALSE(std::filesystem::exists(PrefsPath())) << "a refused quit stores nothing";
	Settle();
	EXPECT_EQ(ApplicationQuitRequests(), quitsBefore);

	AnswerAlertsWith(EditorAlerts::kUnsavedDiscard);
	EXPECT_TRUE(CloseWindow());
	EXPECT_TRUE(WaitFor([&] { return ApplicationQuitRequests() == quitsBefore + 1; }));
}

TEST_F(CommandsTest, ChangedHeaderFieldAlsoCountsAsUnsaved)
{
	ASSERT_TRUE(mWindow->Lock());
	SetControlText("txtctrl_version", "2.0");
	mWindow->Unlock();
	AnswerAlertsWith(0);
	Dispatch(kMsgNewFile);
	ASSERT_EQ(Alerts().size(), 1u);
	EXPECT_EQ(ControlText("txtctrl_version"), "2.0");

	// Undoing the change by hand makes the window clean again.
	ClearAlerts();
	ASSERT_TRUE(mWindow->Lock());
	SetControlText("txtctrl_version", "");
	mWindow->Unlock();
	Dispatch(kMsgNewFile);
	EXPECT_TRUE(Alerts().empty());
}

TEST_F(CommandsTest, NewEmptiesAllFourFieldsAndTheTextAfterAsking)
{
	ASSERT_TRUE(mWindow->Lock());
	for (const char* name :
	     {"txtctrl_reference", "txtctrl_language", "txtctrl_version", "txtctrl_appid"})
		SetControlText(name, "filled");
	SetText("; #ID1:\n; Ok\nGut\n");
	mWindow->Unlock();

	AnswerAlertsWith(0);
	Dispatch(kMsgNewFile);
	EXPECT_EQ(Text(), "; #ID1:\n; Ok\nGut\n");
	EXPECT_EQ(ControlText("txtctrl_reference"), "filled");

	AnswerAlertsWith(1);
	Dispatch(kMsgNewFile);
	EXPECT_EQ(Text(), "");
	for (const char* name :
	     {"txtctrl_reference", "txtctrl_language", "txtctrl_version", "txtctrl_appid"})
		EXPECT_EQ(ControlText(name), "") << name;
	EXPECT_EQ(Alerts().size(), 2u);
}

TEST_F(CommandsTest, EditCommandsGoToTheFocusedField)
{
	ASSERT_TRUE(mWindow->Lock());
	SetControlText("txtctrl_appid", "the id");
	SetText("the text\n");
	BTextControl* appID = Control("txtctrl_appid");
	appID->MakeFocus(true);
	appID->TextView()->SelectAll();
	mWindow->Unlock();
	QApplication::clipboard()->setText("before");
	Dispatch(B_COPY);
	Settle();
	EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "the id");

	ASSERT_TRUE(mWindow->Lock());
	BView* focus = mWindow->CurrentFocus();
	ASSERT_NE(focus, nullptr);
	// Select All through the window selects in the text once it has the focus.
	BTextView* text = TextView();
	ASSERT_NE(text, nullptr);
	text->MakeFocus(true);
	mWindow->Unlock();
	Dispatch(B_SELECT_ALL);
	Settle();
	Dispatch(B_COPY);
	Settle();
	EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "the text\n");
}

TEST_F(CommandsTest, HelpWithoutItsFileNamesTheExpectedPath)
{
	std::filesystem::remove_all(AppFolder() + "/Documentation");
	Dispatch(kMsgShowHelp);
	ASSERT_EQ(Alerts().size(), 1u);
	EXPECT_EQ(Alerts()[0].title, "Backup");
	EXPECT_EQ(Alerts()[0].text, "Can't load help file '" + AppFolder() +
	                                "/Documentation/KorvaneLocale-UserGuide-English.html'!");
	EXPECT_EQ(Alerts()[0].buttons, std::vector<std::string>{"Continue"});
	EXPECT_EQ(Alerts()[0].type, B_WARNING_ALERT);
}

TEST_F(CommandsTest, HelpThatCannotBeOpenedNamesTheGuide)
{
	// The guide is there, but nothing opens it (no browser, say).
	const std::string guide = AppFolder() + "/Documentation/KorvaneLocale-UserGuide-English.html";
	std::filesystem::create_directories(AppFolder() + "/Documentation");
	WriteFileBytes(guide, "<html></html>");
	BPrivate::set_document_opener(
	    [](const char*) { return (status_t)B_LAUNCH_FAILED_NO_PREFERRED_APP; });
	Dispatch(kMsgShowHelp);
	BPrivate::set_document_opener(nullptr);
	ASSERT_EQ(Alerts().size(), 1u);
	EXPECT_EQ(Alerts()[0].text, "Can't load help file '" + guide + "'!");
}

TEST_F(CommandsTest, RosterNoticesRefreshThePopUpOnlyForLocaleApplications)
{
	// Only the notices below: other test programs on the same bus start
	// and stop applications meanwhile, and their real notices would
	// rebuild the pop-up at any moment.
	ASSERT_EQ(be_roster->StopWatching(BMessenger(nullptr, mWindow)), B_OK);
	ASSERT_TRUE(mWindow->WaitUntilIdle(std::chrono::seconds(5)));
	ASSERT_TRUE(mWindow->Lock());
	BMenuField* field = dynamic_cast<BMenuField*>(View("mnu_refget"));
	ASSERT_NE(field, nullptr);
	BMenu* menu = field->Menu();
	ASSERT_NE(menu, nullptr);
	// The editor itself always answers the locale suite.
	ASSERT_GE(menu->CountItems(), 1);
	while (BMenuItem* item = menu->RemoveItem((int32)0))
		delete item;
	mWindow->Unlock();

	// A team that is not running speaks no suite: nothing changes.
	BMessage launched(B_SOME_APP_LAUNCHED);
	launched.AddInt32("be:team", 999999);
	Dispatch(launched);
	SettleSurvey();
	ASSERT_TRUE(mWindow->Lock());
	EXPECT_EQ(menu->CountItems(), 0);
	mWindow->Unlock();

	BMessage ownLaunch(B_SOME_APP_LAUNCHED);
	ownLaunch.AddInt32("be:team", (int32)getpid());
	Dispatch(ownLaunch);
	SettleSurvey();
	ASSERT_TRUE(mWindow->Lock());
	EXPECT_GE(menu->CountItems(), 1);
	while (BMenuItem* item = menu->RemoveItem((int32)0))
		delete item;
	mWindow->Unlock();

	// Any quit notice rebuilds.
	Dispatch(B_SOME_APP_QUIT);
	SettleSurvey();
	ASSERT_TRUE(mWindow->Lock());
	EXPECT_GE(menu->CountItems(), 1);
	mWindow->Unlock();
}
