// The window as built: menus, the three rows of controls, the text view, and
// how they follow the window when it is resized.

#include <QApplication>
#include <QPixmap>
#include <QWidget>

#include <cstdlib>

#include <AppDefs.h>
#include <Application.h>
#include <Button.h>
#include <InterfaceDefs.h>
#include <Menu.h>
#include <MenuBar.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <TextControl.h>
#include <TextView.h>

#include "EditorMessages.h"
#include "EditorTestSupport.h"
#include "EditorViewNames.h"
#include "Wait.h"
#include "ZTLEStatusView.h"

namespace {

struct ExpectedFrame
{
	const char* name;
	BRect frame;
};

std::string Describe(BRect r)
{
	std::string text = "(";
	for (const float edge : {r.left, r.top, r.right, r.bottom}) {
		if (text.size() > 1)
			text += ", ";
		text += std::to_string(edge);
	}
	return text + ")";
}

BMenuItem* FindItem(BMenu* menu, const char* label)
{
	for (int32 i = 0; BMenuItem* item = menu->ItemAt(i); i++) {
		if (item->Label() != nullptr && std::string(item->Label()) == label)
			return item;
	}
	return nullptr;
}

} // namespace

class WindowLayoutTest : public EditorWindowTest
{
protected:
	float MenuBarBottom()
	{
		BView* bar = View("MB");
		return bar != nullptr ? bar->Bounds().bottom : -1;
	}

	BTextView* LocaleTextView() { return dynamic_cast<BTextView*>(View(kLocaleTextView)); }
};

TEST_F(WindowLayoutTest, FirstStartFramesMatchTheLayoutForTheMenuBarHeight)
{
	ASSERT_TRUE(mWindow->Lock());
	EXPECT_EQ(mWindow->Bounds(), BRect(0, 0, 450, 350));
	float h = MenuBarBottom();
	ASSERT_GT(h, 0);
	BView* background = View("bkg_view");
	ASSERT_NE(background, nullptr);
	EXPECT_EQ(background->Frame(), BRect(0, h + 1, 450, 350)) << Describe(background->Frame());

	const ExpectedFrame expected[] = {
	    {"txtctrl_reference", BRect(10, 5, 225, 30)}, {"btn_refload", BRect(230, 5, 335, 30)},
	    {"mnu_refget", BRect(340, 5, 440, 30)},       {"txtctrl_language", BRect(10, 35, 225, 60)},
	    {"btn_fileload", BRect(230, 35, 335, 60)},    {"btn_filesave", BRect(340, 35, 440, 60)},
	    {"txtctrl_version", BRect(10, 65, 160, 90)},  {"txtctrl_appid", BRect(170, 65, 440, 90)},
	};
	for (const ExpectedFrame& e : expected) {
		BView* view = View(e.name);
		ASSERT_NE(view, nullptr) << e.name;
		EXPECT_EQ(view->Parent(), background) << e.name;
		EXPECT_EQ(view->Frame(), e.frame) << e.name << " " << Describe(view->Frame());
		EXPECT_EQ(view->Flags(), (uint32)(B_WILL_DRAW | B_NAVIGABLE)) << e.name;
	}
	BTextView* text = LocaleTextView();
	ASSERT_NE(text, nullptr);
	EXPECT_EQ(FrameInBackground(text), BRect(0, 95, 436, 349 - h - 18))
	    << Describe(FrameInBackground(text));
	// The status line under it, across the window.
	BView* status = View(kStatusLineView);
	ASSERT_NE(status, nullptr);
	EXPECT_EQ(status->Frame(), BRect(0, 349 - h - 17, 450, 349 - h)) << Describe(status->Frame());
	EXPECT_TRUE(text->IsEditable());
	mWindow->Unlock();
}

