// Showing a reference in the editor window: the two fields, the blocks in
// the text, their colouring, and references read from files.

#include "ReferenceTestSupport.h"

#include <File.h>
#include <Font.h>
#include <TextControl.h>
#include <TextView.h>
#include <Window.h>

#include "LocaleFile.h"
#include "ReferenceDisplay.h"
#include "ZTLETextView.h"

namespace {

BMessage Reference(const char* language, const char* appID, std::vector<const char*> texts)
{
	BMessage reference;
	if (language != nullptr)
		reference.AddString("zt:language", language);
	if (appID != nullptr)
		reference.AddString("zt:app_id", appID);
	for (const char* text : texts)
		reference.AddString("zt:text", text);
	return reference;
}

const char* const kWorkedResult =
    "; #ID1:\n; Ok\nOk\n; #ID2:\n; Cancel\nAbbrechen\n; #ID3:\n; Continue\n\n";

} // namespace

using ReferenceDisplay = ReferenceWindowTest;

TEST_F(ReferenceDisplay, EmptyReferenceBlanksBothFieldsAndLeavesTheText)
{
	Control("txtctrl_reference")->SetText("German");
	Control("txtctrl_appid")->SetText("typed id");
	SetText("Ok\n; mine\nAbbrechen\n");

	BMessage empty;
	mWindow->ReferenceSet(&empty);

	EXPECT_EQ(ControlText("txtctrl_reference"), " ");
	EXPECT_EQ(ControlText("txtctrl_appid"), " ");
	EXPECT_EQ(Text(), "Ok\n; mine\nAbbrechen\n");
}

TEST_F(ReferenceDisplay, WorkedExampleShowsLanguageIdAndBlocks)
{
	Control("txtctrl_appid")->SetText("typed id");
	SetText("Ok\nAbbrechen\n");

	BMessage reference = Reference("English", "some app", {"Ok", "Cancel", "Continue"});
	mWindow->ReferenceSet(&reference);

	EXPECT_EQ(ControlText("txtctrl_reference"), "English");
	EXPECT_EQ(ControlText("txtctrl_appid"), "some app");
	EXPECT_EQ(Text(), kWorkedResult);

	// Applying it again changes nothing.
	mWindow->ReferenceSet(&reference);
	EXPECT_EQ(Text(), kWorkedResult);
}

TEST_F(ReferenceDisplay, AReferenceAppliedByMistakeIsUndoneInOneStep)
{
	SetText("Ok\n; my own notes\nAbbrechen\n");
	// Let the event loop end the turn, so the text above is history of its own.
	Settle();
	BMessage reference = Reference("English", "id", {"Ok", "Cancel", "Continue"});
	mWindow->ReferenceSet(&reference);
	ASSERT_EQ(Text(), kWorkedResult);
	Settle();

	ASSERT_TRUE(TextView()->CanUndo());
	TextView()->Undo();
	EXPECT_EQ(Text(), "Ok\n; my own notes\nAbbrechen\n");
}

TEST_F(ReferenceDisplay, OnlyTheMissingFieldIsBlanked)
{
	BMessage languageOnly = Reference("Deutsch", nullptr, {});
	mWindow->ReferenceSet(&languageOnly);
	EXPECT_EQ(ControlText("txtctrl_reference"), "Deutsch");
	EXPECT_EQ(ControlText("txtctrl_appid"), " ");

	BMessage idOnly = Reference(nullptr, "an id", {});
	mWindow->ReferenceSet(&idOnly);
	EXPECT_EQ(ControlText("txtctrl_reference"), " ");
	EXPECT_EQ(ControlText("txtctrl_appid"), "an id");
}

TEST_F(ReferenceDisplay, BlocksAreColouredAsCommentsAndTranslationsAreNot)
{
	SetText("Ok\nAbbrechen\n");
	BMessage reference = Reference("English", "id", {"Ok", "Cancel", "Continue"});
	mWindow->ReferenceSet(&reference);
	ASSERT_EQ(Text(), kWorkedResult);

	std::string text = Text();
	auto colourAt = [&](const std::string& what) {
		BFont font;
		rgb_color colour = {1, 2, 3, 4};
		TextView()->GetFontAndColor(static_cast<int32>(text.find(what)), &font, &colour);
		return colour;
	};
	EXPECT_EQ(colourAt("; #ID2:"), ZTLETextView::Red);
	EXPECT_EQ(colourAt("; Continue"), ZTLETextView::Red);
	EXPECT_EQ(colourAt("Abbrechen"), ZTLETextView::Black);
}

