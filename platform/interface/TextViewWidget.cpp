// The text view's widget: paints the paragraphs on screen, and turns keys,
// the mouse, input methods, the clipboard and drag and drop into edits of
// the view.
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QCursor>
#include <QDateTime>
#include <QDrag>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStyleHints>
#include <QTextBoundaryFinder>
#include <QTimer>

#include <algorithm>
#include <cmath>

#include "TextViewData.h"

namespace BPrivate {

namespace {

class UserAction
{
public:
	UserAction(TextViewData* data, EditSource source) : mData(data)
	{
		if (mData != nullptr)
			mData->BeginUserAction(source);
	}
	~UserAction()
	{
		if (mData != nullptr)
			mData->EndUserAction();
	}

private:
	TextViewData* mData;
};

bool is_redo(const QKeyEvent* event)
{
	if (event->matches(QKeySequence::Redo))
		return true;
	const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
	return event->key() == Qt::Key_Z && modifiers == (Qt::ControlModifier | Qt::ShiftModifier);
}

// Text a key press types, or an empty string.
QString typed_text(const QKeyEvent* event)
{
	const QString text = event->text();
	if (text.isEmpty())
		return QString();
	const Qt::KeyboardModifiers modifiers = event->modifiers();
	// Ctrl alone makes a command; Ctrl+Alt is AltGr on many keyboards.
	if ((modifiers & Qt::ControlModifier) && !(modifiers & Qt::AltModifier))
		return QString();
	for (QChar c : text) {
		if (!c.isPrint() && c != QChar('\t') && !c.isSurrogate())
			return QString();
	}
	return text;
}

std::string to_utf8(const QString& text)
{
	const QByteArray bytes = text.toUtf8();
	return std::string(bytes.constData(), (size_t)bytes.size());
}

// Outside text as the view stores it; a field takes any line break,
// CR LF included, as one space.
std::string outside_text(const TextViewData* data, QString text)
{
	if (data->singleLine) {
		text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
		text.replace(QChar('\r'), QChar(' '));
	}
	const std::string bytes = to_utf8(text);
	return data->Clean(bytes.data(), (int32)bytes.size());
}

const char* const kMimeText = "text/plain";

} // namespace

TextEditWidget::TextEditWidget(TextViewData* data) : mData(data)
{
	setAttribute(Qt::WA_InputMethodEnabled);
	setFocusPolicy(Qt::StrongFocus);
	setFrameShape(QFrame::NoFrame);
	setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
	setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
	viewport()->setCursor(Qt::IBeamCursor);
	viewport()->setAutoFillBackground(true);
	viewport()->setBackgroundRole(QPalette::Base);
	viewport()->setAcceptDrops(true);
	setAcceptDrops(true);
	install_text_view_accessibility();
}

QPointF TextEditWidget::_Origin() const
{
	return QPointF(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
}

void TextEditWidget::RequestRepaint()
{
	if (mRepaintPending)
		return;
	mRepaintPending = true;
	viewport()->update();
}

void TextEditWidget::TextChanged()
{
	RequestRepaint();
	if (mUpdatePending)
		return;
	mUpdatePending = true;
	QTimer::singleShot(0, this, [this]() {
		mUpdatePending = false;
		if (mData != nullptr)
			UpdateScrollBars();
	});
}

void TextEditWidget::SelectionChanged()
{
	if (mData == nullptr)
		return;
	mGoalX = -1;
	_RestartBlink();
	RequestRepaint();
	notify_caret_move(this);
	// While the mouse drags a selection out it changes with every move;
	// the X11 selection takes its text once the button is released.
	if (mPress == Press::kNone)
		_OfferSelection();
}

void TextEditWidget::_OfferSelection()
{
	QClipboard* clipboard = QGuiApplication::clipboard();
	if (mData == nullptr || !clipboard->supportsSelection() ||
	    mData->SelectionEnd() <= mData->SelectionStart())
		return;
	const std::string bytes = mData->TextRange(mData->SelectionStart(), mData->SelectionEnd());
	clipboard->setText(QString::fromUtf8(bytes.data(), (qsizetype)bytes.size()),
	                   QClipboard::Selection);
}

void TextEditWidget::UpdateScrollBars()
{
	if (mData == nullptr)
		return;
	mData->FlushLines();
	const int lineHeight = mData->lineHeight;
	const qint64 total = mData->paragraphs.Lines() * (qint64)lineHeight;
	const int height = viewport()->height();
	QScrollBar* vertical = verticalScrollBar();
	vertical->setRange(0, (int)std::clamp<qint64>(total - height, 0, INT_MAX / 2));
	vertical->setPageStep(std::max(height, 1));
	vertical->setSingleStep(lineHeight);

	QScrollBar* horizontal = horizontalScrollBar();
	if (mData->WrapWidth() > 0) {
		horizontal->setRange(0, 0);
		return;
	}
	if (mData->paragraphs.Count() <= 64) {
		// Few paragraphs (a text field): measure them all.
		mWidest = 0;
		for (int32 i = 0; i < mData->paragraphs.Count(); i++) {
			QTextLayout layout;
			mData->LayOut(mData->paragraphs.At(i), &layout, 0, mData->fontsVary);
			mWidest = std::max(mWidest, (int)std::ceil(layout.maximumWidth()));
		}
	}
	const int width = viewport()->width();
	horizontal->setRange(0, std::max(0, mWidest + 2 - width));
	horizontal->setPageStep(std::max(width, 1));
	horizontal->setSingleStep(std::max(lineHeight, 1));
}

QRectF TextEditWidget::CaretRect(int32 offset) const
{
	if (mData == nullptr)
		return QRectF();
	mData->FlushLines();
	offset = mData->ClampOffset(offset);
	const ParagraphPlace place = mData->paragraphs.FindByByte(offset);
	const TextParagraph& paragraph = mData->paragraphs.Paragraph(place);
	QTextLayout layout;
	mData->LayOut(paragraph, &layout, mData->WrapWidth(), mData->fontsVary);
	const int position = utf16_index(paragraph.text, (size_t)(offset - place.byte));
	QTextLine line = layout.lineForTextPosition(position);
	if (!line.isValid())
		line = layout.lineAt(std::max(layout.lineCount() - 1, 0));
	const qreal x = line.isValid() ? line.cursorToX(position) : 0;
	const qreal y =
	    (qreal)(place.line + (line.isValid() ? line.lineNumber() : 0)) * mData->lineHeight;
	return QRectF(x, y, 1, mData->lineHeight).translated(_Origin());
}

int32 TextEditWidget::OffsetAtViewport(QPointF point) const
{
	if (mData == nullptr)
		return 0;
	mData->FlushLines();
	const QPointF inText = point - _Origin();
	const int64 lines = mData->paragraphs.Lines();
	if (inText.y() < 0)
		return 0;
	const int64 lineNumber = (int64)(inText.y() / mData->lineHeight);
	if (lineNumber >= lines)
		return mData->Length();
	const ParagraphPlace place = mData->paragraphs.FindByLine(lineNumber);
	const TextParagraph& paragraph = mData->paragraphs.Paragraph(place);
	QTextLayout layout;
	mData->LayOut(paragraph, &layout, mData->WrapWidth(), mData->fontsVary);
	const int index =
	    std::clamp<int>((int)(lineNumber - place.line), 0, std::max(layout.lineCount() - 1, 0));
	const QTextLine line = layout.lineAt(index);
	if (!line.isValid())
		return (int32)place.byte;
	const int position = line.xToCursor(inText.x());
	return mData->ClampOffset((int32)(place.byte + byte_index(paragraph.text, position)));
}

void TextEditWidget::EnsureCaretVisible()
{
	if (mData == nullptr)
		return;
	UpdateScrollBars();
	const QRectF caret = CaretRect(mData->caret);
	QScrollBar* vertical = verticalScrollBar();
	const int height = viewport()->height();
	if (caret.top() < 0)
		vertical->setValue(vertical->value() + (int)std::floor(caret.top()));
	else if (caret.bottom() > height)
		vertical->setValue(vertical->value() + (int)std::ceil(caret.bottom() - height));
	if (mData->WrapWidth() > 0)
		return;
	QScrollBar* horizontal = horizontalScrollBar();
	const int width = viewport()->width();
	const int right = (int)std::ceil(caret.right() - _Origin().x());
	if (right + 2 > mWidest) {
		mWidest = right + 2;
		horizontal->setRange(0, std::max(0, mWidest + 2 - width));
	}
	if (caret.left() < 0)
		horizontal->setValue(horizontal->value() + (int)std::floor(caret.left()));
	else if (caret.right() + 1 > width)
		horizontal->setValue(horizontal->value() + (int)std::ceil(caret.right() + 1 - width));
}

void TextEditWidget::paintEvent(QPaintEvent* event)
{
	mRepaintPending = false;
	QPainter painter(viewport());
	if (mData == nullptr)
		return;
	TextViewData* data = mData;
	data->FlushLines();
	const int lineHeight = data->lineHeight;
	const QRect area = event->rect();
	const QPointF origin = _Origin();
	const int64 lines = data->paragraphs.Lines();
	int64 firstLine = std::clamp<int64>((int64)std::floor((area.top() - origin.y()) / lineHeight),
	                                    0, std::max<int64>(lines - 1, 0));
	const ParagraphPlace place = data->paragraphs.FindByLine(firstLine);
	int32 index = place.index;
	int64 line = place.line;
	int64 byte = place.byte;
	const int width = data->WrapWidth();
	const int32 selectionStart = data->SelectionStart();
	const int32 selectionEnd = data->SelectionEnd();
	const bool showCaret = hasFocus() && mCaretOn && (data->editable || data->selectable) &&
	                       selectionStart == selectionEnd;
	const QPalette& colors = palette();

	while (index < data->paragraphs.Count()) {
		const qreal y = origin.y() + (qreal)line * lineHeight;
		if (y > area.bottom())
			break;
		const TextParagraph& paragraph = data->paragraphs.At(index);
		const int32 size = (int32)paragraph.text.size();
		const bool caretHere = data->caret >= byte && data->caret <= byte + size;
		const int caretPosition =
		    caretHere ? utf16_index(paragraph.text, (size_t)(data->caret - byte)) : -1;
		QTextLayout layout;
		if (caretHere && !mPreedit.isEmpty())
			layout.setPreeditArea(caretPosition, mPreedit);
		data->LayOut(paragraph, &layout, width, true);

		QList<QTextLayout::FormatRange> selections;
		if (selectionStart < selectionEnd && selectionStart <= byte + size && selectionEnd > byte) {
			QTextLayout::FormatRange range;
			range.start =
			    utf16_index(paragraph.text, (size_t)std::max<int64>(selectionStart - byte, 0));
			const int end =
			    utf16_index(paragraph.text, (size_t)std::min<int64>(selectionEnd - byte, size));
			range.length = end - range.start;
			range.format.setBackground(colors.brush(QPalette::Highlight));
			range.format.setForeground(colors.brush(QPalette::HighlightedText));
			if (selectionEnd > byte + size) {
				// The line feed is selected too.
				const QTextLine last = layout.lineAt(layout.lineCount() - 1);
				painter.fillRect(QRectF(origin.x() + last.naturalTextWidth(), y + last.y(),
				                        lineHeight / 2.0, lineHeight),
				                 colors.brush(QPalette::Highlight));
			}
			if (range.length > 0)
				selections.append(range);
		}
		layout.draw(&painter, QPointF(origin.x(), y), selections, QRectF(area));
		if (caretHere && showCaret && data->editable)
			layout.drawCursor(&painter, QPointF(origin.x(), y),
			                  caretPosition + layout.preeditAreaText().size(), 1);
		if (mDropCaret >= byte && mDropCaret <= byte + size) {
			layout.drawCursor(&painter, QPointF(origin.x(), y),
			                  utf16_index(paragraph.text, (size_t)(mDropCaret - byte)), 2);
		}
		if (width <= 0)
			mWidest = std::max(mWidest, (int)std::ceil(layout.maximumWidth()));
		line += paragraph.lines;
		byte += size + 1;
		index++;
	}
}

void TextEditWidget::_RestartBlink()
{
	mCaretOn = true;
	const int interval = QApplication::cursorFlashTime() / 2;
	if (hasFocus() && interval > 0)
		mBlink.start(interval, this);
	else
		mBlink.stop();
}

void TextEditWidget::timerEvent(QTimerEvent* event)
{
	if (event->timerId() == mBlink.timerId()) {
		mCaretOn = !mCaretOn;
		if (mData != nullptr && mData->SelectionStart() == mData->SelectionEnd())
			viewport()->update(CaretRect(mData->caret).toAlignedRect().adjusted(-2, 0, 2, 0));
		return;
	}
	if (event->timerId() == mAutoScroll.timerId()) {
		// Selecting with the mouse beyond the edge scrolls.
		const QPoint point = viewport()->mapFromGlobal(QCursor::pos());
		if (mData == nullptr || mPress == Press::kNone || mPress == Press::kMaybeDrag ||
		    viewport()->rect().contains(point)) {
			mAutoScroll.stop();
			return;
		}
		QScrollBar* vertical = verticalScrollBar();
		if (point.y() < 0)
			vertical->setValue(vertical->value() - mData->lineHeight);
		else if (point.y() > viewport()->height())
			vertical->setValue(vertical->value() + mData->lineHeight);
		const int32 offset = OffsetAtViewport(point);
		mData->SetSelection(mData->anchor, offset);
		return;
	}
	QAbstractScrollArea::timerEvent(event);
}

void TextEditWidget::focusInEvent(QFocusEvent* event)
{
	QAbstractScrollArea::focusInEvent(event);
	_RestartBlink();
	viewport()->update();
}

void TextEditWidget::focusOutEvent(QFocusEvent* event)
{
	QAbstractScrollArea::focusOutEvent(event);
	mBlink.stop();
	viewport()->update();
}

void TextEditWidget::resizeEvent(QResizeEvent* event)
{
	QAbstractScrollArea::resizeEvent(event);
	if (mData != nullptr) {
		mData->ApplyTextRect();
		TextChanged();
	}
}

void TextEditWidget::scrollContentsBy(int, int)
{
	viewport()->update();
}

// ---- Movement ----------------------------------------------------------

int32 TextEditWidget::_NextChar(int32 offset, bool forward) const
{
	const int32 length = mData->Length();
	if (forward) {
		if (offset >= length)
			return length;
		const ParagraphPlace place = mData->paragraphs.LocateByte(offset);
		const std::string_view text = mData->paragraphs.Paragraph(place).text;
		size_t inside = (size_t)(offset - place.byte);
		if (inside >= text.size())
			return offset + 1; // over the line feed
		inside++;
		while (is_continuation(text, inside))
			inside++;
		return (int32)(place.byte + inside);
	}
	if (offset <= 0)
		return 0;
	return mData->ClampOffset(offset - 1);
}

int32 TextEditWidget::_WordEdge(int32 offset, bool forward) const
{
	const ParagraphPlace place = mData->paragraphs.LocateByte(offset);
	const TextParagraph& paragraph = mData->paragraphs.Paragraph(place);
	const int32 inside = (int32)(offset - place.byte);
	const int32 size = (int32)paragraph.text.size();
	if (forward && inside >= size)
		return _NextChar(offset, true);
	if (!forward && inside <= 0)
		return _NextChar(offset, false);
	const QString text = display_text(paragraph.text);
	QTextBoundaryFinder finder(QTextBoundaryFinder::Word, text);
	finder.setPosition(utf16_index(paragraph.text, (size_t)inside));
	while (true) {
		const qsizetype next = forward ? finder.toNextBoundary() : finder.toPreviousBoundary();
		if (next < 0)
			return (int32)(place.byte + (forward ? size : 0));
		// Stop at the start of a word going back, at its end going forward.
		const QTextBoundaryFinder::BoundaryReasons reasons = finder.boundaryReasons();
		if ((forward && (reasons & QTextBoundaryFinder::EndOfItem)) ||
		    (!forward && (reasons & QTextBoundaryFinder::StartOfItem)) || next == 0 ||
		    next == text.size())
			return (int32)(place.byte + byte_index(paragraph.text, (int)next));
	}
}

int32 TextEditWidget::_LineEdge(int32 offset, bool end) const
{
	const int32 line = mData->LineAt(offset);
	if (!end)
		return mData->OffsetAt(line);
	if (line + 1 >= mData->CountLines())
		return mData->Length();
	const int32 next = mData->OffsetAt(line + 1);
	// Before the line feed, or before the first character of the next
	// wrapped line.
	return _NextChar(next, false);
}

int32 TextEditWidget::_VisualLineMove(int32 offset, int lines)
{
	const QRectF caret = CaretRect(offset);
	if (mGoalX < 0)
		mGoalX = caret.left() - _Origin().x();
	const qreal y = caret.top() + lines * mData->lineHeight + mData->lineHeight / 2.0;
	const qreal goal = mGoalX;
	if (y - _Origin().y() < 0)
		return 0;
	if (y - _Origin().y() >= mData->paragraphs.Lines() * (qreal)mData->lineHeight)
		return mData->Length();
	const int32 target = OffsetAtViewport(QPointF(goal + _Origin().x(), y));
	mGoalX = goal; // kept for the next move
	return target;
}

void TextEditWidget::_Move(int32 offset, bool extend)
{
	const qreal goal = mGoalX;
	mData->undo.Seal();
	mData->SetSelection(extend ? mData->anchor : offset, offset);
	EnsureCaretVisible();
	mGoalX = goal;
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
	const ParagraphPlace place = mData->paragraphs.LocateByte(offset);
	const int32 size = (int32)mData->paragraphs.Paragraph(place).text.size();
	mWordAnchorStart = (int32)place.byte;
	mWordAnchorEnd = std::min<int32>((int32)place.byte + size + 1, mData->Length());
	mData->SetSelection(mWordAnchorStart, mWordAnchorEnd);
}

// ---- Keys --------------------------------------------------------------

bool TextEditWidget::event(QEvent* event)
{
	if (mData != nullptr && event->type() == QEvent::ShortcutOverride) {
		// Keys that edit or move in the text are ours, not a shortcut's.
		QKeyEvent* key = static_cast<QKeyEvent*>(event);
		if (!typed_text(key).isEmpty() || key == QKeySequence::Copy || key == QKeySequence::Paste ||
		    key == QKeySequence::Cut || key == QKeySequence::Undo || is_redo(key) ||
		    key == QKeySequence::SelectAll || key->key() == Qt::Key_Backspace ||
		    key == QKeySequence::Delete || key == QKeySequence::DeleteStartOfWord ||
		    key == QKeySequence::DeleteEndOfWord || key == QKeySequence::MoveToNextWord ||
		    key == QKeySequence::MoveToPreviousWord || key == QKeySequence::SelectNextWord ||
		    key == QKeySequence::SelectPreviousWord || key == QKeySequence::MoveToStartOfDocument ||
		    key == QKeySequence::MoveToEndOfDocument ||
		    key == QKeySequence::SelectStartOfDocument ||
		    key == QKeySequence::SelectEndOfDocument) {
			event->accept();
			return true;
		}
	}
	if (mData != nullptr && event->type() == QEvent::KeyPress) {
		// Tab types a tab in a text, and moves the focus from a field.
		QKeyEvent* key = static_cast<QKeyEvent*>(event);
		if (key->key() == Qt::Key_Tab && !mData->singleLine &&
		    !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier)) &&
		    mData->editable) {
			keyPressEvent(key);
			return true;
		}
	}
	return QAbstractScrollArea::event(event);
}

