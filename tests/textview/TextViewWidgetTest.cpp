// What a user does in the text view's widget: keys that move and select,
// the mouse, the clipboard, drops, scrolling and painting.
#include <QAbstractScrollArea>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QImage>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include "TextViewTestSupport.h"
#include "ViewPrivate.h"

namespace {

QAbstractScrollArea* area_of(BTextView* view)
{
	return qobject_cast<QAbstractScrollArea*>(BPrivate::ViewAccess::Widget(view));
}

std::pair<int32, int32> selection_of(const BTextView& view)
{
	int32 start, end;
	view.GetSelection(&start, &end);
	return {start, end};
}

// A point in the left half of the character at offset, where a click puts
// the caret before it, in the widget's viewport. Its width is the view's
// own, from the font in use: a fixed step right of the left edge passes the
// middle of a narrow character (a space) in a narrower font than DejaVu.
QPoint point_of(BTextView& view, int32 offset)
{
	float height = 0;
	const BPoint left = view.PointAt(offset, &height);
	float width = 2; // at the end of the text: just inside the view
	int32 next = offset + 1;
	while (next < view.TextLength() && (view.ByteAt(next) & 0xC0) == 0x80)
		next++;
	if (offset < view.TextLength()) {
		const BPoint right = view.PointAt(next);
		if (right.y == left.y && right.x > left.x)
			width = right.x - left.x;
	}
	QAbstractScrollArea* area = area_of(&view);
	const QPoint inView((int)(left.x + width / 4), (int)(left.y + height / 2));
	return inView - area->viewport()->pos();
}

} // namespace

TEST(TextViewWidget, ArrowsHomeEndAndWordsMoveTheCaretAndShiftSelects)
{
	RecordingTextView view;
	view.SetText("alpha beta\nd\xC3\xA9j\xC3\xA0 vu\nend");
	QWidget* widget = BPrivate::ViewAccess::Widget(&view);
	view.Select(0, 0);

	QTest::keyClick(widget, Qt::Key_Right, Qt::ControlModifier);
	EXPECT_EQ(selection_of(view), std::make_pair(5, 5)); // end of "alpha"
	QTest::keyClick(widget, Qt::Key_End);
	EXPECT_EQ(selection_of(view), std::make_pair(10, 10)); // before the line feed
	QTest::keyClick(widget, Qt::Key_Right);
	EXPECT_EQ(selection_of(view), std::make_pair(11, 11));
	// Over two-byte characters one at a time.
	QTest::keyClick(widget, Qt::Key_Right);
	QTest::keyClick(widget, Qt::Key_Right);
	EXPECT_EQ(selection_of(view), std::make_pair(14, 14));
	QTest::keyClick(widget, Qt::Key_Left, Qt::ShiftModifier);
	EXPECT_EQ(selection_of(view), std::make_pair(12, 14));
	// Down keeps the column roughly; Home goes to the line start.
	QTest::keyClick(widget, Qt::Key_Down);
	EXPECT_EQ(view.LineAt(selection_of(view).first), 2);
	QTest::keyClick(widget, Qt::Key_Home);
	EXPECT_EQ(selection_of(view), std::make_pair(21, 21));
	QTest::keyClick(widget, Qt::Key_Home, Qt::ControlModifier | Qt::ShiftModifier);
	EXPECT_EQ(selection_of(view), std::make_pair(0, 21));
	QTest::keyClick(widget, Qt::Key_End, Qt::ControlModifier);
	EXPECT_EQ(selection_of(view), std::make_pair(view.TextLength(), view.TextLength()));
}

TEST(TextViewWidget, BackspaceAndDeleteRemoveWholeCharactersAndSelections)
{
	RecordingTextView view;
	view.SetText("a\xC3\xA9"
	             "b\xF0\x9F\x99\x82z");
	QWidget* widget = BPrivate::ViewAccess::Widget(&view);
	view.Select(3, 3); // after the e-acute
	QTest::keyClick(widget, Qt::Key_Backspace);
	EXPECT_EQ(view.Content(), "ab\xF0\x9F\x99\x82z");
	view.Select(2, 2);
	QTest::keyClick(widget, Qt::Key_Delete); // the whole four-byte smiley
	EXPECT_EQ(view.Content(), "abz");
	view.Select(0, 2);
	QTest::keyClick(widget, Qt::Key_Delete);
	EXPECT_EQ(view.Content(), "z");
	// Each removal went through the hooks with the bytes it took.
	ASSERT_GE(view.calls.size(), 3u);
	EXPECT_EQ(view.calls.back().kind, 'D');
	EXPECT_EQ(view.calls.back().from, 0);
	EXPECT_EQ(view.calls.back().to, 2);
}

