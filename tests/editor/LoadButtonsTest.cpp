// The two "Load..." buttons and the panels say which file they load; the
// reference pop-up's title, cut to fit its field, is offered whole as a tip;
// a file that is no locale file is reported in the interface language.

#include <QApplication>
#include <QPushButton>
#include <QWidget>

#include <sys/stat.h>
#include <sys/xattr.h>

#include <filesystem>
#include <functional>

#include <string>

#include <FilePanel.h>
#include <FilePanelTesting.h>
#include <Node.h>
#include <NodeInfo.h>
#include <Path.h>
#include <View.h>

#include "EditorMessages.h"
#include "FileCommandsTestSupport.h"
#include "InterfaceLanguages.h"
#include "TextFormat.h"
#include "ZTLocale.h"

namespace {

// The window's widgets whose tip is text.
int WidgetsWithTip(const char* text)
{
	int count = 0;
	for (QWidget* top : QApplication::topLevelWidgets()) {
		if (!top->isVisible() || !top->windowTitle().startsWith("Korvane Locale Editor"))
			continue;
		for (QWidget* widget : top->findChildren<QWidget*>())
			count += widget->toolTip() == QString::fromUtf8(text) ? 1 : 0;
	}
	return count;
}

} // namespace

class LoadButtonsTest : public FileCommandsTest
{
};

TEST_F(LoadButtonsTest, ButtonsAndPanelsSayWhichFileTheyLoad)
{
	ASSERT_TRUE(mWindow->Lock());
	EXPECT_STREQ(View("btn_refload")->ToolTipText(), "Load a reference");
	EXPECT_STREQ(View("btn_fileload")->ToolTipText(), "Load a translation");
	mWindow->Unlock();
	EXPECT_EQ(WidgetsWithTip("Load a reference"), 1);
	EXPECT_EQ(WidgetsWithTip("Load a translation"), 1);
	// The pop-up's title does not fit its field; the tip holds all of it.
	EXPECT_EQ(WidgetsWithTip("Application Reference"), 1);

	// One open panel serves both buttons, titled for the one pressed.
	Dispatch(kMsgLoadRefPanel);
	ASSERT_NE(LastPanel(B_OPEN_PANEL), nullptr);
	EXPECT_EQ(FP::panel_title(LastPanel(B_OPEN_PANEL)), "Load a reference");
	Dispatch(kMsgLoadFilePanel);
	EXPECT_EQ(FP::panel_title(LastPanel(B_OPEN_PANEL)), "Load a translation");
	EXPECT_EQ(FP::cancel_panel(LastPanel(B_OPEN_PANEL)), B_OK);

	FillHeader("Deutsch");
	SetEditedText("Gut\n");
	Dispatch(kMsgSaveFilePanel);
	ASSERT_NE(LastPanel(B_SAVE_PANEL), nullptr);
	EXPECT_EQ(FP::panel_title(LastPanel(B_SAVE_PANEL)), "Save As");
	EXPECT_EQ(FP::cancel_panel(LastPanel(B_SAVE_PANEL)), B_OK);
}

