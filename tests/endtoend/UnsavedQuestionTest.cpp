// The questions and notices of the editor are windows of their own: while
// one is up the editor window goes on answering, and a script reads the
// alert and presses its buttons as the user would, with the same outcome.
#include <string>
#include <vector>

#include "EditorFixture.h"
#include "Wait.h"

namespace {

const std::vector<std::string> kFileMenu = {"Menu", "File", "of", "MenuBar", "of", "Window", "0"};
const char kQuestion[] = "The locale text has unsaved changes. Save them first?";

// Presses button index of the alert, window 1.
HeyResult Press(const EditorSession& editor, int index)
{
	return editor.Hey({"do", "View", "button" + std::to_string(index), "of", "Window", "1"});
}

// Chooses the File menu's item label and waits for the alert it raises.
bool ChooseAndWaitForAlert(const EditorSession& editor, const std::string& label)
{
	const HeyResult choose = editor.Hey(Of({"do", "MenuItem", label}, kFileMenu));
	return choose.exitCode == 0 && WaitFor([&] { return CountWindows(editor) == 2; });
}

// Waits for the editor to answer and sets its locale text, which is then
// unsaved work.
bool StartWithUnsavedText(EditorSession& editor, const std::string& text)
{
	if (!editor.WaitUntilAnswering(std::chrono::seconds(30)))
		return false;
	std::vector<std::string> type = Of({"set", "Text"}, kLocaleText);
	type.insert(type.end(), {"to", text});
	return editor.Hey(type).exitCode == 0;
}

const int kCancel = 0;
const int kDiscard = 1;

} // namespace

TEST(UnsavedQuestion, NewAsksInAWindowThatScriptsAnswerWhileTheEditorServes)
{
	EditorSession editor;
	ASSERT_TRUE(StartWithUnsavedText(editor, "Meine Arbeit\n"));

	ASSERT_TRUE(ChooseAndWaitForAlert(editor, "New"));
	EXPECT_EQ(kQuestion, ResultString(editor.Hey(
	                         {"get", "Text", "of", "View", "alert_text", "of", "Window", "1"})));
	EXPECT_EQ("Cancel", ResultString(editor.Hey(
	                        {"get", "Label", "of", "View", "button0", "of", "Window", "1"})));
	// The editor window answers while the question is up.
	EXPECT_EQ("Meine Arbeit\n", LocaleText(editor));

	ASSERT_EQ(0, Press(editor, kCancel).exitCode);
	ASSERT_TRUE(WaitFor([&] { return CountWindows(editor) == 1; }));
	EXPECT_EQ("Meine Arbeit\n", LocaleText(editor)) << "Cancel keeps the text";

	ASSERT_TRUE(ChooseAndWaitForAlert(editor, "New"));
	ASSERT_EQ(0, Press(editor, kDiscard).exitCode);
	EXPECT_TRUE(WaitFor([&] { return LocaleText(editor).empty(); })) << LocaleText(editor);
	EXPECT_EQ(1, CountWindows(editor));
}

TEST(UnsavedQuestion, QuitWaitsForTheAnswerAndDiscardEndsTheEditor)
{
	EditorSession editor;
	ASSERT_TRUE(StartWithUnsavedText(editor, "Nicht gesichert\n"));

	ASSERT_EQ(0, editor.Hey({"quit"}).exitCode);
	ASSERT_TRUE(WaitFor([&] { return CountWindows(editor) == 2; })) << "no question";
	EXPECT_EQ("Nicht gesichert\n", LocaleText(editor));

	ASSERT_EQ(0, Press(editor, kDiscard).exitCode);
	EXPECT_EQ(0, editor.WaitForExit(std::chrono::seconds(20)));
}

TEST(UnsavedQuestion, AboutIsANoticeTheEditorServesBeside)
{
	EditorSession editor;
	ASSERT_TRUE(editor.WaitUntilAnswering(std::chrono::seconds(30)));
	ASSERT_TRUE(ChooseAndWaitForAlert(editor, "About..."));
	EXPECT_EQ("OK", ResultString(editor.Hey(
	                    {"get", "Label", "of", "View", "button0", "of", "Window", "1"})));
	EXPECT_EQ("", LocaleText(editor));
	ASSERT_EQ(0, Press(editor, 0).exitCode);
	EXPECT_TRUE(WaitFor([&] { return CountWindows(editor) == 1; }));
}
