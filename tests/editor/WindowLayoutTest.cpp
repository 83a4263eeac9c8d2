// The window as built: menus, the three rows of controls, the text view, and
// how they follow the window when it is resized.

#include <QApplication>
#include <QPixmap>
#include <QWidget>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

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

// The rows of controls above the locale text, each from left to right:
// a field that takes the room there is, then fixed-width buttons.
const std::vector<std::vector<const char*>> kRows = {
    {"txtctrl_reference", "btn_refload", "mnu_refget"},
    {"txtctrl_language", "btn_fileload", "btn_filesave"},
    {"txtctrl_version", "txtctrl_appid"},
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

	// How the views sit, whatever the window's size: the background below
	// the menu bar fills the window; the rows of controls lie inside it one
	// below the other, each from the left margin to the same margin on the
	// right, their controls side by side without overlapping, the buttons
	// of the first two rows in columns; below them the locale text runs
	// from the left edge to its scroll bar at the right edge, and the
	// status line spans the bottom under it. The window is locked.
	void ExpectControlsInPlace()
	{
		const BRect window = mWindow->Bounds();
		const float menuBottom = MenuBarBottom();
		ASSERT_GT(menuBottom, 0);
		BView* background = View("bkg_view");
		ASSERT_NE(background, nullptr);
		EXPECT_EQ(background->Frame(), BRect(0, menuBottom + 1, window.right, window.bottom))
		    << Describe(background->Frame());
		const BRect inside = background->Bounds();

		const float margin = View(kRows[0][0])->Frame().left;
		EXPECT_GT(margin, 0);
		float above = -1;
		for (const auto& row : kRows) {
			const BRect first = View(row.front())->Frame();
			EXPECT_GT(first.top, above) << row.front() << " overlaps the row above";
			EXPECT_EQ(first.left, margin) << row.front();
			EXPECT_EQ(View(row.back())->Frame().right, inside.right - margin) << row.back();
			float left = -1;
			for (const char* name : row) {
				BView* view = View(name);
				ASSERT_NE(view, nullptr) << name;
				EXPECT_EQ(view->Parent(), background) << name;
				const BRect frame = view->Frame();
				EXPECT_GT(frame.Width(), 0) << name << " " << Describe(frame);
				EXPECT_EQ(frame.top, first.top) << name;
				EXPECT_EQ(frame.bottom, first.bottom) << name;
				EXPECT_GT(frame.left, left) << name << " overlaps the control before it";
				left = frame.right;
			}
			above = first.bottom;
		}
		for (size_t column = 1; column < kRows[0].size(); column++) {
			const BRect top = View(kRows[0][column])->Frame();
			const BRect below = View(kRows[1][column])->Frame();
			EXPECT_EQ(top.left, below.left) << kRows[1][column];
			EXPECT_EQ(top.right, below.right) << kRows[1][column];
		}

		BTextView* text = LocaleTextView();
		ASSERT_NE(text, nullptr);
		const BRect textFrame = FrameInBackground(text);
		EXPECT_GT(textFrame.top, above) << Describe(textFrame);
		EXPECT_EQ(textFrame.left, 0);
		EXPECT_EQ(textFrame.right, inside.right - B_V_SCROLL_BAR_WIDTH) << Describe(textFrame);
		EXPECT_GT(textFrame.Height(), 0) << Describe(textFrame);
		BView* status = View(kStatusLineView);
		ASSERT_NE(status, nullptr);
		const BRect statusFrame = status->Frame();
		// Right under the text, no line lost between them.
		EXPECT_EQ(statusFrame.top, textFrame.bottom + 1) << Describe(statusFrame);
		EXPECT_EQ(statusFrame.left, 0);
		EXPECT_EQ(statusFrame.right, inside.right);
		EXPECT_EQ(statusFrame.bottom, inside.bottom) << Describe(statusFrame);
	}
};

TEST_F(WindowLayoutTest, FirstStartPlacesTheControlsInRowsAboveTheTextAndStatusLine)
{
	ASSERT_TRUE(mWindow->Lock());
	EXPECT_EQ(mWindow->Bounds(), BRect(0, 0, 450, 350));
	ExpectControlsInPlace();
	for (const auto& row : kRows) {
		for (const char* name : row)
			EXPECT_EQ(View(name)->Flags(), (uint32)(B_WILL_DRAW | B_NAVIGABLE)) << name;
	}
	ASSERT_NE(LocaleTextView(), nullptr);
	EXPECT_TRUE(LocaleTextView()->IsEditable());
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
	std::map<std::string, BRect> before;
	for (const auto& row : kRows) {
		for (const char* name : row)
			before[name] = View(name)->Frame();
	}
	const BRect textBefore = FrameInBackground(LocaleTextView());
	const float wider = 200, taller = 150;
	mWindow->ResizeTo(450 + wider, 350 + taller);
	mWindow->Unlock();
	Settle();
	ASSERT_TRUE(mWindow->Lock());
	ExpectControlsInPlace();
	// The buttons move with the right edge at their own size; the fields
	// that end at them, and the id field at the margin, take the room.
	for (const char* name : {"btn_refload", "mnu_refget", "btn_fileload", "btn_filesave"}) {
		const BRect frame = View(name)->Frame();
		EXPECT_EQ(frame, BRect(before[name].left + wider, before[name].top,
		                       before[name].right + wider, before[name].bottom))
		    << name << " " << Describe(frame);
	}
	for (const char* name : {"txtctrl_reference", "txtctrl_language", "txtctrl_appid"}) {
		const BRect frame = View(name)->Frame();
		EXPECT_EQ(frame.left, before[name].left) << name;
		EXPECT_EQ(frame.right, before[name].right + wider) << name;
	}
	EXPECT_EQ(View("txtctrl_version")->Frame(), before["txtctrl_version"]);
	const BRect text = FrameInBackground(LocaleTextView());
	EXPECT_EQ(text.top, textBefore.top);
	EXPECT_EQ(text.Width(), textBefore.Width() + wider);
	EXPECT_EQ(text.Height(), textBefore.Height() + taller);
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