// Every reason a file cannot be loaded or saved is said in the interface
// language, and so is the alert's button.
TEST_F(LoadButtonsTest, WhyAFileCannotBeLoadedOrSavedIsSaidInTheInterfaceLanguage)
{
	const char* buildDir = getenv("LE_BUILD_DIR");
	BPath shipped(((buildDir != nullptr ? std::string(buildDir) : ".") + "/locale").c_str());
	ASSERT_TRUE(SelectInterfaceLanguage(ZTLocale::GetInstance(), shipped, BPath(), "Deutsch"));
	struct English
	{
		~English()
		{
			SelectInterfaceLanguage(ZTLocale::GetInstance(), BPath(), BPath(), "English");
		}
	} english;
	WriteFileBytes(mFolder / "junk.locale", "no flattened message");
	std::filesystem::create_directory(mFolder / "folder.locale");
	const std::string cannotLoad = "Die Locale-Datei '%s' kann nicht geladen werden.\n\n";
	const std::string cannotSave = "Die Locale-Datei '%s' kann nicht gespeichert werden.\n\n";
	struct Case
	{
		std::string path;
		std::function<void()> action;
		std::string said;
	} cases[] = {
	    {mFolder / "junk.locale", [&] { Open(kMsgLoadFile, mFolder / "junk.locale"); },
	     cannotLoad + "Sie ist keine Locale-Datei oder ist beschädigt."},
	    {mFolder / "folder.locale", [&] { Open(kMsgLoadFile, mFolder / "folder.locale"); },
	     cannotLoad + "Es ist ein Ordner."},
	    {mFolder / "gone/de.locale",
	     [&] {
		     BMessage load(kMsgLoadFile);
		     load.AddString(kFieldNamedPath, (mFolder / "gone/de.locale").c_str());
		     Dispatch(load);
	     },
	     cannotLoad + "Die Datei existiert nicht."},
	    {mFolder / "a/b",
	     [&] {
		     FillHeader();
		     SetEditedText("Gut\n");
		     SaveAs(mFolder.Path(), "a/b");
	     },
	     cannotSave + "Der Dateiname ist ungültig."},
	};
	for (const Case& test : cases) {
		SCOPED_TRACE(test.path);
		ClearAlerts();
		test.action();
		ASSERT_EQ(Alerts().size(), 1u);
		EXPECT_EQ(Alerts()[0].title, "Locale");
		EXPECT_EQ(Alerts()[0].text, FillPlaceholders(test.said.c_str(), "%s", {test.path}));
		EXPECT_EQ(Alerts()[0].buttons, std::vector<std::string>{"Abbrechen"});
	}
}

TEST_F(LoadButtonsTest, TheOpenPanelOffersLocaleFilesBesideAllFiles)
{
	Dispatch(kMsgLoadFilePanel);
	BFilePanel* panel = LastPanel(B_OPEN_PANEL);
	ASSERT_NE(panel, nullptr);
	EXPECT_EQ(FP::filter_choices(panel), (std::vector<std::string>{"Locale files", "All files"}));
	EXPECT_EQ(FP::chosen_filter(panel), "Locale files");
	ASSERT_NE(panel->RefFilter(), nullptr);

	// By type (the attribute, or the content where it was lost), or by name.
	WriteLocaleFile(mFolder / "typed", "Deutsch", {"Gut"});
	removexattr((mFolder / "typed").c_str(), "user.mime_type");
	WriteFileBytes(mFolder / "named.locale", "text");
	WriteFileBytes(mFolder / "notes.txt", "; #ID1:\nnot a locale file\n");
	std::filesystem::create_directory(mFolder / "folder");
	auto lists = [&](const std::string& leaf) {
		const std::string path = mFolder / leaf;
		entry_ref ref;
		EXPECT_EQ(get_ref_for_path(path.c_str(), &ref), B_OK);
		BNode node(&ref);
		struct stat st = {};
		lstat(path.c_str(), &st);
		char type[B_MIME_TYPE_LENGTH] = "";
		BNodeInfo(&node).GetType(type);
		return panel->RefFilter()->Filter(&ref, &node, &st, type);
	};
	EXPECT_TRUE(lists("typed"));
	EXPECT_TRUE(lists("named.locale"));
	EXPECT_TRUE(lists("folder"));
	EXPECT_FALSE(lists("notes.txt"));

	// The type column names locale files in words, the attribute lost or not.
	EXPECT_EQ(FP::type_shown(panel, mFolder / "typed"), "Locale file");

	ASSERT_EQ(FP::choose_filter(panel, "All files"), B_OK);
	EXPECT_EQ(panel->RefFilter(), nullptr);
	EXPECT_EQ(FP::cancel_panel(panel), B_OK);
}
