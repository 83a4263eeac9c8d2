// An edit paints again only what it changed: what the screen shows after a
// run of edits must match a fresh paint of the whole view, and a keystroke
// that keeps the lines where they were paints a few lines, not the view.
#include <QAbstractScrollArea>
#include <QApplication>
#include <QEvent>
#include <QImage>
#include <QPaintEvent>
#include <QPixmap>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "TextViewTestSupport.h"
#include "ViewPrivate.h"
#include "Wait.h"

namespace {

const rgb_color kRed = {255, 0, 0, 255};

// Records the areas the viewport was asked to paint.
class PaintRecorder : public QObject
{
public:
	QRegion painted;

protected:
	bool eventFilter(QObject*, QEvent* event) override
	{
		if (event->type() == QEvent::Paint)
			painted += static_cast<QPaintEvent*>(event)->region();
		return false;
	}
};

class TextViewRepaint : public ::testing::Test
{
protected:
	void SetUp() override
	{
		// A caret that never blinks: the screen then changes only when the
		// text or the selection does.
		mFlashTime = QApplication::cursorFlashTime();
		QApplication::setCursorFlashTime(0);
		mView.SetStylable(true);
		mView.SetDoesUndo(true);
		mArea = qobject_cast<QAbstractScrollArea*>(BPrivate::ViewAccess::Widget(&mView));
		mArea->resize(300, 200);
	}

	void TearDown() override
	{
		mArea->hide();
		QApplication::setCursorFlashTime(mFlashTime);
	}

	void Show(const std::string& text)
	{
		mView.SetText(text.c_str());
		mArea->show();
		ASSERT_TRUE(QTest::qWaitForWindowExposed(mArea));
		mArea->activateWindow();
		mArea->setFocus();
		ASSERT_TRUE(WaitFor([&] { return mArea->hasFocus(); }));
		QApplication::processEvents();
	}

	// What the screen holds of the view, as its paints left it.
	QImage OnScreen() const
	{
		return mArea->screen()
		    ->grabWindow(mArea->winId())
		    .toImage()
		    .convertToFormat(QImage::Format_RGB32);
	}

	// The view painted whole, now.
	QImage Fresh() const { return mArea->grab().toImage().convertToFormat(QImage::Format_RGB32); }

	// The screen comes to show what a fresh paint shows; false when it keeps
	// showing something else (a part left unpainted).
	bool ScreenMatchesFreshPaint()
	{
		return WaitFor([&] { return OnScreen() == Fresh(); }, std::chrono::seconds(2));
	}

	// The areas painted while act ran and the event loop caught up with it.
	QRegion PaintedBy(const std::function<void()>& act)
	{
		EXPECT_TRUE(ScreenMatchesFreshPaint()) << "before";
		PaintRecorder recorder;
		mArea->viewport()->installEventFilter(&recorder);
		act();
		WaitFor([&] { return !recorder.painted.isEmpty(); }, std::chrono::seconds(2));
		QApplication::processEvents();
		mArea->viewport()->removeEventFilter(&recorder);
		return recorder.painted;
	}

	int LineHeight()
	{
		float height = 0;
		mView.PointAt(0, &height);
		return (int)height;
	}

	RecordingTextView mView{BRect(0, 0, 299, 199)};
	QAbstractScrollArea* mArea = nullptr;
	int mFlashTime = 0;
};

std::string numbered_lines(int count)
{
	std::string text;
	for (int i = 0; i < count; i++)
		text += "line " + std::to_string(i) + " of the text\n";
	return text;
}

} // namespace