void TextEditWidget::keyPressEvent(QKeyEvent* event)
{
	if (mData == nullptr || !_HandleKey(event)) {
		event->ignore();
		return;
	}
	event->accept();
	_RestartBlink();
}

bool TextEditWidget::_HandleKey(QKeyEvent* event)
{
	TextViewData* data = mData;
	BTextView* view = data->view;
	const int32 start = data->SelectionStart();
	const int32 end = data->SelectionEnd();
	const bool editable = data->editable;

	if (event == QKeySequence::Undo) {
		view->Undo();
		return true;
	}
	if (is_redo(event)) {
		view->Redo();
		return true;
	}
	const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
	if (enter) {
		if (data->singleLine) {
			if (data->enterHandler)
				data->enterHandler();
			return true;
		}
		if (editable) {
			UserAction action(data, EditSource::kTyping);
			data->UserEdit(start, end, "\n");
		}
		return true;
	}
	if (event == QKeySequence::Copy) {
		Copy();
		return true;
	}
	if (event == QKeySequence::Cut) {
		view->Cut();
		return true;
	}
	if (event == QKeySequence::Paste) {
		view->Paste();
		return true;
	}
	if (event == QKeySequence::SelectAll) {
		view->SelectAll();
		return true;
	}

	// Deleting.
	auto remove = [&](int32 from, int32 to) {
		if (!editable)
			return;
		UserAction action(data, EditSource::kTyping);
		data->UserEdit(from, to, std::string());
	};
	if (event->key() == Qt::Key_Backspace &&
	    !(event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier))) {
		remove(start < end ? start : _NextChar(start, false), end);
		return true;
	}
	if (event == QKeySequence::Delete) {
		remove(start, start < end ? end : _NextChar(end, true));
		return true;
	}
	if (event == QKeySequence::DeleteStartOfWord) {
		remove(start < end ? start : _WordEdge(start, false), end);
		return true;
	}
	if (event == QKeySequence::DeleteEndOfWord) {
		remove(start, start < end ? end : _WordEdge(end, true));
		return true;
	}
	if (event == QKeySequence::DeleteEndOfLine) {
		remove(start, start < end ? end : std::max(_LineEdge(end, true), _NextChar(end, true)));
		return true;
	}
	if (event == QKeySequence::DeleteCompleteLine) {
		const int32 from = _LineEdge(start, false);
		remove(from, std::min(_NextChar(_LineEdge(end, true), true), data->Length()));
		return true;
	}

	// Moving and selecting.
	const int32 caret = data->caret;
	const int page = std::max(viewport()->height() / std::max(data->lineHeight, 1) - 1, 1);
	struct Move
	{
		QKeySequence::StandardKey move;
		QKeySequence::StandardKey select;
	};
	const Move kMoves[] = {
	    {QKeySequence::MoveToNextChar, QKeySequence::SelectNextChar},
	    {QKeySequence::MoveToPreviousChar, QKeySequence::SelectPreviousChar},
	    {QKeySequence::MoveToNextWord, QKeySequence::SelectNextWord},
	    {QKeySequence::MoveToPreviousWord, QKeySequence::SelectPreviousWord},
	    {QKeySequence::MoveToNextLine, QKeySequence::SelectNextLine},
	    {QKeySequence::MoveToPreviousLine, QKeySequence::SelectPreviousLine},
	    {QKeySequence::MoveToStartOfLine, QKeySequence::SelectStartOfLine},
	    {QKeySequence::MoveToEndOfLine, QKeySequence::SelectEndOfLine},
	    {QKeySequence::MoveToStartOfBlock, QKeySequence::SelectStartOfBlock},
	    {QKeySequence::MoveToEndOfBlock, QKeySequence::SelectEndOfBlock},
	    {QKeySequence::MoveToStartOfDocument, QKeySequence::SelectStartOfDocument},
	    {QKeySequence::MoveToEndOfDocument, QKeySequence::SelectEndOfDocument},
	    {QKeySequence::MoveToNextPage, QKeySequence::SelectNextPage},
	    {QKeySequence::MoveToPreviousPage, QKeySequence::SelectPreviousPage},
	};
	for (size_t i = 0; i < sizeof(kMoves) / sizeof(kMoves[0]); i++) {
		const bool extend = event == kMoves[i].select;
		if (!extend && event != kMoves[i].move)
			continue;
		if (!data->selectable)
			return true;
		int32 target = caret;
		switch (kMoves[i].move) {
		case QKeySequence::MoveToNextChar:
			target = !extend && start < end ? end : _NextChar(caret, true);
			break;
		case QKeySequence::MoveToPreviousChar:
			target = !extend && start < end ? start : _NextChar(caret, false);
			break;
		case QKeySequence::MoveToNextWord:
			target = _WordEdge(caret, true);
			break;
		case QKeySequence::MoveToPreviousWord:
			target = _WordEdge(caret, false);
			break;
		case QKeySequence::MoveToNextLine:
			target = _VisualLineMove(caret, 1);
			break;
		case QKeySequence::MoveToPreviousLine:
			target = _VisualLineMove(caret, -1);
			break;
		case QKeySequence::MoveToStartOfLine:
			target = _LineEdge(caret, false);
			break;
		case QKeySequence::MoveToEndOfLine:
			target = _LineEdge(caret, true);
			break;
		case QKeySequence::MoveToStartOfBlock: {
			const ParagraphPlace place = data->paragraphs.LocateByte(caret);
			target = (int32)place.byte;
			break;
		}
		case QKeySequence::MoveToEndOfBlock: {
			const ParagraphPlace place = data->paragraphs.LocateByte(caret);
			target = (int32)(place.byte + data->paragraphs.Paragraph(place).text.size());
			break;
		}
		case QKeySequence::MoveToStartOfDocument:
			target = 0;
			break;
		case QKeySequence::MoveToEndOfDocument:
			target = data->Length();
			break;
		case QKeySequence::MoveToNextPage:
			target = _VisualLineMove(caret, page);
			verticalScrollBar()->setValue(verticalScrollBar()->value() + page * data->lineHeight);
			break;
		case QKeySequence::MoveToPreviousPage:
			target = _VisualLineMove(caret, -page);
			verticalScrollBar()->setValue(verticalScrollBar()->value() - page * data->lineHeight);
			break;
		default:
			break;
		}
		const bool vertical = kMoves[i].move == QKeySequence::MoveToNextLine ||
		                      kMoves[i].move == QKeySequence::MoveToPreviousLine ||
		                      kMoves[i].move == QKeySequence::MoveToNextPage ||
		                      kMoves[i].move == QKeySequence::MoveToPreviousPage;
		if (!vertical)
			mGoalX = -1;
		_Move(target, extend);
		if (!vertical)
			mGoalX = -1;
		return true;
	}

	const QString text = typed_text(event);
	if (!text.isEmpty()) {
		if (editable && !(data->singleLine && text == QStringLiteral("\t"))) {
			UserAction action(data, EditSource::kTyping);
			data->UserEdit(start, end, to_utf8(text));
		}
		return editable;
	}
	return false;
}

