// Every label of the header rows shows whole in every shipped interface
// language at the window's minimum size: rendered offscreen, the columns just
// left of each field hold none of its label's ink. The renderings are kept
// beside the build as labels-<language>.png for people to look at. The
// status line's notice while a reference is fetched fits as well, and so do
// the labels and buttons of the find and Go to Entry panels.

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <cstdlib>
#include <string>

#include <Application.h>
#include <Button.h>
#include <Path.h>
#include <TextControl.h>
#include <View.h>
#include <Window.h>

#include "EditorMessages.h"
#include "EditorTestSupport.h"
#include "InterfaceLanguages.h"
#include "InterfaceText.h"
#include "LabelFit.h"
#include "StatusLine.h"
#include "TextFormat.h"
#include "Wait.h"
#include "ZTLEStatusView.h"
#include "ZTLocale.h"

namespace {

const char* const kControls[] = {"txtctrl_reference", "txtctrl_language", "txtctrl_version",
                                 "txtctrl_appid"};

std::string BuildDir()
{
	const char* dir = getenv("LE_BUILD_DIR");
	return dir != nullptr ? dir : ".";
}

} // namespace

class LabelFitTest : public EditorWindowTest
{
protected:
	void TearDown() override
	{
		EditorWindowTest::TearDown();
		// Back to the built-in texts for the tests after this one.
		SelectInterfaceLanguage(ZTLocale::GetInstance(), BPath(), BPath(), "English");
	}

	// A new window in language, at its minimum size.
	void Reopen(const char* language)
	{
		if (std::string(language) != "English") {
			BPath shipped((BuildDir() + "/locale").c_str());
			ASSERT_TRUE(
			    SelectInterfaceLanguage(ZTLocale::GetInstance(), shipped, BPath(), language))
			    << language;
		}
		if (mWindow->Lock())
			mWindow->Quit();
		mWindow = new RecordingWindow(mPrefs.get());
		ASSERT_TRUE(mWindow->Lock());
		mWindow->ResizeTo(100, 80);
		mWindow->Unlock();
		mWindow->Show();
		Settle();
	}

	QImage Grab(const char* titleStart = "Korvane Locale Editor")
	{
		for (QWidget* widget : QApplication::topLevelWidgets()) {
			if (widget->isVisible() && widget->windowTitle().startsWith(titleStart))
				return widget->grab().toImage();
		}
		return QImage();
	}

	// The application's window other than the editor's, titled title.
	BWindow* OtherWindow(const char* title)
	{
		for (int32 i = 0; i < be_app->CountWindows(); i++) {
			BWindow* window = be_app->WindowAt(i);
			if (window != mWindow && window->Title() != nullptr &&
			    std::string(window->Title()) == title)
				return window;
		}
		return nullptr;
	}

	// Dark pixels in the columns [from, to] of the control's rows.
	int InkBetween(const QImage& image, const BRect& frame, float from, float to)
	{
		int ink = 0;
		for (int x = (int)from; x <= (int)to; x++) {
			for (int y = (int)frame.top + 3; y <= (int)frame.bottom - 3; y++) {
				if (x >= 0 && y >= 0 && x < image.width() && y < image.height() &&
				    qGray(image.pixel(x, y)) < 128)
					ink++;
			}
		}
		return ink;
	}
};

TEST_F(LabelFitTest, EveryLabelShowsWholeInEveryShippedLanguageAtTheMinimumSize)
{
	for (const char* language : {"English", "Deutsch", "Français", "Español"}) {
		SCOPED_TRACE(language);
		Reopen(language);
		ASSERT_TRUE(mWindow->Lock());
		float minWidth, maxWidth, minHeight, maxHeight;
		mWindow->GetSizeLimits(&minWidth, &maxWidth, &minHeight, &maxHeight);
		EXPECT_EQ(mWindow->Bounds().Width(), minWidth);
		const float top = View("bkg_view")->Frame().top;
		struct Checked
		{
			std::string label;
			BRect frame;
			float divider;
		};
		std::vector<Checked> checked;
		for (const char* name : kControls) {
			BTextControl* control = Control(name);
			ASSERT_NE(control, nullptr) << name;
			BRect frame = FrameInBackground(control);
			frame.OffsetBy(0, top);
			checked.push_back({control->Label(), frame, control->Divider()});
			// The fields keep room for their text; the version field keeps
			// its own width.
			const float room = std::string(name) == "txtctrl_version"
			                       ? LabelFit::kVersionRight - 10 - LabelFit::kDivider
			                       : LabelFit::kMinFieldWidth;
			EXPECT_GE(frame.Width() - control->Divider(), room - 1) << name;
		}
		mWindow->Unlock();
		Settle();

		QImage image = Grab();
		ASSERT_FALSE(image.isNull());
		const std::string path = BuildDir() + "/labels-" + language + ".png";
		EXPECT_TRUE(image.save(QString::fromStdString(path))) << path;
		for (const Checked& each : checked) {
			// The label has ink of its own, and none in the last columns
			// before its field: it ends before the divider, not at it.
			const float left = each.frame.left;
			EXPECT_GT(InkBetween(image, each.frame, left + 2, left + 12), 0) << each.label;
			EXPECT_EQ(
			    InkBetween(image, each.frame, left + each.divider - 3, left + each.divider - 1), 0)
			    << each.label << " is cut at its field";
		}
	}
}