TEST_F(ReferenceDisplay, AMissingFieldControlIsSkippedAndTheTextStillChanges)
{
	BTextControl* appID = Control("txtctrl_appid");
	ASSERT_NE(appID, nullptr);
	appID->SetName("renamed");
	SetText("Ok\nAbbrechen\n");

	BMessage reference = Reference("English", "id", {"Ok", "Cancel", "Continue"});
	mWindow->ReferenceSet(&reference);

	EXPECT_EQ(std::string(appID->Text()), "");
	EXPECT_EQ(ControlText("txtctrl_reference"), "English");
	EXPECT_EQ(Text(), kWorkedResult);
	appID->SetName("txtctrl_appid");
}

TEST_F(ReferenceDisplay, ALocaleFileIsShownAsReferenceWithoutItsVersion)
{
	ScratchFolder folder;
	BMessage locale;
	const char* texts[] = {"Ok", "Cancel", "Continue"};
	LocaleFile::Build(&locale, "02.00", "file id", "English", texts, 3);
	ASSERT_EQ(LocaleFile::Write((folder / "en.locale").c_str(), locale, "English"), B_OK);
	Control("txtctrl_version")->SetText("01.07");
	SetText("Ok\nAbbrechen\n");

	BFile file((folder / "en.locale").c_str(), B_READ_ONLY);
	mWindow->ReferenceLoadFile(&file);

	EXPECT_EQ(ControlText("txtctrl_reference"), "English");
	EXPECT_EQ(ControlText("txtctrl_appid"), "file id");
	EXPECT_EQ(ControlText("txtctrl_version"), "01.07");
	EXPECT_EQ(Text(), kWorkedResult);
}

TEST_F(ReferenceDisplay, AFileThatIsNoLocaleFileBlanksTheFieldsAndKeepsTheText)
{
	ScratchFolder folder;
	FILE* out = fopen((folder / "notes.txt").c_str(), "w");
	ASSERT_NE(out, nullptr);
	fputs("; #ID1:\nnot a flattened message\n", out);
	fclose(out);
	Control("txtctrl_reference")->SetText("English");
	Control("txtctrl_appid")->SetText("typed id");
	SetText("Ok\nAbbrechen\n");

	BFile file((folder / "notes.txt").c_str(), B_READ_ONLY);
	mWindow->ReferenceLoadFile(&file);
	BFile missing((folder / "absent").c_str(), B_READ_ONLY);
	mWindow->ReferenceLoadFile(&missing);
	mWindow->ReferenceLoadFile(nullptr);

	EXPECT_EQ(ControlText("txtctrl_reference"), " ");
	EXPECT_EQ(ControlText("txtctrl_appid"), " ");
	EXPECT_EQ(Text(), "Ok\nAbbrechen\n");
}

namespace {

// Counts the edits that reach the view's hooks.
class CountingTextView : public BTextView
{
public:
	CountingTextView()
	    : BTextView(BRect(0, 0, 300, 200), "counting", BRect(0, 0, 300, 200), B_FOLLOW_ALL,
	                B_WILL_DRAW)
	{
	}
	int32 inserts = 0;
	int32 deletes = 0;

protected:
	void InsertText(const char* text, int32 length, int32 offset,
	                const text_run_array* runs) override
	{
		inserts++;
		BTextView::InsertText(text, length, offset, runs);
	}
	void DeleteText(int32 from, int32 to) override
	{
		deletes++;
		BTextView::DeleteText(from, to);
	}
};

} // namespace

TEST(ReferenceDisplayEdits, AWholeReferenceReachesTheViewAsOneDeletionAndOneInsertion)
{
	BWindow* window =
	    new BWindow(BRect(0, 0, 300, 200), "edits", B_TITLED_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL, 0);
	CountingTextView* view = new CountingTextView;
	window->AddChild(view);
	ASSERT_TRUE(window->Lock());

	std::string text;
	BMessage first;
	BMessage second;
	for (int i = 1; i <= 500; i++) {
		text += "; #ID" + std::to_string(i) + ":\n; old " + std::to_string(i) + "\n  line " +
		        std::to_string(i) + "\n";
		first.AddString("zt:text", ("first " + std::to_string(i)).c_str());
		second.AddString("zt:text", ("second " + std::to_string(i)).c_str());
	}
	view->SetText(text.data(), static_cast<int32>(text.size()));
	view->inserts = view->deletes = 0;

	EXPECT_TRUE(ApplyReferenceTexts(view, &first));
	EXPECT_EQ(view->inserts, 1);
	EXPECT_EQ(view->deletes, 1);
	std::string once(view->Text(), view->TextLength());
	// By the markers: the reference lines change, the translations stay.
	EXPECT_NE(once.find("; #ID500:\n; first 500\n  line 500\n"), std::string::npos);

	// The same again touches nothing; another one is again one of each.
	EXPECT_FALSE(ApplyReferenceTexts(view, &first));
	EXPECT_EQ(view->inserts, 1);
	EXPECT_TRUE(ApplyReferenceTexts(view, &second));
	EXPECT_EQ(view->inserts, 2);
	EXPECT_EQ(view->deletes, 2);

	window->Quit();
}
