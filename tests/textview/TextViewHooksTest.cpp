// The change hooks fire for every change, whatever its source, after the
// change is in the text; and undo walks back through all of them.
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QPlainTextEdit>
#include <QTest>

#include <gtest/gtest.h>

#include "AppDefs.h"
#include "Message.h"
#include "TextViewTestSupport.h"
#include "ViewPrivate.h"

namespace {

QWidget* widget_of(BTextView* view)
{
	return BPrivate::ViewAccess::Widget(view);
}

// Every recorded call saw its own change already made.
void expect_hooks_after_change(const RecordingTextView& view)
{
	for (const RecordingTextView::Call& call : view.calls) {
		if (call.kind == 'I') {
			ASSERT_LE((size_t)call.to, call.textAfter.size());
			EXPECT_EQ(call.textAfter.substr((size_t)call.from, call.bytes.size()), call.bytes);
		}
	}
}

} // namespace

TEST(TextViewHooks, ProgramEditsCallTheHooksWhichMakeTheChange)
{
	RecordingTextView view;
	view.SetText("abc");
	ASSERT_EQ(view.calls.size(), 1u);
	EXPECT_EQ(view.calls[0].kind, 'I');
	EXPECT_EQ(view.calls[0].bytes, "abc");
	EXPECT_EQ(view.calls[0].textAfter, "abc");

	view.SetText("xy"); // replaces: delete everything, then insert
	ASSERT_EQ(view.calls.size(), 3u);
	EXPECT_EQ(view.calls[1].kind, 'D');
	EXPECT_EQ(view.calls[1].from, 0);
	EXPECT_EQ(view.calls[1].to, 3);
	EXPECT_EQ(view.calls[1].textAfter, "");
	EXPECT_EQ(view.calls[2].textAfter, "xy");

	view.Insert(1, "\xC3\xA9", 2);
	view.Delete(0, 1);
	ASSERT_EQ(view.calls.size(), 5u);
	EXPECT_EQ(view.calls[3].from, 1);
	EXPECT_EQ(view.calls[3].to, 3);
	EXPECT_EQ(view.calls[4].kind, 'D');
	EXPECT_EQ(view.Content(), "\xC3\xA9y");
	expect_hooks_after_change(view);
}

TEST(TextViewHooks, TypingCallsInsertTextPerKeyWithByteOffsets)
{
	RecordingTextView view;
	view.SetText("\xC3\xA9\n");
	view.Select(2, 2);
	view.calls.clear();
	QTest::keyClicks(widget_of(&view), "ab");
	ASSERT_EQ(view.calls.size(), 2u);
	EXPECT_EQ(view.calls[0].kind, 'I');
	EXPECT_EQ(view.calls[0].from, 2);
	EXPECT_EQ(view.calls[0].bytes, "a");
	EXPECT_EQ(view.calls[1].from, 3);
	EXPECT_EQ(view.Content(), "\xC3\xA9"
	                          "ab\n");

	QTest::keyClick(widget_of(&view), Qt::Key_Backspace);
	ASSERT_EQ(view.calls.size(), 3u);
	EXPECT_EQ(view.calls[2].kind, 'D');
	EXPECT_EQ(view.calls[2].from, 3);
	EXPECT_EQ(view.calls[2].to, 4);

	// Typing over a selection: the deletion first, then the insertion.
	view.Select(0, 3);
	QTest::keyClicks(widget_of(&view), "Z");
	ASSERT_EQ(view.calls.size(), 5u);
	EXPECT_EQ(view.calls[3].kind, 'D');
	EXPECT_EQ(view.calls[3].from, 0);
	EXPECT_EQ(view.calls[3].to, 3);
	EXPECT_EQ(view.calls[4].kind, 'I');
	EXPECT_EQ(view.Content(), "Z\n");
	expect_hooks_after_change(view);
}

TEST(TextViewHooks, InputMethodsReportOnlyTheCommittedText)
{
	RecordingTextView view;
	view.SetText("ab");
	view.Select(1, 1);
	view.calls.clear();
	// Composing shows text that is not part of the text yet.
	QInputMethodEvent composing(QStringLiteral("u"), {});
	QApplication::sendEvent(widget_of(&view), &composing);
	EXPECT_TRUE(view.calls.empty());
	EXPECT_EQ(view.Content(), "ab");
	QInputMethodEvent commit;
	commit.setCommitString(QString::fromUtf8("\xC3\xBC"));
	QApplication::sendEvent(widget_of(&view), &commit);
	ASSERT_EQ(view.calls.size(), 1u);
	EXPECT_EQ(view.calls[0].from, 1);
	EXPECT_EQ(view.calls[0].bytes, "\xC3\xBC");
	EXPECT_EQ(view.Content(), "a\xC3\xBC"
	                          "b");
}

TEST(TextViewHooks, EnterTypesALineFeedEvenWithShift)
{
	RecordingTextView view;
	view.SetText("ab");
	view.Select(1, 1);
	QTest::keyClick(widget_of(&view), Qt::Key_Return);
	QTest::keyClick(widget_of(&view), Qt::Key_Return, Qt::ShiftModifier);
	EXPECT_EQ(view.Content(), "a\n\nb");
	EXPECT_EQ(view.LineAt(3), 2);
}

