// A file the editor refuses, given to it at launch offscreen, as a headless
// run or CI does: the alert that says so is a window scripts can see and
// answer, and the editor window goes on answering while it is up.
#include <gtest/gtest.h>

#include <fstream>

#include <AppDefs.h>
#include <Message.h>
#include <Node.h>
#include <NodeInfo.h>

#include "LocaleFile.h"
#include "ShellTestSupport.h"

namespace {

using namespace std::chrono_literals;

// A request on a view of a window, as hey says "PROPERTY of View VIEW of
// Window WINDOW"; property nullptr: on the view itself.
BMessage ViewRequest(uint32 what, const char* property, const char* view, int32 window)
{
	BMessage request(what);
	if (property != nullptr)
		request.AddSpecifier(property);
	request.AddSpecifier("View", view);
	request.AddSpecifier("Window", window);
	return request;
}

// The reply's "result" string, or what went wrong.
std::string TextOf(const EditorProcess& editor, const char* view, int32 window)
{
	BMessage request = ViewRequest(B_GET_PROPERTY, "Text", view, window);
	BMessage reply;
	if (SendRequest(editor.Messenger(), &request, &reply) != B_OK)
		return "<no reply>";
	const char* result = nullptr;
	if (reply.what != B_REPLY || reply.FindString("result", &result) != B_OK)
		return "<refused>";
	return result;
}

int32 CountWindows(const EditorProcess& editor)
{
	BMessage request(B_COUNT_PROPERTIES);
	request.AddSpecifier("Window");
	BMessage reply;
	int32 count = -1;
	if (SendRequest(editor.Messenger(), &request, &reply) != B_OK ||
	    reply.FindInt32("result", &count) != B_OK)
		return -1;
	return count;
}

// A file typed as a locale file whose bytes are none: the application
// hands it to the window, which refuses it.
std::string WriteDamagedLocaleFile(const TempAppFolder& folder)
{
	const std::string path = folder.File("damaged.locale");
	std::ofstream(path) << "these bytes are no locale file";
	BNode node(path.c_str());
	BNodeInfo(&node).SetType(kLocaleMimeType);
	return path;
}

} // namespace

TEST(RefusedFileAlert, TheWindowAnswersWhileItIsUpAndAScriptPressesItsButton)
{
	TempAppFolder folder;
	const std::string damaged = WriteDamagedLocaleFile(folder);
	EditorProcess editor(folder.Executable(), {damaged});
	ASSERT_TRUE(editor.WaitUntilAnswering(15s));
	ASSERT_TRUE(WaitUntil([&] { return CountWindows(editor) == 2; }, 15s))
	    << "no alert window beside the editor's";

	const std::string alertText = TextOf(editor, "alert_text", 1);
	EXPECT_NE(alertText.find(damaged), std::string::npos) << alertText;
	// The editor window itself serves a request while the alert is up.
	EXPECT_EQ(TextOf(editor, "txtctrl_language", 0), "");
	EXPECT_EQ(CountWindows(editor), 2);

	// "do" on the button is a click; the alert goes.
	BMessage press = ViewRequest(B_EXECUTE_PROPERTY, nullptr, "button0", 1);
	BMessage reply;
	ASSERT_EQ(SendRequest(editor.Messenger(), &press, &reply), B_OK);
	EXPECT_EQ(reply.what, (uint32)B_REPLY);
	EXPECT_TRUE(WaitUntil([&] { return CountWindows(editor) == 1; }, 10s));
	EXPECT_EQ(editor.Terminate(15s), 0);
}

// Files as they come from git, a download or a typo: no type attribute to go
// by. Each one the editor cannot load gets the Open panel's alert, naming
// the file and why, over a window whose fields are untouched.
TEST(RefusedFileAlert, EveryFileGivenAtLaunchThatCannotBeLoadedIsSaid)
{
	TempAppFolder folder;
	const std::string empty = folder.File("empty.locale");
	std::ofstream(empty).flush();
	const std::string damaged = folder.File("damaged.locale");
	std::ofstream(damaged) << "these bytes are no locale file";
	struct Case
	{
		std::string path;
		const char* reason;
	} cases[] = {
	    {empty, "It is not a locale file, or it is damaged."},
	    {damaged, "It is not a locale file, or it is damaged."},
	    {folder.File("missing.locale"), "The file does not exist."},
	    {folder.File("no-such-folder/missing.locale"), "The file does not exist."},
	};
	for (const Case& test : cases) {
		SCOPED_TRACE(test.path);
		EditorProcess editor(folder.Executable(), {test.path});
		ASSERT_TRUE(editor.WaitUntilAnswering(15s));
		ASSERT_TRUE(WaitUntil([&] { return CountWindows(editor) == 2; }, 15s))
		    << "no alert beside the editor's window";
		const std::string alertText = TextOf(editor, "alert_text", 1);
		EXPECT_NE(alertText.find(test.path), std::string::npos) << alertText;
		EXPECT_NE(alertText.find(test.reason), std::string::npos) << alertText;
		EXPECT_EQ(TextOf(editor, "txtctrl_language", 0), "");
		EXPECT_EQ(editor.Terminate(15s), 0);
	}
}

TEST(RefusedFileAlert, TheEditorStillQuitsWhileTheAlertIsUp)
{
	TempAppFolder folder;
	EditorProcess editor(folder.Executable(), {WriteDamagedLocaleFile(folder)});
	ASSERT_TRUE(editor.WaitUntilAnswering(15s));
	ASSERT_TRUE(WaitUntil([&] { return CountWindows(editor) == 2; }, 15s));
	EXPECT_EQ(editor.Terminate(15s), 0);
}
