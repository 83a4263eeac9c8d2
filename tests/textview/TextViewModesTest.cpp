// Single-line views for text controls, changes made behind the view's back,
// and positions on screen.
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QTest>

#include <gtest/gtest.h>

#include "TextViewPrivate.h"
#include "TextViewTestSupport.h"
#include "ViewPrivate.h"

using BPrivate::TextViewAccess;

TEST(TextViewModes, SingleLineViewsKeepOneLine)
{
	std::unique_ptr<BTextView> view(TextViewAccess::CreateSingleLine(BRect(0, 0, 99, 20), "in"));
	ASSERT_TRUE(TextViewAccess::IsSingleLine(view.get()));
	EXPECT_FALSE(view->DoesWordWrap());
	int entered = 0;
	int changed = 0;
	TextViewAccess::SetEnterHandler(view.get(), [&] { entered++; });
	TextViewAccess::SetChangeHandler(view.get(), [&] { changed++; });

	view->SetText("one\ntwo");
	EXPECT_STREQ(view->Text(), "one two");
	EXPECT_EQ(changed, 1);
	int32 start, end;
	view->GetSelection(&start, &end);
	EXPECT_EQ(start, 7); // the caret at the end, as in any text field

	QWidget* widget = BPrivate::ViewAccess::Widget(view.get());
	QTest::keyClick(widget, Qt::Key_Return);
	QTest::keyClick(widget, Qt::Key_Enter);
	EXPECT_EQ(entered, 2);
	EXPECT_STREQ(view->Text(), "one two");

	QApplication::clipboard()->setText(QStringLiteral("a\r\nb\nc"));
	view->Paste();
	EXPECT_STREQ(view->Text(), "one twoa b c");
	QTest::keyClicks(widget, "!");
	EXPECT_STREQ(view->Text(), "one twoa b c!");
	EXPECT_EQ(changed, 3);

	// However long, it stays one line.
	view->SetText(std::string(500, 'w').c_str());
	EXPECT_EQ(view->CountLines(), 1);
}

TEST(TextViewModes, InputMethodCommitsReachTheHooksAndReplaceAroundTheCaret)
{
	RecordingTextView view;
	view.SetText("keep this\nand that\n");
	view.Select(9, 9); // after "this"
	view.calls.clear();
	QWidget* widget = BPrivate::ViewAccess::Widget(&view);

	// Composing shows text without changing the view's own.
	QInputMethodEvent compose(QStringLiteral("e"), {});
	QApplication::sendEvent(widget, &compose);
	EXPECT_EQ(view.Content(), "keep this\nand that\n");
	EXPECT_TRUE(view.calls.empty());

	// The commit replaces the two characters before the caret.
	QInputMethodEvent commit;
	commit.setCommitString(QStringLiteral("\xE9se"), -2, 2);
	QApplication::sendEvent(widget, &commit);
	EXPECT_EQ(view.Content(), "keep th\xC3\xA9se\nand that\n");
	ASSERT_FALSE(view.calls.empty());
	std::string replayed = "keep this\nand that\n";
	for (const RecordingTextView::Call& call : view.calls) {
		if (call.kind == 'D')
			replayed.erase((size_t)call.from, (size_t)(call.to - call.from));
		else
			replayed.insert((size_t)call.from, call.bytes);
	}
	EXPECT_EQ(replayed, view.Content());
	int32 start, end;
	view.GetSelection(&start, &end);
	EXPECT_EQ(start, 11);
	EXPECT_EQ(end, 11);
	EXPECT_EQ(widget->inputMethodQuery(Qt::ImSurroundingText).toString(),
	          QStringLiteral("keep th\xE9se"));
	EXPECT_EQ(widget->inputMethodQuery(Qt::ImCursorPosition).toInt(), 10);

	// One undo step takes it back.
	view.Undo();
	EXPECT_EQ(view.Content(), "keep this\nand that\n");
}

TEST(TextViewModes, PointsAndOffsetsMatchOnScreen)
{
	RecordingTextView view(BRect(0, 0, 299, 199));
	view.SetTextRect(BRect(5, 5, 294, 194));
	view.SetText("first line\nsecond \xC3\xA9 line\nthird");
	QWidget* widget = BPrivate::ViewAccess::Widget(&view);
	widget->show();
	QApplication::processEvents();
	for (int32 offset : {0, 4, 11, 18, 20, 28}) {
		float height = 0;
		const BPoint point = view.PointAt(offset, &height);
		EXPECT_GT(height, 0);
		EXPECT_GE(point.x, 5);
		EXPECT_EQ(view.OffsetAt(BPoint(point.x + 1, point.y + height / 2)), offset)
		    << "offset " << offset;
		EXPECT_EQ(view.LineAt(BPoint(point.x + 1, point.y + height / 2)), view.LineAt(offset));
	}
	widget->hide();
}
