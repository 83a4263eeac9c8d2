#include <gtest/gtest.h>

#include <QApplication>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>
#include <vector>

#include "Entry.h"
#include "FilePanel.h"
#include "FilePanelTesting.h"
#include "Looper.h"
#include "Message.h"
#include "MessageRecorder.h"
#include "Path.h"
#include "ScratchFolder.h"
#include "Wait.h"

namespace fs = std::filesystem;
namespace panels = BPrivate::FilePanelTesting;

namespace {

const auto kWatchdog = std::chrono::seconds(5);

class QtEnvironment : public ::testing::Environment
{
public:
	void SetUp() override
	{
		static int argc = 1;
		static char name[] = "test_tracker";
		static char* argv[] = {name, nullptr};
		mApp = new QApplication(argc, argv);
	}
	void TearDown() override
	{
		delete mApp;
		mApp = nullptr;
	}

private:
	QApplication* mApp = nullptr;
};

const ::testing::Environment* const kQt = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

// Keeps Qt going on this (the main) thread until done() holds or the
// watchdog fires.
bool SpinUntil(const std::function<bool()>& done,
               std::chrono::milliseconds wait =
                   std::chrono::duration_cast<std::chrono::milliseconds>(kWatchdog))
{
	return WaitFor(done, wait);
}

std::string RefPath(const BMessage& message, const char* field, int32 index = 0)
{
	entry_ref ref;
	if (message.FindRef(field, index, &ref) != B_OK)
		return "<none>";
	return BPath(&ref).Path();
}

class FilePanelTest : public ::testing::Test
{
protected:
	void SetUp() override
	{
		mRecorder = new MessageRecorder("panel replies");
		mRecorder->Run();
		mTarget = BMessenger(mRecorder);
		std::ofstream(mTemp / "de.locale") << "x";
		std::ofstream(mTemp / "fr.locale") << "x";
		fs::create_directory(mTemp / "other");
		std::ofstream(mTemp / "other/da.locale") << "x";
	}
	void TearDown() override
	{
		if (mRecorder->Lock())
			mRecorder->Quit();
	}

	entry_ref FolderRef(const std::string& path)
	{
		entry_ref ref;
		EXPECT_EQ(get_ref_for_path(path.c_str(), &ref), B_OK);
		return ref;
	}

	ScratchFolder mTemp;
	MessageRecorder* mRecorder = nullptr;
	BMessenger mTarget;
};

} // namespace

TEST_F(FilePanelTest, OpenPanelRepliesWithRefsInACopyOfItsMessage)
{
	entry_ref start = FolderRef(mTemp.Path());
	BFilePanel panel(B_OPEN_PANEL, &mTarget, &start);
	BMessage request('lfil');
	request.AddString("kept", "yes");
	panel.SetMessage(&request);
	request.what = 'xxxx'; // the panel has its own copy

	panel.Show();
	ASSERT_TRUE(SpinUntil([&] { return panel.IsShowing(); }));
	ASSERT_EQ(panels::panels_on_screen(), std::vector<BFilePanel*>{&panel});
	EXPECT_EQ(panels::panel_folder(&panel), mTemp.Path());

	ASSERT_EQ(panels::choose_entries(&panel, {"de.locale", "fr.locale"}), B_OK);
	BMessage reply;
	ASSERT_TRUE(mRecorder->TakeNext(&reply, kWatchdog));
	EXPECT_EQ(reply.what, (uint32)'lfil');
	EXPECT_STREQ(reply.GetString("kept", ""), "yes");
	EXPECT_EQ(RefPath(reply, "refs", 0), mTemp / "de.locale");
	EXPECT_EQ(RefPath(reply, "refs", 1), mTemp / "fr.locale");
	EXPECT_FALSE(panel.IsShowing());
	EXPECT_TRUE(panels::panels_on_screen().empty());
}

TEST_F(FilePanelTest, TheLatestMessageDecidesTheReplyCode)
{
	BFilePanel panel(B_OPEN_PANEL, &mTarget);
	panel.SetPanelDirectory(mTemp.Path().c_str());
	BMessage reference('lref');
	panel.SetMessage(&reference);
	panel.Show();
	BMessage locale('lfil');
	panel.SetMessage(&locale);
	ASSERT_EQ(panels::choose_entries(&panel, {mTemp / "fr.locale"}), B_OK);
	BMessage reply;
	ASSERT_TRUE(mRecorder->TakeNext(&reply, kWatchdog));
	EXPECT_EQ(reply.what, (uint32)'lfil');
}

