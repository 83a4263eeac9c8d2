// Visual lines: paragraphs laid out at the wrap width, and their counts
// kept in the paragraph index so that lines are found without a layout of
// the whole text.
#include "TextViewData.h"

#include <QFontMetricsF>
#include <QScrollBar>
#include <QTextOption>

#include <algorithm>

#include "ViewPrivate.h"

namespace BPrivate {

int32
TextViewData::ClampOffset(int32 offset) const
{
	const int32 length = Length();
	if (offset <= 0)
		return 0;
	if (offset >= length)
		return length;
	const ParagraphPlace place = paragraphs.FindByByte(offset);
	const std::string& text = paragraphs.Paragraph(place).text;
	size_t inside = (size_t)(offset - place.byte);
	while (inside > 0 && is_continuation(text, inside))
		inside--;
	return (int32)(place.byte + inside);
}


int32
TextViewData::CountLines()
{
	FlushLines();
	return (int32)paragraphs.Lines();
}


int32
TextViewData::LineAt(int32 offset)
{
	FlushLines();
	offset = std::clamp<int32>(offset, 0, Length());
	const ParagraphPlace place = paragraphs.FindByByte(offset);
	const TextParagraph& paragraph = paragraphs.Paragraph(place);
	const int32 inside = (int32)(offset - place.byte);
	const auto later = std::upper_bound(paragraph.lineStarts.begin(),
		paragraph.lineStarts.end(), inside);
	return (int32)(place.line + (later - paragraph.lineStarts.begin()));
}


int32
TextViewData::OffsetAt(int32 line)
{
	FlushLines();
	if (line <= 0)
		return 0;
	if (line >= paragraphs.Lines())
		return Length();
	const ParagraphPlace place = paragraphs.FindByLine(line);
	const TextParagraph& paragraph = paragraphs.Paragraph(place);
	const int64 inside = line - place.line;
	if (inside <= 0 || paragraph.lineStarts.empty())
		return (int32)place.byte;
	const size_t index = std::min<size_t>((size_t)inside - 1, paragraph.lineStarts.size() - 1);
	return (int32)(place.byte + paragraph.lineStarts[index]);
}


int
TextViewData::WrapWidth() const
{
	if (!wrap || singleLine)
		return 0;
	int width;
	if (widget->isVisible()) {
		width = widget->viewport()->width();
	} else {
		// Hidden widgets get their resize events only when shown; work it
		// out the way the scroll area will.
		const QMargins margins = widget->Margins();
		width = widget->width() - 2 * widget->frameWidth() - margins.left() - margins.right();
		if (widget->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn)
			width -= widget->verticalScrollBar()->sizeHint().width();
	}
	return std::max(width, 1);
}


void
TextViewData::LayOut(const TextParagraph& paragraph, QTextLayout* layout, int width,
	bool withFormats) const
{
	layout->setText(display_text(paragraph.text));
	layout->setFont(baseFont);
	QTextOption option;
	option.setWrapMode(width > 0 ? QTextOption::WrapAtWordBoundaryOrAnywhere
								 : QTextOption::NoWrap);
	option.setTabStopDistance(28);
	layout->setTextOption(option);
	if (withFormats) {
		QList<QTextLayout::FormatRange> formats;
		const size_t count = paragraph.runs.empty() ? 1 : paragraph.runs.size();
		int previous = 0;
		for (size_t i = 0; i < count; i++) {
			const uint16 index = paragraph.runs.empty() ? paragraph.style : paragraph.runs[i].style;
			const size_t endByte = i + 1 < count ? (size_t)paragraph.runs[i + 1].start
												 : paragraph.text.size();
			const int end = utf16_index(paragraph.text, endByte);
			const TextStyle& style = styles[index];
			if (end > previous && (index != 0 || style.font >= 0)) {
				QTextLayout::FormatRange range;
				range.start = previous;
				range.length = end - previous;
				range.format.setForeground(QBrush(to_qcolor(style.color)));
				if (style.font >= 0)
					range.format.setFont(FontOf(style));
				formats.append(range);
			}
			previous = end;
		}
		layout->setFormats(formats);
	}
	layout->beginLayout();
	qreal y = 0;
	while (true) {
		QTextLine line = layout->createLine();
		if (!line.isValid())
			break;
		line.setLineWidth(width > 0 ? width : 1 << 24);
		line.setPosition(QPointF(0, y));
		y += lineHeight;
	}
	layout->endLayout();
}


void
TextViewData::FlushLines()
{
	const int width = WrapWidth();
	if (width != mCountWidth) {
		mCountWidth = width;
		const QFontMetricsF metrics(baseFont);
		mMaxAsciiAdvance = 0;
		for (int c = 0x20; c < 0x7F; c++) {
			mAsciiAdvance[c] = metrics.horizontalAdvance(QChar(c));
			mMaxAsciiAdvance = std::max(mMaxAsciiAdvance, mAsciiAdvance[c]);
		}
		paragraphs.MarkAllDirty();
	}
	if (paragraphs.DirtyCount() == 0)
		return;
	paragraphs.FlushDirty([this](TextParagraph& paragraph, int32) { _CountLines(paragraph); });
}


void
TextViewData::_CountLines(TextParagraph& paragraph)
{
	paragraph.lines = 1;
	paragraph.lineStarts.clear();
	if (mCountWidth <= 0 || paragraph.text.empty())
		return;

	if (!fontsVary) {
		// Most lines are short: plain ASCII that surely fits needs no layout.
		// The sum of advances ignores kerning, hence the margin.
		bool plain = true;
		qreal sum = 0;
		for (char c : paragraph.text) {
			const uint8 byte = (uint8)c;
			if (byte < 0x20 || byte >= 0x7F) {
				plain = false;
				break;
			}
			sum += mAsciiAdvance[byte];
		}
		if (plain
			&& ((qreal)paragraph.text.size() * mMaxAsciiAdvance <= mCountWidth
				|| sum <= mCountWidth * 0.97 - 2))
			return;
	}

	QTextLayout layout;
	LayOut(paragraph, &layout, mCountWidth, fontsVary);
	for (int i = 1; i < layout.lineCount(); i++) {
		paragraph.lineStarts.push_back(
			(int32)byte_index(paragraph.text, layout.lineAt(i).textStart()));
	}
	paragraph.lines = 1 + (int32)paragraph.lineStarts.size();
}

} // namespace BPrivate