TEST_F(TextViewRepaint, EditsThatMoveTheLinesBelowLeaveTheScreenAsAFullPaint)
{
	Show(numbered_lines(30));
	ASSERT_TRUE(ScreenMatchesFreshPaint());

	// A new paragraph in the middle: everything below moves down.
	mView.Select(mView.OffsetAt(3) + 4, mView.OffsetAt(3) + 4);
	QTest::keyClick(mArea, Qt::Key_Return);
	EXPECT_TRUE(ScreenMatchesFreshPaint()) << "after a line break";

	// Joined again: everything below moves up, the bottom line is new.
	QTest::keyClick(mArea, Qt::Key_Backspace);
	EXPECT_TRUE(ScreenMatchesFreshPaint()) << "after joining two lines";

	// A paragraph grown past the width wraps onto one more line.
	mView.Select(mView.OffsetAt(5), mView.OffsetAt(5));
	QTest::keyClicks(mArea, "a long run of words that wraps");
	EXPECT_TRUE(ScreenMatchesFreshPaint()) << "after a paragraph wrapped";

	// Undone and redone: the wrapped line goes and comes back.
	mView.Undo();
	EXPECT_TRUE(ScreenMatchesFreshPaint()) << "after undo";
	mView.Redo();
	EXPECT_TRUE(ScreenMatchesFreshPaint()) << "after redo";

	// A selection taken down over lines, then typed over.
	mView.Select(mView.OffsetAt(2) + 2, mView.OffsetAt(2) + 2);
	QTest::keyClick(mArea, Qt::Key_Down, Qt::ShiftModifier);
	QTest::keyClick(mArea, Qt::Key_Down, Qt::ShiftModifier);
	EXPECT_TRUE(ScreenMatchesFreshPaint()) << "after a selection grew";
	QTest::keyClick(mArea, Qt::Key_Up, Qt::ShiftModifier);
	EXPECT_TRUE(ScreenMatchesFreshPaint()) << "after a selection shrank";
	QTest::keyClick(mArea, Qt::Key_Z);
	EXPECT_TRUE(ScreenMatchesFreshPaint()) << "after a selection was typed over";

	// The program deletes paragraphs and colours others.
	mView.Delete(mView.OffsetAt(1), mView.OffsetAt(4));
	mView.SetFontAndColor(mView.OffsetAt(6), mView.OffsetAt(8), nullptr, 0, &kRed);
	EXPECT_TRUE(ScreenMatchesFreshPaint()) << "after a deletion and a colour";
}

TEST_F(TextViewRepaint, EditsInALongWrappedParagraphLeaveTheScreenAsAFullPaint)
{
	// Past the size laid out whole: its lines are counted again only
	// around an edit.
	std::string words;
	while (words.size() < 20000)
		words += "word" + std::to_string(words.size() % 97) + " ";
	Show("first line\n" + words + "\nlast line\n");
	ASSERT_TRUE(ScreenMatchesFreshPaint());

	const int32 inside = mView.OffsetAt(4) + 3;
	mView.Select(inside, inside);
	QTest::keyClicks(mArea, "grown by a few words that push the others on");
	EXPECT_TRUE(ScreenMatchesFreshPaint()) << "after words pushed the lines on";
	for (int i = 0; i < 30; i++)
		QTest::keyClick(mArea, Qt::Key_Backspace);
	EXPECT_TRUE(ScreenMatchesFreshPaint()) << "after words were taken out";
}

TEST_F(TextViewRepaint, AKeystrokeThatKeepsTheLinesPaintsOnlyItsOwnLines)
{
	Show(numbered_lines(30));
	const int32 at = mView.OffsetAt(4) + 4;
	mView.Select(at, at);
	const int height = LineHeight();
	ASSERT_GT(height, 4);

	const QRegion typed = PaintedBy([&] { QTest::keyClick(mArea, Qt::Key_X); });
	EXPECT_FALSE(typed.isEmpty());
	EXPECT_LE(typed.boundingRect().height(), 2 * height) << "typing one character";

	const QRegion moved = PaintedBy([&] { QTest::keyClick(mArea, Qt::Key_Down); });
	EXPECT_FALSE(moved.isEmpty());
	EXPECT_LE(moved.boundingRect().height(), 2 * height) << "moving the caret a line down";
	EXPECT_TRUE(ScreenMatchesFreshPaint());
}