TEST_F(FilePanelTest, SavePanelRepliesWithFolderAndName)
{
	BFilePanel panel(B_SAVE_PANEL, &mTarget);
	BMessage save('sfil');
	panel.SetMessage(&save);
	panel.SetPanelDirectory((mTemp / "other").c_str());
	panel.SetSaveText("da.locale");
	panel.Show();
	ASSERT_TRUE(SpinUntil([&] { return panel.IsShowing(); }));
	EXPECT_EQ(panels::panel_folder(&panel), mTemp / "other");
	EXPECT_EQ(panels::proposed_name(&panel), "da.locale");

	// An existing file: the replace question is answered yes.
	ASSERT_EQ(panels::choose_save_name(&panel, "da.locale"), B_OK);
	BMessage reply;
	ASSERT_TRUE(mRecorder->TakeNext(&reply, kWatchdog));
	EXPECT_EQ(reply.what, (uint32)'sfil');
	EXPECT_EQ(RefPath(reply, "directory"), mTemp / "other");
	EXPECT_STREQ(reply.GetString("name", ""), "da.locale");

	// Reused, in the folder the user left it, with a new name typed.
	panel.Show();
	ASSERT_EQ(panels::choose_save_name(&panel, "new.locale", mTemp.Path()), B_OK);
	ASSERT_TRUE(mRecorder->TakeNext(&reply, kWatchdog));
	EXPECT_EQ(RefPath(reply, "directory"), mTemp.Path());
	EXPECT_STREQ(reply.GetString("name", ""), "new.locale");
	entry_ref where;
	panel.GetPanelDirectory(&where);
	EXPECT_EQ(std::string(BPath(&where).Path()), mTemp.Path());
}

TEST_F(FilePanelTest, SavingOverAFileIsAskedFirst)
{
	BFilePanel panel(B_SAVE_PANEL, &mTarget);
	panel.SetPanelDirectory(mTemp.Path().c_str());
	panel.Show();
	ASSERT_EQ(panels::choose_save_name(&panel, "de.locale", "", false), B_OK);
	// Declined: nothing is sent and the panel waits for another name.
	EXPECT_TRUE(panel.IsShowing());
	EXPECT_FALSE(SpinUntil([&] { return mRecorder->Count() > 0; }, std::chrono::milliseconds(300)));
	ASSERT_EQ(panels::choose_save_name(&panel, "de.locale", "", true), B_OK);
	BMessage reply;
	ASSERT_TRUE(mRecorder->TakeNext(&reply, kWatchdog));
	EXPECT_STREQ(reply.GetString("name", ""), "de.locale");
}

TEST_F(FilePanelTest, DefaultMessagesAndCancel)
{
	BFilePanel open(B_OPEN_PANEL, &mTarget);
	open.SetPanelDirectory(mTemp.Path().c_str());
	open.Show();
	ASSERT_EQ(panels::cancel_panel(&open), B_OK);
	BMessage reply;
	ASSERT_TRUE(mRecorder->TakeNext(&reply, kWatchdog));
	EXPECT_EQ(reply.what, (uint32)B_CANCEL);
	EXPECT_EQ(reply.GetInt32("old_what", 0), (int32)B_REFS_RECEIVED);
	EXPECT_FALSE(open.IsShowing());

	open.Show();
	ASSERT_EQ(panels::choose_entries(&open, {"de.locale"}), B_OK);
	ASSERT_TRUE(mRecorder->TakeNext(&reply, kWatchdog));
	EXPECT_EQ(reply.what, (uint32)B_REFS_RECEIVED);

	BFilePanel save(B_SAVE_PANEL, &mTarget);
	save.SetPanelDirectory(mTemp.Path().c_str());
	save.Show();
	ASSERT_EQ(panels::choose_save_name(&save, "x.locale"), B_OK);
	ASSERT_TRUE(mRecorder->TakeNext(&reply, kWatchdog));
	EXPECT_EQ(reply.what, (uint32)B_SAVE_REQUESTED);
}

TEST_F(FilePanelTest, ChoosingElsewhereMovesThePanelThere)
{
	BFilePanel panel(B_OPEN_PANEL, &mTarget);
	panel.SetPanelDirectory(mTemp.Path().c_str());
	panel.Show();
	ASSERT_EQ(panels::choose_entries(&panel, {mTemp / "other/da.locale"}), B_OK);
	BMessage reply;
	ASSERT_TRUE(mRecorder->TakeNext(&reply, kWatchdog));
	entry_ref where;
	panel.GetPanelDirectory(&where);
	EXPECT_EQ(std::string(BPath(&where).Path()), mTemp / "other");
}

