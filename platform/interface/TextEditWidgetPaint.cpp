// Painting: the paragraphs on screen, the selection, the caret and the
// place a drop would go.
#include "TextEditWidget.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <string_view>

namespace BPrivate {

void TextEditWidget::paintEvent(QPaintEvent* event)
{
	mRepaintPending = false;
	QPainter painter(viewport());
	if (mData == nullptr)
		return;
	mData->FlushLines();
	// A keystroke damages a few lines, a caret move two places: each is
	// laid out alone, not everything between them.
	const QRegion& region = event->region();
	const int kMostAreas = 4;
	if (region.rectCount() > kMostAreas) {
		_PaintArea(painter, event->rect());
		return;
	}
	for (const QRect& area : region) {
		// Each pixel drawn once, however the lines of two areas meet.
		painter.save();
		painter.setClipRect(area, Qt::IntersectClip);
		_PaintArea(painter, area);
		painter.restore();
	}
}

void TextEditWidget::_PaintArea(QPainter& painter, const QRect& area)
{
	TextViewData* data = mData;
	const int lineHeight = data->LineHeight();
	const QPointF origin = _Origin();
	const int64 lines = data->Paragraphs().Lines();
	int64 firstLine = std::clamp<int64>((int64)std::floor((area.top() - origin.y()) / lineHeight),
	                                    0, std::max<int64>(lines - 1, 0));
	const ParagraphPlace place = data->Paragraphs().FindByLine(firstLine);
	int32 index = place.index;
	int64 line = place.line;
	int64 byte = place.byte;
	const int width = data->WrapWidth();
	const int32 selectionStart = data->SelectionStart();
	const int32 selectionEnd = data->SelectionEnd();
	const bool showCaret = hasFocus() && mCaretOn &&
	                       (data->Modes().editable || data->Modes().selectable) &&
	                       selectionStart == selectionEnd;
	const QPalette& colors = palette();

	const int64 lastLine = (int64)std::floor((area.bottom() - origin.y()) / lineHeight);

	while (index < data->Paragraphs().Count()) {
		if (origin.y() + (qreal)line * lineHeight > area.bottom())
			break;
		const TextParagraph& paragraph = data->Paragraphs().At(index);
		const int32 size = (int32)paragraph.text.size();
		// Of a long paragraph only the lines in the area are laid out.
		const int64 firstShown = std::max<int64>(firstLine - line, 0);
		const LineWindow window =
		    data->WindowOf(paragraph, firstShown, lastLine - line - firstShown + 1);
		const size_t windowEnd = std::min(window.end, (size_t)size);
		const std::string_view shown =
		    std::string_view(paragraph.text).substr(window.byte, windowEnd - window.byte);
		const int64 from = byte + (int64)window.byte; // the window's bytes in the text
		const int64 to = byte + (int64)windowEnd;
		const bool toTheEnd = windowEnd == (size_t)size;
		// An offset at the window's end belongs to the line after it, unless
		// that is the paragraph's end.
		auto inWindow = [&](int64 offset) {
			return offset >= from && (offset < to || (toTheEnd && offset == to));
		};
		const qreal y = origin.y() + (qreal)(line + window.firstLine) * lineHeight;
		const bool caretHere = inWindow(data->Caret());
		const int caretPosition =
		    caretHere ? utf16_index(shown, (size_t)(data->Caret() - from)) : -1;
		QTextLayout layout;
		if (caretHere && !mPreedit.isEmpty())
			layout.setPreeditArea(caretPosition, mPreedit);
		data->LayOut(paragraph, &layout, width, true, window);

		QList<QTextLayout::FormatRange> selections;
		if (selectionStart < selectionEnd && selectionStart <= to && selectionEnd > from) {
			QTextLayout::FormatRange range;
			range.start = utf16_index(shown, (size_t)std::max<int64>(selectionStart - from, 0));
			const int end =
			    utf16_index(shown, (size_t)std::min<int64>(selectionEnd - from, to - from));
			range.length = end - range.start;
			range.format.setBackground(colors.brush(QPalette::Highlight));
			range.format.setForeground(colors.brush(QPalette::HighlightedText));
			if (selectionEnd > byte + size && toTheEnd) {
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
		if (caretHere && showCaret && data->Modes().editable)
			layout.drawCursor(&painter, QPointF(origin.x(), y),
			                  caretPosition + layout.preeditAreaText().size(), 1);
		if (inWindow(mDropCaret)) {
			layout.drawCursor(&painter, QPointF(origin.x(), y),
			                  utf16_index(shown, (size_t)(mDropCaret - from)), 2);
		}
		if (width <= 0)
			mWidest = std::max(mWidest, (int)std::ceil(layout.maximumWidth()));
		line += paragraph.lines;
		byte += size + 1;
		index++;
	}
}

} // namespace BPrivate