// ---- Input methods -----------------------------------------------------

void TextEditWidget::inputMethodEvent(QInputMethodEvent* event)
{
	if (mData == nullptr || !mData->editable) {
		event->ignore();
		return;
	}
	UserAction action(mData, EditSource::kTyping);
	const std::string commit = outside_text(mData, event->commitString());
	int32 from = mData->SelectionStart();
	int32 to = mData->SelectionEnd();
	if (event->replacementLength() > 0 || event->replacementStart() != 0) {
		// Relative to the caret, in UTF-16 units of its paragraph.
		const ParagraphPlace place = mData->paragraphs.LocateByte(mData->caret);
		const std::string_view text = mData->paragraphs.Paragraph(place).text;
		const int caretUnit = utf16_index(text, (size_t)(mData->caret - place.byte));
		const int first = std::max(caretUnit + event->replacementStart(), 0);
		const int last = std::max(first + event->replacementLength(), first);
		from = (int32)(place.byte + byte_index(text, first));
		to = (int32)(place.byte + byte_index(text, last));
	}
	mPreedit = event->preeditString();
	if (!commit.empty() || to > from) {
		mData->UserEdit(from, to, commit);
	}
	viewport()->update();
	event->accept();
}

QVariant TextEditWidget::inputMethodQuery(Qt::InputMethodQuery query) const
{
	if (mData == nullptr)
		return QAbstractScrollArea::inputMethodQuery(query);
	const ParagraphPlace place = mData->paragraphs.LocateByte(mData->caret);
	const std::string_view text = mData->paragraphs.Paragraph(place).text;
	switch (query) {
	case Qt::ImEnabled:
		return mData->editable;
	case Qt::ImCursorRectangle:
	case Qt::ImAnchorRectangle: {
		const QRectF rect =
		    CaretRect(query == Qt::ImCursorRectangle ? mData->caret : mData->anchor);
		return rect.translated(viewport()->pos());
	}
	case Qt::ImFont:
		return mData->baseFont;
	case Qt::ImCursorPosition:
		return utf16_index(text, (size_t)(mData->caret - place.byte));
	case Qt::ImAnchorPosition: {
		const int32 inside =
		    std::clamp<int32>(mData->anchor - (int32)place.byte, 0, (int32)text.size());
		return utf16_index(text, (size_t)inside);
	}
	case Qt::ImSurroundingText:
		return QString::fromUtf8(text.data(), (qsizetype)text.size());
	case Qt::ImCurrentSelection: {
		const std::string selected =
		    mData->TextRange(mData->SelectionStart(), mData->SelectionEnd());
		return QString::fromUtf8(selected.data(), (qsizetype)selected.size());
	}
	case Qt::ImHints:
		return (int)(mData->singleLine ? Qt::ImhNone : Qt::ImhMultiLine);
	case Qt::ImReadOnly:
		return !mData->editable;
	default:
		return QAbstractScrollArea::inputMethodQuery(query);
	}
}