TEST_F(FilePanelTest, AMissingFolderGivesItsNearestExistingParent)
{
	BFilePanel panel(B_OPEN_PANEL, &mTarget);
	entry_ref where;
	panel.SetPanelDirectory((mTemp / "other").c_str());
	panel.SetPanelDirectory((const char*)nullptr);
	panel.GetPanelDirectory(&where);
	EXPECT_EQ(std::string(BPath(&where).Path()), mTemp / "other");

	// A remembered file whose folder was removed meanwhile.
	panel.SetPanelDirectory((mTemp / "gone/deeper/de.locale").c_str());
	panel.GetPanelDirectory(&where);
	EXPECT_EQ(std::string(BPath(&where).Path()), mTemp.Path());
	panel.SetPanelDirectory((mTemp / "other/da.locale").c_str());
	panel.GetPanelDirectory(&where);
	EXPECT_EQ(std::string(BPath(&where).Path()), mTemp / "other");
	panel.Show();
	ASSERT_TRUE(SpinUntil([&] { return panel.IsShowing(); }));
	EXPECT_EQ(panels::panel_folder(&panel), mTemp / "other");
}

TEST_F(FilePanelTest, ShowingTwiceShowsOnePanel)
{
	BFilePanel panel(B_SAVE_PANEL, &mTarget);
	panel.Show();
	panel.Show();
	ASSERT_TRUE(SpinUntil([&] { return panel.IsShowing(); }));
	EXPECT_EQ(panels::panels_on_screen().size(), 1u);
	panel.Hide();
	EXPECT_FALSE(panel.IsShowing());
	EXPECT_TRUE(panels::panels_on_screen().empty());
	EXPECT_EQ(mRecorder->Count(), 0u);
}

TEST_F(FilePanelTest, SeamRefusesWhatAUserCouldNotDo)
{
	BFilePanel single(B_OPEN_PANEL, &mTarget, nullptr, 0, false);
	single.SetPanelDirectory(mTemp.Path().c_str());
	EXPECT_EQ(panels::choose_entries(&single, {"de.locale"}), B_BAD_VALUE); // not shown
	single.Show();
	EXPECT_EQ(panels::choose_entries(&single, {"de.locale", "fr.locale"}), B_BAD_VALUE);
	EXPECT_EQ(panels::choose_entries(&single, {"missing.locale"}), B_BAD_VALUE);
	EXPECT_EQ(panels::choose_save_name(&single, "x"), B_BAD_VALUE);
	ASSERT_EQ(panels::choose_entries(&single, {"fr.locale"}), B_OK);
	BMessage reply;
	ASSERT_TRUE(mRecorder->TakeNext(&reply, kWatchdog));
	EXPECT_EQ(RefPath(reply, "refs"), mTemp / "fr.locale");
	EXPECT_EQ(RefPath(reply, "refs", 1), "<none>");
}

TEST_F(FilePanelTest, PanelsKeptOpenWhenAskedTo)
{
	BFilePanel panel(B_OPEN_PANEL, &mTarget, nullptr, 0, true, nullptr, nullptr, false, false);
	panel.SetPanelDirectory(mTemp.Path().c_str());
	panel.Show();
	ASSERT_EQ(panels::choose_entries(&panel, {"de.locale"}), B_OK);
	BMessage reply;
	ASSERT_TRUE(mRecorder->TakeNext(&reply, kWatchdog));
	EXPECT_TRUE(panel.IsShowing());
}

TEST_F(FilePanelTest, CallsFromAnotherThreadReachTheMainThread)
{
	BFilePanel panel(B_OPEN_PANEL, &mTarget);
	std::thread other([&] {
		panel.SetPanelDirectory((mTemp / "other").c_str());
		panel.Show();
	});
	other.join();
	ASSERT_TRUE(SpinUntil([&] { return panels::panels_on_screen().size() == 1; }));
	EXPECT_EQ(panels::panel_folder(&panel), mTemp / "other");
}

namespace {

class OnlyLocales : public BRefFilter
{
public:
	bool Filter(const entry_ref* ref, BNode*, struct stat*, const char*) override
	{
		calls++;
		std::string name = ref->name;
		return name.size() > 7 && name.compare(name.size() - 7, 7, ".locale") == 0;
	}
	int calls = 0;
};

} // namespace

TEST_F(FilePanelTest, RefFilterIsAskedAboutFiles)
{
	std::ofstream(mTemp / "notes.txt") << "x";
	OnlyLocales filter;
	BFilePanel panel(B_OPEN_PANEL, &mTarget, nullptr, 0, true, nullptr, &filter);
	EXPECT_EQ(panel.RefFilter(), &filter);
	panel.SetPanelDirectory(mTemp.Path().c_str());
	panel.Show();
	// The folder is read in the background; the filter sees its files.
	EXPECT_TRUE(SpinUntil([&] { return filter.calls >= 3; }));
	panel.Hide();
}

TEST_F(FilePanelTest, APanelDeletedBeforeItsQueuedWorkRanIsNeverShown)
{
	std::thread other([&] {
		BFilePanel* panel = new BFilePanel(B_OPEN_PANEL, &mTarget);
		panel->Show();
		delete panel;
	});
	other.join();
	// Let the queued work run; nothing of the deleted panel may appear.
	SpinUntil([] { return false; }, std::chrono::milliseconds(200));
	EXPECT_TRUE(panels::panels_on_screen().empty());
}