TEST(TextViewWidget, KeyboardClipboardRoundTripsTheSelectedBytes)
{
	RecordingTextView view;
	view.SetText("copy \xC3\xA9t\xC3\xA9 here\nnext");
	QWidget* widget = BPrivate::ViewAccess::Widget(&view);
	view.Select(5, 11);
	QTest::keyClick(widget, Qt::Key_C, Qt::ControlModifier);
	EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("\u00E9t\u00E9 "));
	QTest::keyClick(widget, Qt::Key_X, Qt::ControlModifier);
	EXPECT_EQ(view.Content(), "copy here\nnext");
	view.Select(view.TextLength(), view.TextLength());
	QTest::keyClick(widget, Qt::Key_V, Qt::ControlModifier);
	EXPECT_EQ(view.Content(), "copy here\nnext\xC3\xA9t\xC3\xA9 ");
	QTest::keyClick(widget, Qt::Key_Z, Qt::ControlModifier);
	EXPECT_EQ(view.Content(), "copy here\nnext");
	QTest::keyClick(widget, Qt::Key_A, Qt::ControlModifier);
	EXPECT_EQ(selection_of(view), std::make_pair(0, view.TextLength()));
}

TEST(TextViewWidget, ClickPlacesTheCaretAndDraggingOrDoubleClickSelects)
{
	RecordingTextView view(BRect(0, 0, 299, 199));
	view.SetText("first line\nsecond words here\nthird");
	QAbstractScrollArea* area = area_of(&view);
	area->show();
	QApplication::processEvents();
	QWidget* port = area->viewport();

	QTest::mouseClick(port, Qt::LeftButton, Qt::NoModifier, point_of(view, 14));
	EXPECT_EQ(selection_of(view), std::make_pair(14, 14));

	QTest::mousePress(port, Qt::LeftButton, Qt::NoModifier, point_of(view, 11));
	QTest::mouseMove(port, point_of(view, 17));
	QTest::mouseRelease(port, Qt::LeftButton, Qt::NoModifier, point_of(view, 17));
	EXPECT_EQ(selection_of(view), std::make_pair(11, 17));

	QTest::mouseDClick(port, Qt::LeftButton, Qt::NoModifier, point_of(view, 19));
	EXPECT_EQ(selection_of(view), std::make_pair(18, 23)); // "words"

	// Shift-click extends from the anchor.
	QTest::mouseClick(port, Qt::LeftButton, Qt::NoModifier, point_of(view, 2));
	QTest::mouseClick(port, Qt::LeftButton, Qt::ShiftModifier, point_of(view, 30));
	EXPECT_EQ(selection_of(view), std::make_pair(2, 30));
	area->hide();
}