// ---- Clipboard ---------------------------------------------------------

void TextEditWidget::Copy() const
{
	if (mData == nullptr || mData->SelectionEnd() <= mData->SelectionStart())
		return;
	const std::string bytes = mData->TextRange(mData->SelectionStart(), mData->SelectionEnd());
	QGuiApplication::clipboard()->setText(QString::fromUtf8(bytes.data(), (qsizetype)bytes.size()));
}

void TextEditWidget::Cut()
{
	if (mData == nullptr || !mData->editable || mData->SelectionEnd() <= mData->SelectionStart())
		return;
	Copy();
	mData->UserEdit(mData->SelectionStart(), mData->SelectionEnd(), std::string());
}

void TextEditWidget::Paste(bool selectionClipboard)
{
	if (mData == nullptr || !mData->editable)
		return;
	const QString text = QGuiApplication::clipboard()->text(
	    selectionClipboard ? QClipboard::Selection : QClipboard::Clipboard);
	if (text.isEmpty())
		return;
	mData->UserEdit(mData->SelectionStart(), mData->SelectionEnd(), outside_text(mData, text));
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
	BTextView* view = mData->view;
	const bool editable = mData->editable;
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

// ---- Mouse -------------------------------------------------------------

void TextEditWidget::mousePressEvent(QMouseEvent* event)
{
	if (mData == nullptr)
		return;
	mData->undo.Seal();
	const QPointF point = event->position();
	const int32 offset = OffsetAtViewport(point);
	if (event->button() == Qt::MiddleButton) {
		if (QGuiApplication::clipboard()->supportsSelection() && mData->editable) {
			UserAction action(mData, EditSource::kUserAction);
			mData->SetSelection(offset, offset);
			Paste(true);
		}
		return;
	}
	if (event->button() != Qt::LeftButton || !mData->selectable)
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
		mData->SetSelection(mData->anchor, offset);
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
	if (mData == nullptr || event->button() != Qt::LeftButton || !mData->selectable)
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
			                               : (int32)mData->paragraphs.LocateByte(offset).byte;
			mData->SetSelection(mWordAnchorEnd, std::min(from, offset));
		} else {
			to = std::max(offset, to);
			if (mPress == Press::kWords && offset > mWordAnchorEnd)
				to = _WordEdge(offset, true);
			mData->SetSelection(mWordAnchorStart, to);
		}
	} else {
		mData->SetSelection(mData->anchor, offset);
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

// ---- Drag and drop -----------------------------------------------------

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
	    mData->editable ? Qt::CopyAction | Qt::MoveAction : Qt::CopyAction;
	const Qt::DropAction done = drag->exec(actions, Qt::MoveAction);
	if (mData == nullptr)
		return;
	if (done == Qt::MoveAction && drag->target() != nullptr && drag->target() != this &&
	    drag->target() != viewport() && mData->TextRange(start, end) == bytes) {
		// Moved into another widget: the text leaves this one.
		UserAction action(mData, EditSource::kUserAction);
		mData->UserEdit(start, end, std::string());
	}
}

void TextEditWidget::dragEnterEvent(QDragEnterEvent* event)
{
	if (mData == nullptr || !mData->editable || !event->mimeData()->hasText()) {
		event->ignore();
		return;
	}
	event->acceptProposedAction();
}

void TextEditWidget::dragMoveEvent(QDragMoveEvent* event)
{
	if (mData == nullptr || !mData->editable || !event->mimeData()->hasText()) {
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
	if (mData == nullptr || !mData->editable || !event->mimeData()->hasText()) {
		event->ignore();
		return;
	}
	int32 offset = OffsetAtViewport(event->position());
	const std::string text = outside_text(mData, event->mimeData()->text());
	// Moving text by drag and drop deletes and inserts: one undo step.
	UserAction action(mData, EditSource::kUserAction);
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

} // namespace BPrivate
