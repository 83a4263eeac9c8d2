// What a translator at a terminal sees of find and replace, the status line
// and the title's unsaved mark: Replace All from the find panel changes the
// translations and never an entry marker, the status line is read like any
// other text of the window and gives way to the progress at the next edit,
// and header fields set by a script mark the title at once.
#include <filesystem>
#include <unistd.h>

#include <Message.h>

#include "EditorFixture.h"
#include "LocaleFile.h"
#include "Wait.h"

namespace {

const std::vector<std::string> kStatusLine = {"View", kStatusLineView, "of", "Window", "0"};

std::string Status(const EditorSession& editor)
{
	return ResultString(editor.Hey(Of({"get", "Text"}, kStatusLine)));
}

} // namespace

TEST(FindAndStatus, ReplaceAllFromThePanelKeepsEveryMarkerAndTheStatusSaysWhatItDid)
{
	EditorSession editor;
	ASSERT_TRUE(editor.WaitUntilAnswering(std::chrono::seconds(30)));
	const std::string text = "; #ID1:\n; Identity\nID-Nummer\n"
	                         "; #ID2:\n; Your ID\nIhre ID\n";
	ASSERT_EQ(0, SetLocaleText(editor, text).exitCode);
	// The status line is a text of the window like the others.
	EXPECT_TRUE(WaitFor([&] { return Status(editor).find("2 of 2 translated") == 0; }))
	    << Status(editor);

	ASSERT_EQ(0, editor
	                 .Hey({"do", "MenuItem", "Replace...", "of", "Menu", "Edit", "of", "MenuBar",
	                       "of", "Window", "0"})
	                 .exitCode);
	ASSERT_TRUE(WaitFor([&] { return CountWindows(editor) == 2; })) << "no find panel";
	ASSERT_EQ(0, editor.Hey({"set", "Text", "of", "View", "find", "of", "Window", "1", "to", "ID"})
	                 .exitCode);
	ASSERT_EQ(
	    0,
	    editor.Hey({"set", "Text", "of", "View", "replace", "of", "Window", "1", "to", "Kennung"})
	        .exitCode);
	EXPECT_EQ("Replace All", ResultString(editor.Hey(
	                             {"get", "Label", "of", "View", "button0", "of", "Window", "1"})));
	ASSERT_EQ(0, editor.Hey({"do", "View", "button0", "of", "Window", "1"}).exitCode);

	EXPECT_TRUE(WaitFor([&] {
		return Status(editor) == "2 replaced; 4 in comment lines left alone";
	})) << Status(editor);
	EXPECT_EQ("; #ID1:\n; Identity\nKennung-Nummer\n"
	          "; #ID2:\n; Your ID\nIhre Kennung\n",
	          ResultString(editor.Hey(Of({"get", "Text"}, kLocaleText))));

	// The next edit brings the progress back.
	ASSERT_EQ(0, SetLocaleText(editor, "; #ID1:\n; Identity\n\n").exitCode);
	EXPECT_TRUE(WaitFor([&] { return Status(editor).find("0 of 1 translated") == 0; }))
	    << Status(editor);
}

TEST(FindAndStatus, AScriptedHeaderEditMarksTheTitleAtOnceAndTheOldValueClearsIt)
{
	char pattern[] = "/tmp/endtoend-title-XXXXXX";
	ASSERT_NE(nullptr, mkdtemp(pattern));
	const std::string path = std::string(pattern) + "/Svenska.locale";
	const char* texts[] = {"Öppna"};
	BMessage body;
	LocaleFile::Build(&body, "02.01", "application/x-vnd.some-app", "Svenska", texts, 1);
	ASSERT_EQ(B_OK, LocaleFile::Write(path.c_str(), body, "Svenska"));

	EditorSession editor({path});
	ASSERT_TRUE(editor.WaitUntilAnswering(std::chrono::seconds(30)));
	auto title = [&] { return ResultString(editor.Hey({"get", "Title", "of", "Window", "0"})); };
	ASSERT_TRUE(WaitFor([&] { return title() == "Svenska.locale"; })) << title();

	struct Edit
	{
		const char* view;
		const char* changed;
		const char* old;
	} edits[] = {
	    {"txtctrl_version", "\"02.02\"", "\"02.01\""},
	    {"txtctrl_appid", "application/x-vnd.other", "application/x-vnd.some-app"},
	    {"txtctrl_language", "Dansk", "Svenska"},
	};
	for (const Edit& edit : edits) {
		auto set = [&](const char* value) {
			return editor.Hey(
			    {"set", "Text", "of", "View", edit.view, "of", "Window", "0", "to", value});
		};
		// The get after the set is answered after the window took the
		// change: no wait for a tick of the status line.
		ASSERT_EQ(0, set(edit.changed).exitCode) << edit.view;
		EXPECT_EQ("Svenska.locale *", title()) << edit.view;
		ASSERT_EQ(0, set(edit.old).exitCode) << edit.view;
		EXPECT_EQ("Svenska.locale", title()) << edit.view;
	}

	std::error_code error;
	std::filesystem::remove_all(pattern, error);
}