// While a reference is fetched the status line says whom the window asks; the
// notice, with an application name of the usual length, fits the line at the
// minimum size. Kept as asking-<language>.png.
TEST_F(LabelFitTest, TheAskingNoticeFitsTheStatusLineInEveryShippedLanguage)
{
	for (const char* language : {"English", "Deutsch", "Français", "Español"}) {
		SCOPED_TRACE(language);
		Reopen(language);
		const char* format = ZTLocale::GetInstance()->Text(kTextAskingApplication);
		ASSERT_NE(format, nullptr);
		const std::string notice = FillPlaceholders(format, "%s", {"LocaleEditor"});
		EXPECT_NE(notice.find("LocaleEditor"), std::string::npos) << notice;
		ASSERT_TRUE(mWindow->Lock());
		ZTLEStatusView* status = mWindow->StatusView();
		ASSERT_NE(status, nullptr);
		mWindow->Status()->ActivityStarted(notice);
		EXPECT_EQ(status->Text(), notice);
		EXPECT_LT(status->StringWidth(notice.c_str()) + 12, status->Bounds().Width()) << notice;
		mWindow->Unlock();
		Settle();

		QImage image = Grab();
		ASSERT_FALSE(image.isNull());
		const std::string path = BuildDir() + "/asking-" + language + ".png";
		EXPECT_TRUE(image.save(QString::fromStdString(path))) << path;
	}
}

// The find panel (with "Replace with") and Go to Entry, laid out from their
// labels: every label ends before its field, every button holds its label,
// nothing overlaps and all lies inside the panel. Kept as
// panel-<title>-<language>.png.
TEST_F(LabelFitTest, ThePanelsShowTheirLabelsAndButtonsWholeInEveryShippedLanguage)
{
	for (const char* language : {"English", "Deutsch", "Français", "Español"}) {
		SCOPED_TRACE(language);
		Reopen(language);
		ZTLocale* locale = ZTLocale::GetInstance();
		BMessage replace(kMsgFindPanel);
		replace.AddBool(kFieldReplaceText, true);
		const std::pair<BMessage, InterfaceText> panels[] = {
		    {replace, kTextFind}, {BMessage(kMsgGoToEntryPanel), kTextGoToEntry}};
		for (const auto& [show, titleText] : panels) {
			const std::string title = locale->Text(titleText);
			SCOPED_TRACE(title);
			Dispatch(show);
			BWindow* panel = nullptr;
			ASSERT_TRUE(WaitFor([&] { return (panel = OtherWindow(title.c_str())) != nullptr; }));
			ASSERT_TRUE(WaitFor([&] { return !Grab(title.c_str()).isNull(); }));

			ASSERT_TRUE(panel->Lock());
			BView* background = panel->FindView("input_bkg");
			ASSERT_NE(background, nullptr);
			const BRect bounds = background->Bounds();
			std::vector<BRect> frames;
			struct Label
			{
				BRect frame;
				float divider;
				std::string text;
			};
			std::vector<Label> labels;
			int buttons = 0;
			for (int32 i = 0; i < background->CountChildren(); i++) {
				BView* child = background->ChildAt(i);
				const BRect frame = child->Frame();
				frames.push_back(frame);
				EXPECT_TRUE(bounds.Contains(frame)) << child->Name();
				if (BTextControl* control = dynamic_cast<BTextControl*>(child)) {
					EXPECT_LT(control->StringWidth(control->Label()) + 4, control->Divider())
					    << control->Label();
					// Room to type beside the label.
					EXPECT_GT(frame.Width() - control->Divider(), 150) << control->Label();
					labels.push_back({frame, control->Divider(), control->Label()});
				} else if (BButton* button = dynamic_cast<BButton*>(child)) {
					EXPECT_LT(button->StringWidth(button->Label()) + 16, frame.Width())
					    << button->Label();
					buttons++;
				}
			}
			EXPECT_EQ(buttons, titleText == kTextFind ? 3 : 1);
			for (size_t a = 0; a < frames.size(); a++) {
				for (size_t b = a + 1; b < frames.size(); b++)
					EXPECT_FALSE(frames[a].Intersects(frames[b])) << a << " and " << b;
			}
			panel->Unlock();

			const QImage image = Grab(title.c_str());
			const std::string path = BuildDir() + "/panel-" + title + "-" + language + ".png";
			EXPECT_TRUE(image.save(QString::fromStdString(path))) << path;
			for (const Label& label : labels) {
				const float left = label.frame.left;
				EXPECT_GT(InkBetween(image, label.frame, left + 2, left + 12), 0) << label.text;
				EXPECT_EQ(InkBetween(image, label.frame, left + label.divider - 3,
				                     left + label.divider - 1),
				          0)
				    << label.text << " is cut at its field";
			}
			ASSERT_TRUE(panel->Lock());
			panel->Hide();
			panel->Unlock();
		}
	}
}

