// Byte offsets <-> document positions, and visual lines counted without
// the widget's layout, which only lays out what it shows.
#include "TextViewData.h"

#include <QFontMetricsF>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>

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


int
TextViewData::ToChar(int32 offset) const
{
	offset = std::clamp<int32>(offset, 0, Length());
	const ParagraphPlace place = paragraphs.FindByByte(offset);
	const std::string& text = paragraphs.Paragraph(place).text;
	size_t inside = (size_t)(offset - place.byte);
	while (inside > 0 && is_continuation(text, inside))
		inside--;
	return (int)(place.chr + document_length(text, inside));
}


int32
TextViewData::ToByte(int chr) const
{
	const int64 last = paragraphs.Chars() - 1;
	const int64 position = std::clamp<int64>(chr, 0, last);
	const ParagraphPlace place = paragraphs.FindByChar(position);
	const std::string& text = paragraphs.Paragraph(place).text;
	return (int32)(place.byte + byte_length(text, (int)(position - place.chr)));
}


int32
TextViewData::CountLines()
{
	_FlushLines();
	return (int32)paragraphs.Lines();
}


int32
TextViewData::LineAt(int32 offset)
{
	_FlushLines();
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
	_FlushLines();
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
	width -= 2 * (int)document->documentMargin();
	return std::max(width, 1);
}


void
TextViewData::_FlushLines()
{
	const int width = WrapWidth();
	const QFont font = document->defaultFont();
	if (width != mCountWidth || font != mCountFont) {
		mCountWidth = width;
		mCountFont = font;
		const QFontMetricsF metrics(font);
		mMaxAsciiAdvance = 0;
		for (int c = 0x20; c < 0x7F; c++) {
			mAsciiAdvance[c] = metrics.horizontalAdvance(QChar(c));
			mMaxAsciiAdvance = std::max(mMaxAsciiAdvance, mAsciiAdvance[c]);
		}
		paragraphs.MarkAllDirty();
	}
	if (paragraphs.DirtyCount() == 0)
		return;
	paragraphs.FlushDirty(
		[this](TextParagraph& paragraph, int32 index) { _CountLines(paragraph, index); });
}


void
TextViewData::_CountLines(TextParagraph& paragraph, int32 index)
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

	const QTextBlock block = document->findBlockByNumber(index);
	QTextLayout layout(block.text(), document->defaultFont());
	layout.setTextOption(document->defaultTextOption());
	if (fontsVary)
		layout.setFormats(block.textFormats());
	layout.beginLayout();
	while (true) {
		QTextLine line = layout.createLine();
		if (!line.isValid())
			break;
		line.setLineWidth(mCountWidth);
		if (line.lineNumber() > 0) {
			paragraph.lineStarts.push_back(
				(int32)byte_length(paragraph.text, line.textStart()));
		}
	}
	layout.endLayout();
	paragraph.lines = 1 + (int32)paragraph.lineStarts.size();
}

} // namespace BPrivate
