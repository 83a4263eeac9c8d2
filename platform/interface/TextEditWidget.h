// The text view's widget: lays out and paints the visible paragraphs and
// turns the user's input into edits of the view. Its work lies in files
// named after what they do: TextEditWidget (geometry and scrolling),
// ...Paint, ...Keys, ...Pointer (mouse, drag and drop, context menu) and
// ...Clipboard (clipboard, X11 selection, input methods).
#ifndef _TEXT_EDIT_WIDGET_H
#define _TEXT_EDIT_WIDGET_H

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QPoint>
#include <QString>

#include <vector>

#include "TextKeyCommands.h"
#include "TextViewData.h"

class QPainter;

namespace BPrivate {

class TextEditWidget : public QAbstractScrollArea
{
public:
	explicit TextEditWidget(TextViewData* data);

	// The view's data is going away; input is no longer reported.
	void Detach() { mData = nullptr; }
	TextViewData* Data() const { return mData; }
	QMargins Margins() const { return viewportMargins(); }
	void SetMargins(int left, int top, int right, int bottom)
	{
		setViewportMargins(left, top, right, bottom);
	}

	// The text moved or grew as a whole (a new width, font or mode): scroll
	// ranges follow once per turn of the event loop, and all is painted.
	void TextChanged();
	// The text was edited: scroll ranges follow once per turn of the event
	// loop, and only what the edits damaged is painted again.
	void TextEdited();
	// Paragraphs first..last are to be painted again, from visual line
	// firstLine of the first to line lastLine of the last (-1: its end);
	// toEnd: everything below them as well, since it moved.
	void Damage(int32 first, int32 last, bool toEnd, int32 firstLine = 0, int32 lastLine = -1);
	// The whole visible text is painted again, once however often asked
	// before it is.
	void RequestRepaint();
	void UpdateScrollBars();
	void EnsureCaretVisible();
	// The caret or the selection moved; what it covered and covers now is
	// damaged by the caller.
	void SelectionChanged();

	// Byte offset nearest to a point of the viewport, and back.
	int32 OffsetAtViewport(QPointF point) const;
	QRectF CaretRect(int32 offset) const; // in viewport coordinates

	void Copy() const;
	void Paste(bool selectionClipboard = false);
	void Cut();
	void ShowContextMenu(QPoint globalPos);

protected:
	bool event(QEvent* event) override;
	void paintEvent(QPaintEvent* event) override;
	void keyPressEvent(QKeyEvent* event) override;
	void inputMethodEvent(QInputMethodEvent* event) override;
	QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
	void mousePressEvent(QMouseEvent* event) override;
	void mouseMoveEvent(QMouseEvent* event) override;
	void mouseReleaseEvent(QMouseEvent* event) override;
	void mouseDoubleClickEvent(QMouseEvent* event) override;
	void dragEnterEvent(QDragEnterEvent* event) override;
	void dragMoveEvent(QDragMoveEvent* event) override;
	void dragLeaveEvent(QDragLeaveEvent* event) override;
	void dropEvent(QDropEvent* event) override;
	void focusInEvent(QFocusEvent* event) override;
	void focusOutEvent(QFocusEvent* event) override;
	void resizeEvent(QResizeEvent* event) override;
	void scrollContentsBy(int dx, int dy) override;
	void timerEvent(QTimerEvent* event) override;
	void contextMenuEvent(QContextMenuEvent* event) override;

private:
	bool _HandleKey(QKeyEvent* event);
	void _Delete(KeyCommand command);
	void _MoveByKey(KeyAction key);
	void _Move(int32 offset, bool extend);
	int32 _VisualLineMove(int32 offset, int lines);
	int32 _LineEdge(int32 offset, bool end) const;
	int32 _WordEdge(int32 offset, bool forward) const;
	int32 _NextChar(int32 offset, bool forward) const;
	void _SelectWordAt(int32 offset);
	void _SelectParagraphAt(int32 offset);
	void _StartDrag();
	void _AutoScroll();
	void _RestartBlink();
	// The selection's text for the X11 selection, where there is one.
	void _OfferSelection();
	QPointF _Origin() const; // text origin in viewport coordinates
	void _ScheduleUpdate();
	// The damage recorded since the last turn, as areas of the viewport.
	void _RepaintDamage();
	void _PaintArea(QPainter& painter, const QRect& area);

	TextViewData* mData;
	QString mPreedit;
	QBasicTimer mBlink;
	QBasicTimer mAutoScroll;
	bool mCaretOn = true;
	qreal mGoalX = -1; // kept across up/down moves
	int mWidest = 0;   // widest paragraph seen, without wrapping
	bool mUpdatePending = false;
	bool mRepaintPending = false;

	// A part of the text to paint again, by paragraph index: indices shift
	// only where paragraphs came or went, and such an edit damages
	// everything below it, so a recorded part stays right until painted.
	struct DamagedPart
	{
		int32 first;
		int32 last;
		int32 firstLine;
		int32 lastLine;
		bool toEnd;
	};
	std::vector<DamagedPart> mDamage;

	enum class Press { kNone, kSelecting, kWords, kParagraphs, kMaybeDrag };
	Press mPress = Press::kNone;
	QPoint mPressPoint;
	int32 mWordAnchorStart = 0;
	int32 mWordAnchorEnd = 0;
	qint64 mLastDoubleClick = 0;
	int32 mDropCaret = -1;
};

} // namespace BPrivate

#endif // _TEXT_EDIT_WIDGET_H
