// The searches of the find panel on a text view of their own: what each step
// selects, changes and says, with the English texts.
#include <gtest/gtest.h>

#include <string>

#include <Message.h>
#include <TextView.h>
#include <Window.h>

#include "EditorMessages.h"
#include "FindReplace.h"
#include "ZTLocale.h"

namespace {

const char kText[] = "; #ID1:\n; Open\nOpen it\n; #ID2:\n; Close\nopen\n";

} // namespace

TEST(FindReplace, StepsSelectChangeAndSayWhatTheyDidAndLeaveCommentLinesAlone)
{
	BWindow* window =
	    new BWindow(BRect(0, 0, 300, 200), "find", B_TITLED_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL, 0);
	BTextView* view = new BTextView(BRect(0, 0, 300, 200), "text", BRect(0, 0, 300, 200),
	                                B_FOLLOW_ALL, B_WILL_DRAW);
	window->AddChild(view);
	ASSERT_TRUE(window->Lock());
	view->SetText(kText);

	FindReplace find(ZTLocale::GetInstance());
	BMessage fields;
	fields.AddString(kFieldFindText, "Open");
	fields.AddString(kFieldReplaceText, " ");
	find.TakeFields(&fields);
	ASSERT_TRUE(find.HasText());

	// Without match case the reference line's "Open" comes first, and is
	// said to lie in a comment.
	view->Select(0, 0);
	FindReplace::Step step = find.FindNext(view, true);
	int32 start = 0, end = 0;
	view->GetSelection(&start, &end);
	EXPECT_TRUE(step.found);
	EXPECT_EQ(start, (int32)std::string(kText).find("Open"));
	EXPECT_NE(step.status.find("comment"), std::string::npos) << step.status;

	// Replace there changes nothing and goes on to the translation line.
	step = find.ReplaceSelection(view);
	EXPECT_EQ(std::string(view->Text()), kText);
	EXPECT_NE(step.status.find("Not replaced"), std::string::npos) << step.status;
	view->GetSelection(&start, &end);
	EXPECT_EQ(start, (int32)std::string(kText).find("Open it"));

	// Replacing the translation's first word by a space keeps it a
	// translation line: the space is written as the save reads it back.
	find.ReplaceSelection(view);
	EXPECT_NE(std::string(view->Text()).find("\n\\x20 it\n"), std::string::npos) << view->Text();

	// Replace All takes the other translation and leaves both references.
	step = find.ReplaceAll(view);
	EXPECT_EQ(std::string(view->Text()), "; #ID1:\n; Open\n\\x20 it\n; #ID2:\n; Close\n\\x20\n");
	EXPECT_EQ(step.status, "1 replaced; 1 in comment lines left alone");

	// With match case "OPEN" no longer matches the reference's "Open".
	BMessage upper;
	upper.AddString(kFieldFindText, "OPEN");
	find.TakeFields(&upper);
	view->Select(0, 0);
	EXPECT_TRUE(find.FindNext(view, true).found);
	find.ToggleMatchCase();
	step = find.FindNext(view, true);
	EXPECT_FALSE(step.found);
	EXPECT_NE(step.status.find("OPEN"), std::string::npos) << step.status;

	window->Quit();
}