TEST(LabelFit, KeepsTheOriginalGeometryWhereTheLabelsFitAndGrowsWhereTheyDoNot)
{
	LabelFit fits({40, 50, 40, 90});
	EXPECT_EQ(fits.rowDivider, LabelFit::kDivider);
	EXPECT_EQ(fits.versionDivider, LabelFit::kDivider);
	EXPECT_EQ(fits.versionRight, LabelFit::kVersionRight);
	EXPECT_EQ(fits.appIDLeft, 170);
	EXPECT_EQ(fits.minWidth, LabelFit::kMinWidth);

	LabelFit wide({100, 50, 80, 160});
	EXPECT_GT(wide.rowDivider, 100);
	EXPECT_GT(wide.versionDivider, 80);
	EXPECT_EQ(wide.versionRight - wide.versionDivider, LabelFit::kVersionRight - LabelFit::kDivider)
	    << "the version field keeps its width";
	EXPECT_EQ(wide.appIDLeft, wide.versionRight + LabelFit::kAppIDGap);
	EXPECT_GE(wide.minWidth, wide.appIDLeft + wide.appIDDivider + LabelFit::kMinFieldWidth);
	EXPECT_GT(wide.minWidth, LabelFit::kMinWidth);
}

// The unsaved-work question, as the real alert shows it: its text and its
// three buttons lie whole inside the alert in every shipped language. Kept
// as question-<language>.png.
TEST_F(LabelFitTest, TheUnsavedQuestionShowsItsButtonsWholeInEveryShippedLanguage)
{
	for (const char* language : {"English", "Deutsch", "Français", "Español"}) {
		SCOPED_TRACE(language);
		Reopen(language);
		// No test answer: the alert is shown as the user sees it.
		BPrivate::ScopedAlertResponder shown{BPrivate::alert_responder()};
		ASSERT_TRUE(mWindow->Lock());
		SetText("unsaved\n");
		mWindow->Unlock();
		Dispatch(kMsgNewFile);
		BWindow* alert = nullptr;
		ASSERT_TRUE(WaitFor([&] { return (alert = OtherWindow("Locale")) != nullptr; }));
		ASSERT_TRUE(WaitFor([&] { return !Grab("Locale").isNull(); }));

		ASSERT_TRUE(alert->Lock());
		const BRect bounds = alert->Bounds();
		for (int32 i = 0; i < 3; i++) {
			BButton* button =
			    dynamic_cast<BButton*>(alert->FindView(("button" + std::to_string(i)).c_str()));
			ASSERT_NE(button, nullptr) << i;
			const BRect frame = button->Frame();
			EXPECT_GE(frame.left, bounds.left) << button->Label();
			EXPECT_LE(frame.right, bounds.right) << button->Label();
			EXPECT_LT(button->StringWidth(button->Label()) + 8, frame.Width()) << button->Label();
		}
		alert->Unlock();
		const QImage image = Grab("Locale");
		const std::string path = BuildDir() + "/question-" + language + ".png";
		EXPECT_TRUE(image.save(QString::fromStdString(path))) << path;

		// Closing it answers Cancel: the text stays.
		ASSERT_TRUE(alert->Lock());
		alert->Quit();
		Settle();
		EXPECT_EQ(Text(), "unsaved\n");
	}
}
