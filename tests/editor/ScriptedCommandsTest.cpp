// The window's commands started the way a scripting client starts them:
// buttons pressed and menu items chosen through the standard suites, the
// file panel answered through its test seam, and the result read back
// through the suites again.
#include <FilePanel.h>
#include <FilePanelTesting.h>
#include <Message.h>
#include <Messenger.h>

#include "EditorTestSupport.h"
#include "EditorViewNames.h"
#include "LocaleFile.h"

namespace FP = BPrivate::FilePanelTesting;

namespace {

// "... of View locale_text": the locale text by its name.
void AddLocaleTextSpecifiers(BMessage* request)
{
	request->AddSpecifier("View", kLocaleTextView);
}

BFilePanel* ShownOpenPanel()
{
	for (BFilePanel* panel : FP::panels_on_screen()) {
		if (panel->PanelMode() == B_OPEN_PANEL && panel->IsShowing())
			return panel;
	}
	return nullptr;
}

} // namespace

class ScriptedCommandsTest : public EditorWindowTest
{
protected:
	BMessage Script(BMessage request)
	{
		BMessage reply;
		EXPECT_EQ(B_OK, BMessenger(mWindow).SendMessage(&request, &reply, 5000000, 5000000));
		return reply;
	}

	std::string FieldByScript(const char* name)
	{
		BMessage request(B_GET_PROPERTY);
		request.AddSpecifier("Text");
		request.AddSpecifier("View", name);
		return Script(request).GetString("result", "<none>");
	}

	std::string TextByScript()
	{
		BMessage request(B_GET_PROPERTY);
		request.AddSpecifier("Text");
		AddLocaleTextSpecifiers(&request);
		return Script(request).GetString("result", "<none>");
	}

	ScratchFolder mFolder;
};

TEST_F(ScriptedCommandsTest, PressingLoadOpensThePanelAndTheChosenFileFillsTheWindow)
{
	const char* texts[] = {"Erster Text", "Zweiter Text"};
	BMessage locale;
	LocaleFile::Build(&locale, "04.00", "scripted app", "Deutsch", texts, 2);
	ASSERT_EQ(B_OK, LocaleFile::Write((mFolder / "de.locale").c_str(), locale, "Deutsch"));

	BMessage press(B_EXECUTE_PROPERTY);
	press.AddSpecifier("View", "btn_fileload");
	EXPECT_EQ(B_OK, Script(press).GetInt32("error", -1));
	ASSERT_TRUE(WaitFor([] { return ShownOpenPanel() != nullptr; }));
	ASSERT_EQ(B_OK, FP::choose_entries(ShownOpenPanel(), {mFolder / "de.locale"}));

	ASSERT_TRUE(WaitFor([&] { return FieldByScript("txtctrl_language") == "Deutsch"; }));
	EXPECT_EQ("04.00", FieldByScript("txtctrl_version"));
	EXPECT_EQ("scripted app", FieldByScript("txtctrl_appid"));
	const std::string text = TextByScript();
	EXPECT_NE(std::string::npos, text.find("Erster Text")) << text;
	EXPECT_NE(std::string::npos, text.find("Zweiter Text")) << text;
	EXPECT_EQ(Text(), text);
}

TEST_F(ScriptedCommandsTest, ChoosingNewEmptiesWhatWasJustLoaded)
{
	const char* texts[] = {"Eins"};
	BMessage locale;
	LocaleFile::Build(&locale, "01.00", "some app", "Deutsch", texts, 1);
	ASSERT_EQ(B_OK, LocaleFile::Write((mFolder / "de.locale").c_str(), locale, "Deutsch"));
	BMessage press(B_EXECUTE_PROPERTY);
	press.AddSpecifier("View", "btn_fileload");
	Script(press);
	ASSERT_TRUE(WaitFor([] { return ShownOpenPanel() != nullptr; }));
	ASSERT_EQ(B_OK, FP::choose_entries(ShownOpenPanel(), {mFolder / "de.locale"}));
	ASSERT_TRUE(WaitFor([&] { return FieldByScript("txtctrl_language") == "Deutsch"; }));

	// File > New: nothing unsaved, so no question first.
	BMessage choose(B_EXECUTE_PROPERTY);
	choose.AddSpecifier("MenuItem", "New");
	choose.AddSpecifier("Menu", "File");
	choose.AddSpecifier("MenuBar");
	EXPECT_EQ(B_OK, Script(choose).GetInt32("error", -1));
	EXPECT_TRUE(WaitFor([&] { return FieldByScript("txtctrl_language").empty(); }));
	EXPECT_EQ("", FieldByScript("txtctrl_version"));
	EXPECT_EQ("", TextByScript());
	EXPECT_TRUE(Alerts().empty());
}