TEST(TextViewWidget, DroppedTextGoesWhereItFallsAsOneUndoStep)
{
	RecordingTextView view(BRect(0, 0, 299, 199));
	view.SetText("one three");
	QAbstractScrollArea* area = area_of(&view);
	area->show();
	QApplication::processEvents();
	QApplication::processEvents(); // the program's undo step ends

	QMimeData mime;
	mime.setText(QStringLiteral("two "));
	const QPoint at = point_of(view, 4);
	QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
	QApplication::sendEvent(area->viewport(), &enter);
	EXPECT_TRUE(enter.isAccepted());
	QDragMoveEvent move(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
	QApplication::sendEvent(area->viewport(), &move);
	QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
	QApplication::sendEvent(area->viewport(), &drop);
	EXPECT_EQ(view.Content(), "one two three");
	EXPECT_EQ(selection_of(view), std::make_pair(4, 8));
	view.Undo();
	EXPECT_EQ(view.Content(), "one three");

	// A view that is not editable takes no drop.
	view.MakeEditable(false);
	QDropEvent refused(QPointF(point_of(view, 4)), Qt::CopyAction, &mime, Qt::LeftButton,
	                   Qt::NoModifier);
	QApplication::sendEvent(area->viewport(), &refused);
	EXPECT_EQ(view.Content(), "one three");
	area->hide();
}

TEST(TextViewWidget, TypingAtTheEndOfALongTextScrollsToTheCaret)
{
	RecordingTextView view(BRect(0, 0, 299, 99));
	std::string text;
	for (int i = 0; i < 200; i++)
		text += "line " + std::to_string(i) + "\n";
	view.SetText(text.c_str());
	QAbstractScrollArea* area = area_of(&view);
	area->show();
	QApplication::processEvents();
	QScrollBar* bar = area->verticalScrollBar();
	EXPECT_EQ(bar->value(), 0);
	float lineHeight = 0;
	view.PointAt(0, &lineHeight);
	EXPECT_GT(bar->maximum(), (int)(150 * lineHeight)); // every line counts in the range

	view.Select(view.TextLength(), view.TextLength());
	QTest::keyClicks(area, "x");
	EXPECT_EQ(bar->value(), bar->maximum());
	const QPoint caret = point_of(view, view.TextLength());
	EXPECT_TRUE(area->viewport()->rect().contains(caret));
	area->hide();
}

TEST(TextViewWidget, PaintsEachRunInItsColour)
{
	RecordingTextView view(BRect(0, 0, 199, 59));
	view.SetStylable(true);
	view.SetText("MMMMMMMM\nMMMMMMMM");
	const rgb_color red = {255, 0, 0, 255};
	view.SetFontAndColor(0, 8, nullptr, 0, &red);
	QAbstractScrollArea* area = area_of(&view);
	area->show();
	QApplication::processEvents();
	const QImage image = area->viewport()->grab().toImage();

	// Count reddish and dark pixels on each of the two lines.
	float height = 0;
	const int second = (int)view.PointAt(9, &height).y - area->viewport()->pos().y();
	ASSERT_GT(height, 4);
	int redFirst = 0, darkFirst = 0, redSecond = 0, darkSecond = 0;
	for (int y = 0; y < image.height(); y++) {
		for (int x = 3; x < image.width(); x++) { // right of any caret
			const QColor pixel = image.pixelColor(x, y);
			const bool reddish = pixel.red() > 150 && pixel.green() < 100 && pixel.blue() < 100;
			const bool dark = pixel.red() < 100 && pixel.green() < 100 && pixel.blue() < 100;
			const bool onSecond = y >= second;
			(onSecond ? redSecond : redFirst) += reddish;
			(onSecond ? darkSecond : darkFirst) += dark;
		}
	}
	EXPECT_GT(redFirst, 20);
	EXPECT_EQ(darkFirst, 0);
	EXPECT_GT(darkSecond, 20);
	EXPECT_EQ(redSecond, 0);
	area->hide();
}

TEST(TextViewWidget, AssistiveTechnologyReadsAndEditsTheTextInCharacters)
{
	RecordingTextView view;
	// Two-byte, four-byte (two UTF-16 units) and one-byte characters.
	view.SetText("\xC3\xA9t\xC3\xA9\n\xF0\x9F\x99\x82 ok");
	QAccessibleInterface* accessible =
	    QAccessible::queryAccessibleInterface(BPrivate::ViewAccess::Widget(&view));
	ASSERT_NE(accessible, nullptr);
	EXPECT_EQ(accessible->role(), QAccessible::EditableText);
	QAccessibleTextInterface* text = accessible->textInterface();
	ASSERT_NE(text, nullptr);
	EXPECT_EQ(text->characterCount(), 9);
	EXPECT_EQ(text->text(0, 9), QString::fromUtf8("\xC3\xA9t\xC3\xA9\n\xF0\x9F\x99\x82 ok"));
	EXPECT_EQ(text->text(4, 7), QString::fromUtf8("\xF0\x9F\x99\x82 "));

	view.Select(10, 10); // after the smiley: character 6
	EXPECT_EQ(text->cursorPosition(), 6);
	text->setSelection(0, 1, 3);
	EXPECT_EQ(selection_of(view), std::make_pair(2, 5));
	int start = -1, end = -1;
	text->selection(0, &start, &end);
	EXPECT_EQ(start, 1);
	EXPECT_EQ(end, 3);

	// Edits go through the hooks like the user's own.
	QAccessibleEditableTextInterface* editable = accessible->editableTextInterface();
	ASSERT_NE(editable, nullptr);
	view.calls.clear();
	editable->replaceText(7, 9, QStringLiteral("fine"));
	EXPECT_EQ(view.Content(), "\xC3\xA9t\xC3\xA9\n\xF0\x9F\x99\x82 fine");
	ASSERT_FALSE(view.calls.empty());
	EXPECT_EQ(view.calls.back().bytes, "fine");
	// A view that cannot be edited offers no editing.
	view.MakeEditable(false);
	EXPECT_EQ(accessible->editableTextInterface(), nullptr);
	EXPECT_TRUE(accessible->state().readOnly);
}
