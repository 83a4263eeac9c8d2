// Start-up in an application folder of its own: the built editor, copied
// into a fresh folder and run as its own process.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <AppDefs.h>
#include <Message.h>
#include <Rect.h>

#include "LocaleFile.h"
#include "Preferences.h"
#include "ShellTestSupport.h"

namespace {

using namespace std::chrono_literals;

// Starts the editor, waits until it answers, and quits it as the desktop
// would; false when any step fails.
bool RunOnce(const TempAppFolder& folder)
{
	EditorProcess editor(folder.Executable());
	if (!editor.WaitUntilAnswering(15s))
		return false;
	return editor.Terminate(15s) == 0;
}

void WritePrefs(const TempAppFolder& folder, BRect frame, int8 autoPrefs)
{
	Preferences prefs(folder.File("LocaleEditor.prefs").c_str(), "ZTLOCALE");
	prefs.Set("ZT_MAINWINPOS", frame);
	prefs.Set("ZT_AUTOPREFS", autoPrefs);
	ASSERT_EQ(prefs.Save(), 0);
}

bool SameRect(BRect a, BRect b)
{
	return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

} // namespace

TEST(StartUp, FirstStartCreatesTheLocaleFolderAndSavesDefaultsOnQuit)
{
	TempAppFolder folder;
	ASSERT_FALSE(std::filesystem::exists(folder.File("locale")));
	ASSERT_TRUE(RunOnce(folder));

	EXPECT_TRUE(std::filesystem::is_directory(folder.File("locale")));
	// The first start switched the auto-preferences flag on, so quitting
	// wrote the file.
	ASSERT_TRUE(std::filesystem::exists(folder.File("LocaleEditor.prefs")));
	Preferences prefs(folder.File("LocaleEditor.prefs").c_str(), "ZTLOCALE");
	ASSERT_EQ(prefs.InitCheck(), 0);
	EXPECT_EQ(prefs.GetInt8("ZT_AUTOPREFS", 0), 1);
	EXPECT_STREQ(prefs.GetString("ZT_LANGUAGE", "<none>"), "English");
	EXPECT_TRUE(SameRect(prefs.GetRect("ZT_MAINWINPOS"), BRect(50, 50, 500, 400)));
}

TEST(StartUp, StoredFrameWithoutWidthCountsAsFirstStart)
{
	TempAppFolder folder;
	WritePrefs(folder, BRect(120, 80, 120, 600), 0);
	ASSERT_TRUE(RunOnce(folder));

	Preferences prefs(folder.File("LocaleEditor.prefs").c_str(), "ZTLOCALE");
	ASSERT_EQ(prefs.InitCheck(), 0);
	EXPECT_EQ(prefs.GetInt8("ZT_AUTOPREFS", 0), 1);
	EXPECT_TRUE(SameRect(prefs.GetRect("ZT_MAINWINPOS"), BRect(50, 50, 500, 400)));
}

TEST(StartUp, AnyOtherStoredFrameIsUsedUnchanged)
{
	TempAppFolder folder;
	const BRect odd(31, 47, 731, 563);
	WritePrefs(folder, odd, 1);
	ASSERT_TRUE(RunOnce(folder));

	Preferences prefs(folder.File("LocaleEditor.prefs").c_str(), "ZTLOCALE");
	BRect stored = prefs.GetRect("ZT_MAINWINPOS");
	EXPECT_TRUE(SameRect(stored, odd))
	    << stored.left << "," << stored.top << "," << stored.right << "," << stored.bottom;
}

TEST(StartUp, WithoutAutoPreferencesNothingIsWritten)
{
	TempAppFolder folder;
	WritePrefs(folder, BRect(31, 47, 731, 563), 0);
	auto before = std::filesystem::last_write_time(folder.File("LocaleEditor.prefs"));
	auto size = std::filesystem::file_size(folder.File("LocaleEditor.prefs"));
	ASSERT_TRUE(RunOnce(folder));
	EXPECT_EQ(std::filesystem::last_write_time(folder.File("LocaleEditor.prefs")), before);
	EXPECT_EQ(std::filesystem::file_size(folder.File("LocaleEditor.prefs")), size);
}

TEST(StartUp, TwoLaunchesAreTwoIndependentApplications)
{
	TempAppFolder folder;
	EditorProcess first(folder.Executable());
	EditorProcess second(folder.Executable());
	ASSERT_TRUE(first.WaitUntilAnswering(15s));
	ASSERT_TRUE(second.WaitUntilAnswering(15s));
	EXPECT_NE(first.Messenger().Team(), second.Messenger().Team());
	EXPECT_EQ(first.Terminate(15s), 0);
	// The second goes on answering after the first has gone.
	BMessage request(B_GET_PROPERTY);
	request.AddSpecifier("DefaultLanguage");
	BMessage reply;
	EXPECT_EQ(SendRequest(second.Messenger(), &request, &reply), B_OK);
	EXPECT_EQ(reply.what, (uint32)B_REPLY);
	EXPECT_EQ(second.Terminate(15s), 0);
}

namespace {

std::string LoadPathAfterLaunch(const TempAppFolder& folder, std::vector<std::string> arguments)
{
	EditorProcess editor(folder.Executable(), arguments);
	if (!editor.WaitUntilAnswering(15s))
		return "<did not start>";
	// First start: the auto-preferences flag is on, so quitting saves what
	// the window recorded, among it the path of the file it loaded.
	if (editor.Terminate(15s) != 0)
		return "<did not quit>";
	Preferences prefs(folder.File("LocaleEditor.prefs").c_str(), "ZTLOCALE");
	return prefs.GetString("loadpath", "<none>");
}

} // namespace

TEST(StartUp, FilesGivenAtLaunchOpenOnlyTheFirstAndOnlyLocaleFiles)
{
	TempAppFolder folder;
	const char* texts[] = {"Gut"};
	BMessage body;
	LocaleFile::Build(&body, "01.00", "some app", "Deutsch", texts, 1);
	std::string first = folder.File("first.locale");
	std::string second = folder.File("second.locale");
	ASSERT_EQ(LocaleFile::Write(first.c_str(), body, "Deutsch"), B_OK);
	ASSERT_EQ(LocaleFile::Write(second.c_str(), body, "Deutsch"), B_OK);
	std::string text = folder.File("notes.txt");
	std::ofstream(text) << "not a locale file\n";

	EXPECT_EQ(LoadPathAfterLaunch(folder, {first, second}), first);
	std::filesystem::remove(folder.File("LocaleEditor.prefs"));
	EXPECT_EQ(LoadPathAfterLaunch(folder, {text, second}), "<none>");
}
