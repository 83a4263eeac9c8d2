// The mouse: selecting by characters, words and paragraphs, scrolling
// while selecting past the edge, drag and drop, and the context menu.
#include "TextEditWidget.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QCursor>
#include <QDateTime>
#include <QDrag>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QStyleHints>

#include <algorithm>

namespace BPrivate {

void TextEditWidget::mousePressEvent(QMouseEvent* event)
{
	if (mData == nullptr)
		return;
	mData->History().Seal();
	const QPointF point = event->position();
	const int32 offset = OffsetAtViewport(point);
	if (event->button() == Qt::MiddleButton) {
		if (QGuiApplication::clipboard()->supportsSelection() && mData->Modes().editable) {
			TextViewData::UserActionScope action(mData, EditSource::kUserAction);
			mData->SetSelection(offset, offset);
			Paste(true);
		}
		return;
	}
	if (event->button() != Qt::LeftButton || !mData->Modes().selectable)
		return;
	if (focusPolicy() != Qt::NoFocus)
		setFocus(Qt::MouseFocusReason);
	const bool tripleClick =
	    mLastDoubleClick > 0 &&
	    QDateTime::currentMSecsSinceEpoch() - mLastDoubleClick <
	        QGuiApplication::styleHints()->mouseDoubleClickInterval() &&
	    (event->pos() - mPressPoint).manhattanLength() < QApplication::startDragDistance();
	mLastDoubleClick = 0;
	mPressPoint = event->pos();
	if (tripleClick) {
		mPress = Press::kParagraphs;
		_SelectParagraphAt(offset);
		return;
	}
	if (event->modifiers() & Qt::ShiftModifier) {
		mPress = Press::kSelecting;
		mData->SetSelection(mData->Anchor(), offset);
		return;
	}
	if (offset >= mData->SelectionStart() && offset < mData->SelectionEnd()) {
		mPress = Press::kMaybeDrag;
		return;
	}
	mPress = Press::kSelecting;
	mGoalX = -1;
	mData->SetSelection(offset, offset);
}

void TextEditWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
	if (mData == nullptr || event->button() != Qt::LeftButton || !mData->Modes().selectable)
		return;
	mLastDoubleClick = QDateTime::currentMSecsSinceEpoch();
	mPressPoint = event->pos();
	mPress = Press::kWords;
	_SelectWordAt(OffsetAtViewport(event->position()));
}

void TextEditWidget::mouseMoveEvent(QMouseEvent* event)
{
	if (mData == nullptr || !(event->buttons() & Qt::LeftButton))
		return;
	if (mPress == Press::kMaybeDrag) {
		if ((event->pos() - mPressPoint).manhattanLength() >= QApplication::startDragDistance())
			_StartDrag();
		return;
	}
	if (mPress == Press::kNone)
		return;
	const int32 offset = OffsetAtViewport(event->position());
	if (mPress == Press::kWords || mPress == Press::kParagraphs) {
		// Whole words (or paragraphs) from the one first clicked.
		int32 from = mWordAnchorStart;
		int32 to = mWordAnchorEnd;
		if (offset < from) {
			from = mPress == Press::kWords ? _WordEdge(offset, false)
			                               : (int32)mData->Paragraphs().LocateByte(offset).byte;
			mData->SetSelection(mWordAnchorEnd, std::min(from, offset));
		} else {
			to = std::max(offset, to);
			if (mPress == Press::kWords && offset > mWordAnchorEnd)
				to = _WordEdge(offset, true);
			mData->SetSelection(mWordAnchorStart, to);
		}
	} else {
		mData->SetSelection(mData->Anchor(), offset);
	}
	EnsureCaretVisible();
	if (!viewport()->rect().contains(event->pos()) && !mAutoScroll.isActive())
		mAutoScroll.start(50, this);
}

void TextEditWidget::mouseReleaseEvent(QMouseEvent* event)
{
	if (mData == nullptr)
		return;
	if (mPress == Press::kMaybeDrag) {
		// A click inside the selection without a drag places the caret.
		const int32 offset = OffsetAtViewport(event->position());
		mData->SetSelection(offset, offset);
	}
	const bool selected = mPress != Press::kNone;
	mPress = Press::kNone;
	mAutoScroll.stop();
	if (selected)
		_OfferSelection();
}

void TextEditWidget::_AutoScroll()
{
	// Selecting with the mouse beyond the edge scrolls.
	const QPoint point = viewport()->mapFromGlobal(QCursor::pos());
	if (mData == nullptr || mPress == Press::kNone || mPress == Press::kMaybeDrag ||
	    viewport()->rect().contains(point)) {
		mAutoScroll.stop();
		return;
	}
	QScrollBar* vertical = verticalScrollBar();
	if (point.y() < 0)
		vertical->setValue(vertical->value() - mData->LineHeight());
	else if (point.y() > viewport()->height())
		vertical->setValue(vertical->value() + mData->LineHeight());
	const int32 offset = OffsetAtViewport(point);
	mData->SetSelection(mData->Anchor(), offset);
}

