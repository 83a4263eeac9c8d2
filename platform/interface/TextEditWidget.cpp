// The text view's widget: where text lies on screen, scrolling, focus and
// the caret's blinking, and the moves the keys and the mouse share.
#include "TextEditWidget.h"

#include <QApplication>
#include <QScrollBar>
#include <QTextBoundaryFinder>
#include <QTimer>

#include <algorithm>
#include <climits>
#include <cmath>

#include "TextViewAccessible.h"

namespace BPrivate {

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
	_ScheduleUpdate();
}

void TextEditWidget::TextEdited()
{
	_ScheduleUpdate();
}

void TextEditWidget::_ScheduleUpdate()
{
	if (mUpdatePending)
		return;
	mUpdatePending = true;
	QTimer::singleShot(0, this, [this]() {
		mUpdatePending = false;
		if (mData == nullptr)
			return;
		UpdateScrollBars();
		_RepaintDamage();
	});
}

void TextEditWidget::Damage(int32 first, int32 last, bool toEnd, int32 firstLine, int32 lastLine)
{
	if (mRepaintPending)
		return; // all of it is painted anyway
	// Many parts in one turn (a program colouring a text piece by piece):
	// one part from the first to the last serves as well.
	const size_t kMostParts = 16;
	if (mDamage.size() >= kMostParts) {
		DamagedPart all = mDamage.front();
		for (const DamagedPart& part : mDamage) {
			if (part.first < all.first ||
			    (part.first == all.first && part.firstLine < all.firstLine)) {
				all.first = part.first;
				all.firstLine = part.firstLine;
			}
			if (part.last > all.last ||
			    (part.last == all.last &&
			     (part.lastLine < 0 || (all.lastLine >= 0 && part.lastLine > all.lastLine)))) {
				all.last = part.last;
				all.lastLine = part.lastLine;
			}
			all.toEnd |= part.toEnd;
		}
		mDamage.clear();
		mDamage.push_back(all);
	}
	mDamage.push_back(
	    DamagedPart{first, std::max(first, last), std::max(firstLine, 0), lastLine, toEnd});
	_ScheduleUpdate();
}

void TextEditWidget::_RepaintDamage()
{
	std::vector<DamagedPart> damage;
	damage.swap(mDamage);
	if (mRepaintPending || damage.empty())
		return;
	mData->FlushLines();
	const TextViewParagraphs& paragraphs = mData->Paragraphs();
	const int32 count = paragraphs.Count();
	const qreal lineHeight = mData->LineHeight();
	const qreal originY = _Origin().y();
	const QRect shown = viewport()->rect();
	for (const DamagedPart& part : damage) {
		const int32 first = std::min(part.first, count - 1);
		const ParagraphPlace top = paragraphs.FindByIndex(first);
		const int32 topLines = paragraphs.Paragraph(top).lines;
		const int64 firstLine =
		    top.line + (first == part.first ? std::min(part.firstLine, topLines - 1) : 0);
		qreal bottom = shown.bottom() + 1;
		if (!part.toEnd && part.last < count) {
			const ParagraphPlace end = part.last == first ? top : paragraphs.FindByIndex(part.last);
			const int32 endLines = paragraphs.Paragraph(end).lines;
			const int64 lastLine =
			    end.line +
			    (part.lastLine < 0 ? endLines - 1 : std::min(part.lastLine, endLines - 1));
			bottom = originY + (qreal)(lastLine + 1) * lineHeight;
		}
		const qreal y = originY + (qreal)firstLine * lineHeight;
		const QRect area = QRect(QPoint(shown.left(), (int)std::floor(y)),
		                         QPoint(shown.right(), (int)std::ceil(bottom) - 1)) &
		                   shown;
		if (!area.isEmpty())
			viewport()->update(area);
	}
}

void TextEditWidget::SelectionChanged()
{
	if (mData == nullptr)
		return;
	mGoalX = -1;
	_RestartBlink();
	notify_caret_move(this);
	// While the mouse drags a selection out it changes with every move;
	// the X11 selection takes its text once the button is released.
	if (mPress == Press::kNone)
		_OfferSelection();
}