TEST_F(WindowLayoutTest, ControlsCarryTheirClassesLabelsAndMessages)
{
	ASSERT_TRUE(mWindow->Lock());
	struct
	{
		const char* name;
		const char* label;
		uint32 what;
	} controls[] = {
	    {"txtctrl_reference", "Reference:", kMsgDummy},
	    {"txtctrl_language", "Language:", kMsgDummy},
	    {"txtctrl_version", "Version:", kMsgDummy},
	    {"txtctrl_appid", "Application ID:", kMsgDummy},
	    {"btn_refload", "Load...", kMsgLoadRefPanel},
	    {"btn_fileload", "Load...", kMsgLoadFilePanel},
	    {"btn_filesave", "Save...", kMsgSaveFilePanel},
	};
	for (const auto& c : controls) {
		BControl* control = dynamic_cast<BControl*>(View(c.name));
		ASSERT_NE(control, nullptr) << c.name;
		EXPECT_STREQ(control->Label(), c.label) << c.name;
		ASSERT_NE(control->Message(), nullptr) << c.name;
		EXPECT_EQ(control->Message()->what, c.what) << c.name;
	}
	EXPECT_NE(dynamic_cast<BButton*>(View("btn_filesave")), nullptr);
	EXPECT_NE(dynamic_cast<BMenuField*>(View("mnu_refget")), nullptr);
	// "Reference:" is wider than the original 60 pixels: both rows' fields
	// move right together, the label whole.
	EXPECT_GE(Control("txtctrl_language")->Divider(), 60);
	EXPECT_EQ(Control("txtctrl_language")->Divider(), Control("txtctrl_reference")->Divider());
	// The id field's divider follows its label in the bold 12-point font.
	float labelWidth = View("bkg_view")->StringWidth("Application ID:");
	EXPECT_FLOAT_EQ(Control("txtctrl_appid")->Divider(), labelWidth + 10);

	// The reference's language is shown, never typed.
	BTextView* reference = Control("txtctrl_reference")->TextView();
	ASSERT_NE(reference, nullptr);
	EXPECT_FALSE(reference->IsEditable());
	EXPECT_EQ(reference->ViewColor(), make_color(232, 232, 232));
	EXPECT_TRUE(Control("txtctrl_language")->TextView()->IsEditable());
	mWindow->Unlock();
}

TEST_F(WindowLayoutTest, MenusHoldTheirItemsShortcutsAndTargets)
{
	ASSERT_TRUE(mWindow->Lock());
	BMenuBar* bar = dynamic_cast<BMenuBar*>(View("MB"));
	ASSERT_NE(bar, nullptr);
	ASSERT_EQ(bar->CountItems(), 4);
	BMenu* file = bar->SubmenuAt(0);
	BMenu* edit = bar->SubmenuAt(1);
	BMenu* go = bar->SubmenuAt(2);
	BMenu* prefs = bar->SubmenuAt(3);
	ASSERT_TRUE(file && edit && go && prefs);
	EXPECT_STREQ(bar->ItemAt(0)->Label(), "File");
	EXPECT_STREQ(bar->ItemAt(1)->Label(), "Edit");
	EXPECT_STREQ(bar->ItemAt(2)->Label(), "Go");
	EXPECT_STREQ(bar->ItemAt(3)->Label(), "Preferences");

	struct
	{
		BMenu* menu;
		const char* label;
		uint32 what;
		char shortcut;
		bool toApplication;
	} items[] = {
	    {file, "New", kMsgNewFile, 0, false},
	    {file, "Help...", kMsgShowHelp, 'H', false},
	    {file, "About...", B_ABOUT_REQUESTED, 0, true},
	    {file, "Quit", B_QUIT_REQUESTED, 'Q', true},
	    {edit, "Undo", B_UNDO, 'Z', false},
	    {edit, "Redo", B_REDO, 'Z', false},
	    {edit, "Cut", B_CUT, 'X', false},
	    {edit, "Copy", B_COPY, 'C', false},
	    {edit, "Paste", B_PASTE, 'V', false},
	    {edit, "Select All", B_SELECT_ALL, 'A', false},
	    {edit, "Find...", kMsgFindPanel, 'F', false},
	    {edit, "Find Next", kMsgFindNext, 'G', false},
	    {edit, "Find Previous", kMsgFindPrevious, 'G', false},
	    {edit, "Replace...", kMsgFindPanel, 0, false},
	    {edit, "Match Case", kMsgMatchCase, 0, false},
	    {go, "Next Untranslated", kMsgNextUntranslated, 'J', false},
	    {go, "Previous Untranslated", kMsgPreviousUntranslated, 'J', false},
	    {go, "Next Warning", kMsgNextWarning, 'K', false},
	    {go, "Previous Warning", kMsgPreviousWarning, 'K', false},
	    {go, "Go to Entry...", kMsgGoToEntryPanel, 'L', false},
	    {prefs, "Autoprefs", kMsgAutoPrefs, 0, false},
	    {prefs, "Save", kMsgSavePrefs, 0, false},
	};
	for (const auto& i : items) {
		BMenuItem* item = FindItem(i.menu, i.label);
		ASSERT_NE(item, nullptr) << i.label;
		ASSERT_NE(item->Message(), nullptr) << i.label;
		EXPECT_EQ(item->Message()->what, i.what) << i.label;
		EXPECT_EQ(item->Shortcut(), i.shortcut) << i.label;
		BLooper* looper = nullptr;
		BHandler* target = item->Target(&looper);
		if (i.toApplication)
			EXPECT_EQ(target, be_app) << i.label;
		else
			EXPECT_TRUE(target == nullptr || target == mWindow) << i.label;
	}
	EXPECT_EQ(file->CountItems(), 13);
	EXPECT_EQ(edit->CountItems(), 14);
	EXPECT_EQ(go->CountItems(), 6);
	EXPECT_EQ(prefs->CountItems(), 4);
	BMenuItem* language = prefs->ItemAt(0);
	ASSERT_NE(language->Submenu(), nullptr);
	EXPECT_STREQ(language->Label(), "Language");
	EXPECT_EQ(FindItem(prefs, "Autoprefs")->Target(), mWindow);
	// The preferences in SetUp have the flag on.
	EXPECT_TRUE(FindItem(prefs, "Autoprefs")->IsMarked());
	mWindow->Unlock();
}