TEST(TextViewHooks, PasteCutAndEditMessagesGoThroughTheHooks)
{
	RecordingTextView view;
	view.SetText("one two");
	QApplication::clipboard()->setText(QString::fromUtf8("\xC3\xBC"
	                                                     "ber\nzwei"));
	view.Select(4, 7);
	view.calls.clear();
	view.Paste();
	EXPECT_EQ(view.Content(), "one \xC3\xBC"
	                          "ber\nzwei");
	ASSERT_EQ(view.calls.size(), 2u);
	EXPECT_EQ(view.calls[0].kind, 'D');
	EXPECT_EQ(view.calls[1].bytes, "\xC3\xBC"
	                               "ber\nzwei");

	view.Select(0, 4);
	BMessage cut(B_CUT);
	view.MessageReceived(&cut);
	EXPECT_EQ(view.Content(), "\xC3\xBC"
	                          "ber\nzwei");
	EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("one "));
	EXPECT_EQ(view.calls.back().kind, 'D');

	// Copy takes the view's own bytes, carriage returns included.
	view.SetText("a\rb");
	view.SelectAll();
	BMessage copy(B_COPY);
	view.MessageReceived(&copy);
	EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("a\rb"));
	expect_hooks_after_change(view);
}

TEST(TextViewHooks, UndoAndRedoWalkManyStepsThroughTheHooks)
{
	RecordingTextView view;
	view.SetText("start\n");
	view.Select(6, 6);
	QTest::keyClicks(widget_of(&view), "one");
	QTest::keyClick(widget_of(&view), Qt::Key_Return);
	QTest::keyClicks(widget_of(&view), "two");
	view.Insert(0, "# ", 2); // the program's own edit is a step too
	EXPECT_EQ(view.Content(), "# start\none\ntwo");
	ASSERT_TRUE(view.CanUndo());

	view.calls.clear();
	view.Undo();
	EXPECT_EQ(view.Content(), "start\none\ntwo");
	ASSERT_EQ(view.calls.size(), 1u);
	EXPECT_EQ(view.calls[0].kind, 'D');
	QTest::keyClick(widget_of(&view), Qt::Key_Z, Qt::ControlModifier);
	EXPECT_EQ(view.Content(), "start\none\n");
	BMessage undo(B_UNDO);
	view.MessageReceived(&undo);
	EXPECT_EQ(view.Content(), "start\n");
	EXPECT_FALSE(view.CanUndo());
	view.Undo(); // nothing left: no change
	EXPECT_EQ(view.Content(), "start\n");

	QTest::keyClick(widget_of(&view), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
	EXPECT_EQ(view.Content(), "start\none\n");
	BMessage redo(B_REDO);
	view.MessageReceived(&redo);
	view.Redo();
	EXPECT_EQ(view.Content(), "# start\none\ntwo");
	EXPECT_FALSE(view.CanRedo());

	// A new edit after undoing forgets what could be redone.
	view.Undo();
	view.Insert(0, "!", 1);
	EXPECT_FALSE(view.CanRedo());
	expect_hooks_after_change(view);
}

TEST(TextViewHooks, ProgramEditsOfOneTurnUndoAsOneStep)
{
	RecordingTextView view;
	view.SetText("a\nb\n");
	view.Insert(0, "; one\n", 6);
	view.Delete(6, 8);
	view.Insert(6, "; two\n", 6);
	EXPECT_EQ(view.Content(), "; one\n; two\nb\n");
	QApplication::processEvents(); // the turn ends
	view.Insert(0, "x", 1);
	view.Undo();
	EXPECT_EQ(view.Content(), "; one\n; two\nb\n");
	view.Undo();
	EXPECT_EQ(view.Content(), "a\nb\n");
	EXPECT_FALSE(view.CanUndo()); // SetText started the history
}

TEST(TextViewHooks, NoUndoKeepsNoHistory)
{
	RecordingTextView view;
	view.SetDoesUndo(false);
	EXPECT_FALSE(view.DoesUndo());
	view.SetText("abc");
	view.Insert(3, "d", 1);
	EXPECT_FALSE(view.CanUndo());
	view.Undo();
	EXPECT_EQ(view.Content(), "abcd");
}

namespace {

// Breaks the rule and edits from inside its hook.
class MeddlingTextView : public RecordingTextView
{
protected:
	void InsertText(const char* text, int32 length, int32 offset,
	                const text_run_array* runs) override
	{
		RecordingTextView::InsertText(text, length, offset, runs);
		Insert(0, "MEDDLE", 6);
		Delete(0, 1);
		SetText("gone");
	}
};

} // namespace

TEST(TextViewHooks, EditsFromInsideAHookAreIgnored)
{
	MeddlingTextView view;
	view.SetText("abc");
	view.Select(3, 3);
	QTest::keyClicks(BPrivate::ViewAccess::Widget(&view), "d");
	EXPECT_EQ(view.Content(), "abcd");
}

TEST(TextViewHooks, NotEditableRefusesTypingButNotTheProgram)
{
	RecordingTextView view;
	view.SetText("abc");
	view.MakeEditable(false);
	EXPECT_FALSE(view.IsEditable());
	view.Select(3, 3);
	QTest::keyClicks(widget_of(&view), "xyz");
	view.Paste();
	EXPECT_EQ(view.Content(), "abc");
	view.Insert(3, "d", 1);
	EXPECT_EQ(view.Content(), "abcd");
	view.MakeEditable(true);
	QTest::keyClicks(widget_of(&view), "e");
	EXPECT_EQ(view.Content(), "abcde");
}
