// The Load button pressed from outside: the open panel it shows is answered
// through the panels' test seam for other processes (a file named in the
// environment), and the chosen file fills the window.
#include <FilePanelTesting.h>
#include <Message.h>

#include "EditorFixture.h"
#include "EnvironmentGuard.h"
#include "LocaleFile.h"
#include "ScratchFolder.h"
#include "Wait.h"

namespace {

TEST(LoadButtonTest, PressingLoadFromOutsideLoadsTheFileChosenInThePanel)
{
	ScratchFolder folder;
	const std::string path = folder / "Deutsch.locale";
	const char* texts[] = {"Erster Eintrag", "Zweiter Eintrag"};
	BMessage body;
	LocaleFile::Build(&body, "03.00", "application/x-vnd.loaded-app", "Deutsch", texts, 2);
	ASSERT_EQ(B_OK, LocaleFile::Write(path.c_str(), body, "Deutsch"));

	EnvironmentGuard choice(BPrivate::FilePanelTesting::kPanelChoiceVariable, path);
	EditorSession editor;
	ASSERT_TRUE(editor.WaitUntilAnswering(std::chrono::seconds(30)));
	auto field = [&](const char* name) {
		return ResultString(editor.Hey({"get", "Text", "of", "View", name, "of", "Window", "0"}));
	};
	// Nothing is loaded before the button is pressed.
	EXPECT_EQ("", field("txtctrl_language"));

	HeyResult press = editor.Hey({"do", "View", "btn_fileload", "of", "Window", "0"});
	ASSERT_EQ(0, press.exitCode) << press.out << press.err;
	EXPECT_TRUE(WaitFor([&] { return field("txtctrl_language") == "Deutsch"; }));
	EXPECT_EQ("03.00", field("txtctrl_version"));
	EXPECT_EQ("application/x-vnd.loaded-app", field("txtctrl_appid"));
	const std::string text = ResultString(editor.Hey(Of({"get", "Text"}, kLocaleText)));
	for (const char* entry : texts)
		EXPECT_NE(std::string::npos, text.find(entry)) << entry << " in\n" << text;
}

} // namespace