TEST_F(WindowLayoutTest, AutoprefsItemIsUnmarkedWhenTheFlagIsOff)
{
	mPrefs->Set("ZT_AUTOPREFS", (int8)0);
	RecordingWindow* other = new RecordingWindow(mPrefs.get());
	ASSERT_TRUE(other->Lock());
	BMenuBar* bar = dynamic_cast<BMenuBar*>(other->FindView("MB"));
	ASSERT_NE(bar, nullptr);
	EXPECT_FALSE(FindItem(bar->SubmenuAt(3), "Autoprefs")->IsMarked());
	other->Quit();
}

TEST_F(WindowLayoutTest, WindowKeepsItsMinimumSize)
{
	ASSERT_TRUE(mWindow->Lock());
	mWindow->ResizeTo(100, 80);
	EXPECT_EQ(mWindow->Bounds(), BRect(0, 0, 450, 350));
	float minWidth, maxWidth, minHeight, maxHeight;
	mWindow->GetSizeLimits(&minWidth, &maxWidth, &minHeight, &maxHeight);
	EXPECT_EQ(minWidth, 450);
	EXPECT_EQ(minHeight, 350);
	EXPECT_GT(maxWidth, 1000);
	mWindow->Unlock();
}

TEST_F(WindowLayoutTest, WideningGrowsTheFieldsAndKeepsButtonsAtTheRightMargin)
{
	ASSERT_TRUE(mWindow->Lock());
	mWindow->ResizeTo(650, 500);
	mWindow->Unlock();
	Settle();
	ASSERT_TRUE(mWindow->Lock());
	float h = MenuBarBottom();
	const ExpectedFrame expected[] = {
	    {"txtctrl_reference", BRect(10, 5, 425, 30)}, {"btn_refload", BRect(430, 5, 535, 30)},
	    {"mnu_refget", BRect(540, 5, 640, 30)},       {"txtctrl_language", BRect(10, 35, 425, 60)},
	    {"btn_fileload", BRect(430, 35, 535, 60)},    {"btn_filesave", BRect(540, 35, 640, 60)},
	    {"txtctrl_version", BRect(10, 65, 160, 90)},  {"txtctrl_appid", BRect(170, 65, 640, 90)},
	};
	for (const ExpectedFrame& e : expected)
		EXPECT_EQ(View(e.name)->Frame(), e.frame)
		    << e.name << " " << Describe(View(e.name)->Frame());
	EXPECT_EQ(FrameInBackground(LocaleTextView()), BRect(0, 95, 636, 499 - h - 18));
	mWindow->Unlock();
}

TEST_F(WindowLayoutTest, WindowRendersForPeopleToLookAt)
{
	ASSERT_TRUE(mWindow->Lock());
	SetControlText("txtctrl_reference", "English");
	SetControlText("txtctrl_language", "Deutsch");
	SetControlText("txtctrl_version", "01.00");
	SetControlText("txtctrl_appid", "korvane localeeditor locale");
	SetText("; #ID1:\n; Ok\nOk\n; #ID2:\n; Cancel\nAbbrechen\n; #ID3:\n; Continue\n\n");
	mWindow->Unlock();
	Settle();
	// The status line counts once the text rests: the picture shows it so.
	auto status = [this] {
		if (!mWindow->Lock())
			return std::string();
		std::string text = mWindow->StatusView()->Text();
		mWindow->Unlock();
		return text;
	};
	EXPECT_TRUE(WaitFor([&] { return status().find("2 of 3") != std::string::npos; })) << status();

	QWidget* top = nullptr;
	for (QWidget* widget : QApplication::topLevelWidgets()) {
		if (widget->windowTitle().startsWith("Korvane Locale Editor") && widget->isVisible())
			top = widget;
	}
	ASSERT_NE(top, nullptr);
	QPixmap image = top->grab();
	EXPECT_EQ(image.width(), 451);
	EXPECT_EQ(image.height(), 351);
	const char* buildDir = getenv("LE_BUILD_DIR");
	std::string path = std::string(buildDir != nullptr ? buildDir : ".") + "/window.png";
	EXPECT_TRUE(image.save(QString::fromStdString(path))) << path;
}