void TextEditWidget::_SelectWordAt(int32 offset)
{
	const int32 end = _WordEdge(offset, true);
	int32 start = _WordEdge(std::min(end, mData->Length()), false);
	if (start > offset)
		start = _WordEdge(offset, false);
	mWordAnchorStart = std::min(start, offset);
	mWordAnchorEnd = std::max(end, offset);
	mData->SetSelection(mWordAnchorStart, mWordAnchorEnd);
}

void TextEditWidget::_SelectParagraphAt(int32 offset)
{
	const ParagraphPlace place = mData->Paragraphs().LocateByte(offset);
	const int32 size = (int32)mData->Paragraphs().Paragraph(place).text.size();
	mWordAnchorStart = (int32)place.byte;
	mWordAnchorEnd = std::min<int32>((int32)place.byte + size + 1, mData->Length());
	mData->SetSelection(mWordAnchorStart, mWordAnchorEnd);
}

void TextEditWidget::_StartDrag()
{
	mPress = Press::kNone;
	const int32 start = mData->SelectionStart();
	const int32 end = mData->SelectionEnd();
	const std::string bytes = mData->TextRange(start, end);
	QMimeData* mime = new QMimeData;
	mime->setText(QString::fromUtf8(bytes.data(), (qsizetype)bytes.size()));
	QDrag* drag = new QDrag(this);
	drag->setMimeData(mime);
	const Qt::DropActions actions =
	    mData->Modes().editable ? Qt::CopyAction | Qt::MoveAction : Qt::CopyAction;
	const Qt::DropAction done = drag->exec(actions, Qt::MoveAction);
	if (mData == nullptr)
		return;
	if (done == Qt::MoveAction && drag->target() != nullptr && drag->target() != this &&
	    drag->target() != viewport() && mData->TextRange(start, end) == bytes) {
		// Moved into another widget: the text leaves this one.
		TextViewData::UserActionScope action(mData, EditSource::kUserAction);
		mData->UserEdit(start, end, std::string());
	}
}

void TextEditWidget::dragEnterEvent(QDragEnterEvent* event)
{
	if (mData == nullptr || !mData->Modes().editable || !event->mimeData()->hasText()) {
		event->ignore();
		return;
	}
	event->acceptProposedAction();
}

void TextEditWidget::dragMoveEvent(QDragMoveEvent* event)
{
	if (mData == nullptr || !mData->Modes().editable || !event->mimeData()->hasText()) {
		event->ignore();
		return;
	}
	mDropCaret = OffsetAtViewport(event->position());
	viewport()->update();
	event->acceptProposedAction();
}

void TextEditWidget::dragLeaveEvent(QDragLeaveEvent*)
{
	mDropCaret = -1;
	viewport()->update();
}

void TextEditWidget::dropEvent(QDropEvent* event)
{
	mDropCaret = -1;
	viewport()->update();
	if (mData == nullptr || !mData->Modes().editable || !event->mimeData()->hasText()) {
		event->ignore();
		return;
	}
	int32 offset = OffsetAtViewport(event->position());
	const std::string text = mData->FromOutside(event->mimeData()->text());
	// Moving text by drag and drop deletes and inserts: one undo step.
	TextViewData::UserActionScope action(mData, EditSource::kUserAction);
	QObject* source = event->source();
	const bool fromHere = source == this || source == viewport();
	if (fromHere && event->dropAction() == Qt::MoveAction) {
		const int32 start = mData->SelectionStart();
		const int32 end = mData->SelectionEnd();
		if (offset >= start && offset <= end) {
			event->ignore(); // onto itself: nothing moves
			return;
		}
		mData->UserEdit(start, end, std::string());
		if (offset > end)
			offset -= end - start;
		// The drag itself must not delete again.
		event->setDropAction(Qt::CopyAction);
	}
	mData->SetSelection(offset, offset);
	mData->UserEdit(offset, offset, text);
	mData->SetSelection(offset, offset + (int32)text.size());
	event->accept();
	setFocus(Qt::OtherFocusReason);
}

void TextEditWidget::contextMenuEvent(QContextMenuEvent* event)
{
	ShowContextMenu(event->globalPos());
	event->accept();
}

void TextEditWidget::ShowContextMenu(QPoint globalPos)
{
	if (mData == nullptr)
		return;
	BTextView* view = mData->View();
	const bool editable = mData->Modes().editable;
	const bool selection = mData->SelectionEnd() > mData->SelectionStart();
	QMenu menu(this);
	menu.addAction(QStringLiteral("Undo"), [view]() { view->Undo(); })
	    ->setEnabled(editable && view->CanUndo());
	menu.addAction(QStringLiteral("Redo"), [view]() { view->Redo(); })
	    ->setEnabled(editable && view->CanRedo());
	menu.addSeparator();
	menu.addAction(QStringLiteral("Cut"), [view]() { view->Cut(); })
	    ->setEnabled(editable && selection);
	menu.addAction(QStringLiteral("Copy"), [view]() { view->Copy(); })->setEnabled(selection);
	menu.addAction(QStringLiteral("Paste"), [view]() { view->Paste(); })
	    ->setEnabled(editable && QGuiApplication::clipboard()->mimeData() != nullptr &&
	                 QGuiApplication::clipboard()->mimeData()->hasText());
	menu.addSeparator();
	menu.addAction(QStringLiteral("Select All"), [view]() { view->SelectAll(); });
	menu.exec(globalPos);
}

} // namespace BPrivate
