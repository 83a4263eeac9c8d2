// The editor's menus driven from outside: items are found by label or
// index, choosing one runs the window's command, and its effect shows.
#include <filesystem>

#include <Errors.h>

#include "EditorFixture.h"
#include "Preferences.h"
#include "Wait.h"

namespace {

const std::vector<std::string> kPrefsMenu = {"Menu", "Preferences", "of", "MenuBar",
                                             "of",   "Window",      "0"};

// "do" aimed at what target names.
std::vector<std::string> Do(const std::vector<std::string>& target)
{
	std::vector<std::string> words = {"do"};
	words.insert(words.end(), target.begin(), target.end());
	return words;
}

class MenuCommandsTest : public EditorFixture
{
};

TEST_F(MenuCommandsTest, MenusAreNamedByTheirLabelsAndCounted)
{
	HeyResult label =
	    Hey({"get", "Label", "of", "Menu", "0", "of", "MenuBar", "of", "Window", "0"});
	ASSERT_EQ(0, label.exitCode) << label.out << label.err;
	EXPECT_EQ("File", ResultString(label));
	label = Hey({"get", "Label", "of", "Menu", "[-1]", "of", "MenuBar", "of", "Window", "0"});
	EXPECT_EQ("Preferences", ResultString(label));

	HeyResult count = Hey(Of({"count", "MenuItem"}, kPrefsMenu));
	ASSERT_EQ(0, count.exitCode);
	// Language, a separator, Autoprefs, Save.
	EXPECT_EQ(std::vector<int>{4}, ResultInts(count));
	label = Hey(Of({"get", "Label", "of", "MenuItem", "[-1]"}, kPrefsMenu));
	EXPECT_EQ("Save", ResultString(label));
	// The language submenu lists English, the built-in language, marked.
	HeyResult english = Hey(
	    Of({"get", "Marked", "of", "MenuItem", "English", "of", "Menu", "Language"}, kPrefsMenu));
	ASSERT_EQ(0, english.exitCode) << english.out;
	EXPECT_TRUE(ResultBool(english));

	HeyResult missing = Hey(Of({"get", "Label", "of", "MenuItem", "Nothing like it"}, kPrefsMenu));
	EXPECT_EQ(1, missing.exitCode);
	EXPECT_NE(std::string::npos, missing.out.find(std::to_string(B_NAME_NOT_FOUND)));
	missing = Hey(Of({"get", "Label", "of", "Menu", "9"}, {"MenuBar", "of", "Window", "0"}));
	EXPECT_EQ(1, missing.exitCode);
	EXPECT_NE(std::string::npos, missing.out.find(std::to_string(B_BAD_INDEX)));
}

TEST_F(MenuCommandsTest, ChoosingAutoprefsAndSaveWritesThePreferences)
{
	const std::vector<std::string> autoprefs = Of({"MenuItem", "Autoprefs"}, kPrefsMenu);
	HeyResult before = Hey(Of({"get", "Marked"}, autoprefs));
	ASSERT_EQ(0, before.exitCode) << before.out;
	const bool wasMarked = ResultBool(before);

	HeyResult choose = Hey(Do(autoprefs));
	ASSERT_EQ(0, choose.exitCode) << choose.out << choose.err;
	// The window toggles the mark when it handles the command, after the
	// reply: wait for it.
	ASSERT_TRUE(WaitFor([&] {
		return ResultBool(Hey(Of({"get", "Marked"}, autoprefs))) != wasMarked;
	}));

	const std::string prefsPath = sEditor->Folder() + "/LocaleEditor.prefs";
	ASSERT_EQ(0, Hey(Of({"do", "MenuItem", "Save"}, kPrefsMenu)).exitCode);
	bool saved = WaitFor([&] {
		if (!std::filesystem::exists(prefsPath))
			return false;
		Preferences prefs(prefsPath.c_str(), "ZTLOCALE");
		return prefs.GetInt8(kPrefAutoPrefs, wasMarked ? 1 : 0) == (wasMarked ? 0 : 1);
	});
	EXPECT_TRUE(saved) << "the preferences file holds the new Autoprefs";

	// Back as it was.
	ASSERT_EQ(0, Hey(Do(autoprefs)).exitCode);
}

TEST_F(MenuCommandsTest, ADisabledItemIsNotChosen)
{
	const std::vector<std::string> save = Of({"MenuItem", "Save"}, kPrefsMenu);
	EXPECT_EQ(1, Hey(Of({"set", "Enabled"}, save)).exitCode) << "a value is needed";
	std::vector<std::string> disable = Of({"set", "Enabled"}, save);
	disable.insert(disable.end(), {"to", "false"});
	ASSERT_EQ(0, Hey(disable).exitCode);
	HeyResult choose = Hey(Do(save));
	EXPECT_EQ(1, choose.exitCode);
	EXPECT_NE(std::string::npos, choose.out.find(std::to_string(B_NOT_ALLOWED))) << choose.out;
	std::vector<std::string> enable = Of({"set", "Enabled"}, save);
	enable.insert(enable.end(), {"to", "true"});
	ASSERT_EQ(0, Hey(enable).exitCode);
	EXPECT_TRUE(ResultBool(Hey(Of({"get", "Enabled"}, save))));
}

TEST(QuitTest, TheQuitVerbEndsTheEditor)
{
	EditorSession editor;
	ASSERT_TRUE(editor.WaitUntilAnswering(std::chrono::seconds(30)));
	HeyResult quit = editor.Hey({"quit"});
	EXPECT_EQ(0, quit.exitCode) << quit.out << quit.err;
	EXPECT_EQ(0, editor.WaitForExit(std::chrono::seconds(20)));
}

} // namespace
