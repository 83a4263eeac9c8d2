// The two "Load..." buttons and the panels say which file they load; the
// reference pop-up's title, cut to fit its field, is offered whole as a tip;
// a file that is no locale file is reported in the interface language.

#include <QApplication>
#include <QPushButton>
#include <QWidget>

#include <sys/stat.h>
#include <sys/xattr.h>

#include <filesystem>

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

TEST_F(LoadButtonsTest, AFileThatIsNoLocaleFileIsReportedInTheInterfaceLanguage)
{
	const char* buildDir = getenv("LE_BUILD_DIR");
	BPath shipped(((buildDir != nullptr ? std::string(buildDir) : ".") + "/locale").c_str());
	ASSERT_TRUE(SelectInterfaceLanguage(ZTLocale::GetInstance(), shipped, BPath(), "Deutsch"));
	WriteFileBytes(mFolder / "junk.locale", "no flattened message");
	Open(kMsgLoadFile, mFolder / "junk.locale");
	SelectInterfaceLanguage(ZTLocale::GetInstance(), BPath(), BPath(), "English");
	ASSERT_EQ(Alerts().size(), 1u);
	EXPECT_EQ(Alerts()[0].text, "Die Locale-Datei '" + (mFolder / "junk.locale") +
	                                "' kann nicht geladen werden.\n\nSie ist keine Locale-Datei "
	                                "oder ist beschädigt.");
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