void TextEditWidget::UpdateScrollBars()
{
	if (mData == nullptr)
		return;
	mData->FlushLines();
	const int lineHeight = mData->LineHeight();
	const qint64 total = mData->Paragraphs().Lines() * (qint64)lineHeight;
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
	if (mData->Paragraphs().Count() <= 64) {
		// Few paragraphs (a text field): measure them all.
		mWidest = 0;
		for (int32 i = 0; i < mData->Paragraphs().Count(); i++) {
			QTextLayout layout;
			mData->LayOut(mData->Paragraphs().At(i), &layout, 0, mData->FontsVary());
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
	const ParagraphPlace place = mData->Paragraphs().FindByByte(offset);
	const TextParagraph& paragraph = mData->Paragraphs().Paragraph(place);
	const size_t inside = (size_t)(offset - place.byte);
	const int64 lineInside =
	    std::upper_bound(paragraph.lineStarts.begin(), paragraph.lineStarts.end(), (int32)inside) -
	    paragraph.lineStarts.begin();
	const LineWindow window = mData->WindowOf(paragraph, lineInside, 1);
	QTextLayout layout;
	mData->LayOut(paragraph, &layout, mData->WrapWidth(), mData->FontsVary(), window);
	const int position =
	    utf16_index(std::string_view(paragraph.text).substr(window.byte), inside - window.byte);
	QTextLine line = layout.lineForTextPosition(position);
	if (!line.isValid())
		line = layout.lineAt(std::max(layout.lineCount() - 1, 0));
	const qreal x = line.isValid() ? line.cursorToX(position) : 0;
	const qreal y =
	    (qreal)(place.line + window.firstLine + (line.isValid() ? line.lineNumber() : 0)) *
	    mData->LineHeight();
	return QRectF(x, y, 1, mData->LineHeight()).translated(_Origin());
}

int32 TextEditWidget::OffsetAtViewport(QPointF point) const
{
	if (mData == nullptr)
		return 0;
	mData->FlushLines();
	const QPointF inText = point - _Origin();
	const int64 lines = mData->Paragraphs().Lines();
	if (inText.y() < 0)
		return 0;
	const int64 lineNumber = (int64)(inText.y() / mData->LineHeight());
	if (lineNumber >= lines)
		return mData->Length();
	const ParagraphPlace place = mData->Paragraphs().FindByLine(lineNumber);
	const TextParagraph& paragraph = mData->Paragraphs().Paragraph(place);
	const LineWindow window = mData->WindowOf(paragraph, lineNumber - place.line, 1);
	QTextLayout layout;
	mData->LayOut(paragraph, &layout, mData->WrapWidth(), mData->FontsVary(), window);
	const int index = std::clamp<int>((int)(lineNumber - place.line - window.firstLine), 0,
	                                  std::max(layout.lineCount() - 1, 0));
	const QTextLine line = layout.lineAt(index);
	if (!line.isValid())
		return (int32)(place.byte + window.byte);
	const int position = line.xToCursor(inText.x());
	const std::string_view shown = std::string_view(paragraph.text).substr(window.byte);
	return mData->ClampOffset((int32)(place.byte + window.byte + byte_index(shown, position)));
}

void TextEditWidget::EnsureCaretVisible()
{
	if (mData == nullptr)
		return;
	UpdateScrollBars();
	const QRectF caret = CaretRect(mData->Caret());
	QScrollBar* vertical = verticalScrollBar();
	const int height = viewport()->height();
	if (caret.top() < 0)
		vertical->setValue(vertical->value() + (int)std::floor(caret.top()));
	else if (caret.bottom() > height)
		vertical->setValue(vertical->value() + (int)std::ceil(caret.bottom() - height));
	// The lines are counted and the view scrolled: what the user's edit or
	// move damaged is painted in this turn, not the next.
	_RepaintDamage();
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
			viewport()->update(CaretRect(mData->Caret()).toAlignedRect().adjusted(-2, 0, 2, 0));
		return;
	}
	if (event->timerId() == mAutoScroll.timerId()) {
		_AutoScroll();
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

int32 TextEditWidget::_NextChar(int32 offset, bool forward) const
{
	const int32 length = mData->Length();
	if (forward) {
		if (offset >= length)
			return length;
		const ParagraphPlace place = mData->Paragraphs().LocateByte(offset);
		const std::string_view text = mData->Paragraphs().Paragraph(place).text;
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
	const ParagraphPlace place = mData->Paragraphs().LocateByte(offset);
	const TextParagraph& paragraph = mData->Paragraphs().Paragraph(place);
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
	const qreal y = caret.top() + lines * mData->LineHeight() + mData->LineHeight() / 2.0;
	const qreal goal = mGoalX;
	if (y - _Origin().y() < 0)
		return 0;
	if (y - _Origin().y() >= mData->Paragraphs().Lines() * (qreal)mData->LineHeight())
		return mData->Length();
	const int32 target = OffsetAtViewport(QPointF(goal + _Origin().x(), y));
	mGoalX = goal; // kept for the next move
	return target;
}

void TextEditWidget::_Move(int32 offset, bool extend)
{
	const qreal goal = mGoalX;
	mData->History().Seal();
	mData->SetSelection(extend ? mData->Anchor() : offset, offset);
	EnsureCaretVisible();
	mGoalX = goal;
}

} // namespace BPrivate
