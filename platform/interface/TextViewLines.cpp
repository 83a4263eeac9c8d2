// Visual lines: paragraphs laid out at the wrap width, and their counts
// kept in the paragraph index so that lines are found without a layout of
// the whole text.
#include "TextViewData.h"

#include <QFontMetricsF>
#include <QScrollBar>
#include <QTextOption>

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>

#include "TextEditWidget.h"
#include "ViewPrivate.h"

namespace BPrivate {

int32 TextViewData::ClampOffset(int32 offset) const
{
	const int32 length = Length();
	if (offset <= 0)
		return 0;
	if (offset >= length)
		return length;
	const ParagraphPlace place = mParagraphs.LocateByte(offset);
	const std::string_view text = mParagraphs.Paragraph(place).text;
	size_t inside = (size_t)(offset - place.byte);
	while (inside > 0 && is_continuation(text, inside))
		inside--;
	return (int32)(place.byte + inside);
}

int32 TextViewData::CountLines()
{
	FlushLines();
	return (int32)mParagraphs.Lines();
}

int32 TextViewData::LineAt(int32 offset)
{
	FlushLines();
	offset = std::clamp<int32>(offset, 0, Length());
	const ParagraphPlace place = mParagraphs.FindByByte(offset);
	const TextParagraph& paragraph = mParagraphs.Paragraph(place);
	const int32 inside = (int32)(offset - place.byte);
	const auto later =
	    std::upper_bound(paragraph.lineStarts.begin(), paragraph.lineStarts.end(), inside);
	return (int32)(place.line + (later - paragraph.lineStarts.begin()));
}

int32 TextViewData::OffsetAt(int32 line)
{
	FlushLines();
	if (line <= 0)
		return 0;
	if (line >= mParagraphs.Lines())
		return Length();
	const ParagraphPlace place = mParagraphs.FindByLine(line);
	const TextParagraph& paragraph = mParagraphs.Paragraph(place);
	const int64 inside = line - place.line;
	if (inside <= 0 || paragraph.lineStarts.empty())
		return (int32)place.byte;
	const size_t index = std::min<size_t>((size_t)inside - 1, paragraph.lineStarts.size() - 1);
	return (int32)(place.byte + paragraph.lineStarts[index]);
}

int TextViewData::WrapWidth() const
{
	if (!mModes.wrap || mModes.singleLine)
		return 0;
	int width;
	if (mWidget->isVisible()) {
		width = mWidget->viewport()->width();
	} else {
		// Hidden widgets get their resize events only when shown; work it
		// out the way the scroll area will.
		const QMargins margins = mWidget->Margins();
		width = mWidget->width() - 2 * mWidget->frameWidth() - margins.left() - margins.right();
		if (mWidget->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn)
			width -= mWidget->verticalScrollBar()->sizeHint().width();
	}
	return std::max(width, 1);
}

qreal TextViewData::_SimpleAdvance(std::string_view text, size_t i, size_t* length) const
{
	const uint8 byte = (uint8)text[i];
	if (byte >= 0x20 && byte < 0x7F) {
		*length = 1;
		return mAsciiAdvance[byte];
	}
	char32_t code;
	if (byte >= 0xC0 && byte < 0xE0 && i + 1 < text.size()) {
		code = ((char32_t)(byte & 0x1F) << 6) | ((uint8)text[i + 1] & 0x3F);
		*length = 2;
	} else if (byte >= 0xE0 && byte < 0xF0 && i + 2 < text.size()) {
		code = ((char32_t)(byte & 0x0F) << 12) | (((uint8)text[i + 1] & 0x3F) << 6) |
		       ((uint8)text[i + 2] & 0x3F);
		*length = 3;
	} else {
		return -1;
	}
	// Latin, Greek, Cyrillic, punctuation, symbols, kana, ideographs and
	// Hangul syllables: no marks, no joining, no right-to-left.
	const bool simple = (code >= 0xA0 && code < 0x0300) || (code >= 0x0370 && code < 0x0483) ||
	                    (code >= 0x048A && code < 0x0590) || (code >= 0x2010 && code < 0x2028) ||
	                    (code >= 0x2030 && code < 0x205F) || (code >= 0x20A0 && code < 0x20C0) ||
	                    (code >= 0x2100 && code < 0x2800) || (code >= 0x3000 && code < 0x3100) ||
	                    (code >= 0x4E00 && code < 0xA000) || (code >= 0xAC00 && code < 0xD7A4);
	if (!simple)
		return -1;
	if (mAdvance.empty())
		mAdvance.assign(0xD7A4 - 0xA0, -1.0f);
	float& advance = mAdvance[code - 0xA0];
	if (advance < 0)
		advance = (float)QFontMetricsF(mBaseFont).horizontalAdvance(QChar((char16_t)code));
	return advance;
}

bool TextViewData::_SimpleBreaks(std::string_view text, int width, std::vector<int32>* starts,
                                 size_t from, const std::function<bool(size_t)>& stop) const
{
	// Text of simple scripts (Latin, Greek, Cyrillic, punctuation) shapes
	// one character to one glyph: its lines are broken here, from the
	// characters' advances, greedily after spaces and, for a word longer
	// than a line, anywhere. The widget lays such paragraphs out with these
	// very breaks, so counting and painting always agree.
	starts->clear();
	if (width <= 0)
		return true;
	_MeasureFont();
	const qreal limit = width;
	size_t lineStart = from;
	size_t lastBreak = from; // where a line may start after a space
	qreal x = 0;
	auto advanceAt = [&](size_t i, size_t* length) { return _SimpleAdvance(text, i, length); };
	for (size_t i = from; i < text.size();) {
		const uint8 byte = (uint8)text[i];
		size_t length = 1;
		if (byte == '\t') {
			x = (std::floor(x / kTabStop) + 1) * kTabStop;
			lastBreak = i + 1;
			i++;
			continue;
		}
		const qreal advance = advanceAt(i, &length);
		if (advance < 0)
			return false;
		if (byte == ' ') {
			// Spaces may hang past the edge; a line can start after them.
			x += advance;
			lastBreak = i + 1;
			i += length;
			continue;
		}
		if (x + advance > limit && i > lineStart) {
			const size_t next = lastBreak > lineStart ? lastBreak : i;
			starts->push_back((int32)next);
			if (stop && stop(next))
				return true;
			lineStart = next;
			lastBreak = next;
			// The characters carried over to the new line.
			x = 0;
			for (size_t j = next; j < i;) {
				size_t l = 1;
				x += text[j] == '\t' ? kTabStop - std::fmod(x, kTabStop) : advanceAt(j, &l);
				j += l;
			}
		}
		x += advance;
		i += length;
	}
	return true;
}

LineWindow TextViewData::WindowOf(const TextParagraph& paragraph, int64 first, int64 count) const
{
	LineWindow window;
	// Short paragraphs are laid out whole: a layout of a few lines costs
	// less than finding them. A window needs the lines counted at the width
	// the layout will have.
	if (paragraph.text.size() <= kWindowBytes || paragraph.dirty || paragraph.lines <= 1 ||
	    mCountWidth <= 0 || mCountWidth != WrapWidth())
		return window;
	first = std::clamp<int64>(first, 0, paragraph.lines - 1);
	const int64 last = std::clamp<int64>(first + std::max<int64>(count, 1), first + 1,
	                                     paragraph.lines); // after the window
	window.firstLine = (int32)first;
	window.byte = first == 0 ? 0 : (size_t)paragraph.lineStarts[(size_t)first - 1];
	window.end = last >= paragraph.lines ? std::string::npos
	                                     : (size_t)paragraph.lineStarts[(size_t)last - 1];
	return window;
}

void TextViewData::LayOut(const TextParagraph& paragraph, QTextLayout* layout, int width,
                          bool withFormats, const LineWindow& window) const
{
	const std::string_view all = paragraph.text;
	const size_t base = std::min(window.byte, all.size());
	const size_t endByte = std::min(window.end, all.size());
	const bool whole = base == 0 && endByte == all.size();
	const std::string_view text = all.substr(base, endByte - base);
	layout->setText(display_text(text));
	layout->setFont(mBaseFont);
	std::vector<int32> breaks;
	bool ownBreaks;
	if (whole) {
		ownBreaks = width > 0 && !mFontsVary && _SimpleBreaks(text, width, &breaks);
	} else {
		// A window keeps to the lines as counted, whoever broke them.
		ownBreaks = true;
		for (size_t i = (size_t)window.firstLine; i < paragraph.lineStarts.size(); i++) {
			const size_t start = (size_t)paragraph.lineStarts[i];
			if (start >= endByte)
				break;
			breaks.push_back((int32)(start - base));
		}
	}
	QTextOption option;
	// Our own breaks go through numbers of columns, which the layout keeps
	// to only when it may break anywhere.
	option.setWrapMode(width <= 0  ? QTextOption::NoWrap
	                   : ownBreaks ? QTextOption::WrapAnywhere
	                               : QTextOption::WrapAtWordBoundaryOrAnywhere);
	option.setTabStopDistance(kTabStop);
	layout->setTextOption(option);
	if (withFormats) {
		QList<QTextLayout::FormatRange> formats;
		const size_t count = paragraph.runs.empty() ? 1 : paragraph.runs.size();
		int previous = 0;
		for (size_t i = 0; i < count; i++) {
			const uint16 index = paragraph.runs.empty() ? paragraph.style : paragraph.runs[i].style;
			const size_t runEnd =
			    i + 1 < count ? (size_t)paragraph.runs[i + 1].start : paragraph.text.size();
			if (runEnd <= base)
				continue;
			const int end = utf16_index(text, std::min(runEnd, endByte) - base);
			const TextStyle& style = mStyles[index];
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
			if (runEnd >= endByte)
				break;
		}
		layout->setFormats(formats);
	}
	// With our own breaks each line takes the characters up to the next;
	// a preedit text counts in the line that holds its position.
	const int preeditAt = layout->preeditAreaPosition();
	const int preeditSize = layout->preeditAreaText().size();
	layout->beginLayout();
	qreal y = 0;
	size_t next = 0;
	int lineStart = 0;
	while (true) {
		QTextLine line = layout->createLine();
		if (!line.isValid())
			break;
		if (ownBreaks && next < breaks.size()) {
			const int lineEnd = utf16_index(text, (size_t)breaks[next++]);
			int columns = lineEnd - lineStart;
			if (preeditSize > 0 && preeditAt >= lineStart && preeditAt < lineEnd)
				columns += preeditSize;
			columns = std::max(columns, 1);
			// The layout counts columns in glyphs, and a tab among them
			// counts differently: asked again with the difference, the line
			// ends where the break is.
			int asked = columns;
			line.setNumColumns(asked);
			for (int attempt = 0; attempt < 4 && line.textLength() != columns; attempt++) {
				asked += columns - line.textLength();
				if (asked < 1)
					break;
				line.setNumColumns(asked);
			}
			lineStart = lineEnd;
		} else if (ownBreaks) {
			line.setNumColumns(INT_MAX / 4); // the rest
		} else {
			line.setLineWidth(width > 0 ? width : 1 << 24);
		}
		line.setPosition(QPointF(0, y));
		y += mLineHeight;
	}
	layout->endLayout();
}

void TextViewData::FlushLines()
{
	const int width = WrapWidth();
	if (width != mCountWidth) {
		mCountWidth = width;
		mParagraphs.MarkAllDirty();
	}
	if (mParagraphs.DirtyCount() == 0)
		return;
	_MeasureFont();
	mParagraphs.FlushDirty([this](TextParagraph& paragraph, int32) { _CountLines(paragraph); });
}

void TextViewData::_CountLines(TextParagraph& paragraph)
{
	paragraph.lines = 1;
	paragraph.lineStarts.clear();
	if (mCountWidth <= 0 || paragraph.text.empty())
		return;
	if (!mFontsVary) {
		// Text of simple scripts that fits, most lines: one quick pass.
		const std::string_view text = paragraph.text;
		qreal sum = 0;
		size_t i = 0;
		bool simple = true;
		while (i < text.size() && sum <= mCountWidth) {
			const uint8 byte = (uint8)text[i];
			if (byte >= 0x20 && byte < 0x7F) {
				sum += mAsciiAdvance[byte];
				i++;
				continue;
			}
			if (byte == '\t')
				break; // tab stops: the full count below
			size_t length = 1;
			const qreal advance = _SimpleAdvance(text, i, &length);
			if (advance < 0) {
				simple = false;
				break;
			}
			sum += advance;
			i += length;
		}
		if (i == text.size() && sum <= mCountWidth)
			return;
		std::vector<int32> starts;
		if (simple && _SimpleBreaks(paragraph.text, mCountWidth, &starts)) {
			paragraph.lineStarts = std::move(starts);
			paragraph.lines = 1 + (int32)paragraph.lineStarts.size();
			return;
		}
	}

	QTextLayout layout;
	LayOut(paragraph, &layout, mCountWidth, mFontsVary);
	// Each line's start from the one before: a long paragraph is not
	// walked again from its start for every line.
	const std::string_view text = paragraph.text;
	size_t byte = 0;
	int unit = 0;
	for (int i = 1; i < layout.lineCount(); i++) {
		const int start = layout.lineAt(i).textStart();
		byte += byte_index(text.substr(byte), start - unit);
		unit = start;
		paragraph.lineStarts.push_back((int32)byte);
	}
	paragraph.lines = 1 + (int32)paragraph.lineStarts.size();
}

void TextViewData::_RecountLines(TextParagraph& paragraph, const int32* oldStarts, size_t oldCount,
                                 size_t at, size_t removed, size_t inserted)
{
	const std::string_view text = paragraph.text;
	if (text.size() <= kWindowBytes || mCountWidth <= 0 || mFontsVary || oldCount == 0) {
		_CountLines(paragraph);
		return;
	}
	// Lines before the one changed keep their starts; the line before it
	// may take words from it, so the count starts one line further back.
	const size_t changed =
	    (size_t)(std::upper_bound(oldStarts, oldStarts + oldCount, (int32)at) - oldStarts);
	const size_t kept = changed >= 2 ? changed - 2 : 0;
	const size_t from = kept == 0 ? 0 : (size_t)oldStarts[kept - 1];
	const int64 delta = (int64)inserted - (int64)removed;
	const size_t changeEnd = at + inserted;
	// Old starts after the change, met again once a new start equals one.
	size_t old = changed;
	while (old < oldCount && (size_t)oldStarts[old] <= at + removed)
		old++;
	bool met = false;
	std::vector<int32> starts;
	const bool simple = _SimpleBreaks(text, mCountWidth, &starts, from, [&](size_t start) {
		if (start <= changeEnd)
			return false;
		while (old < oldCount && (int64)oldStarts[old] + delta < (int64)start)
			old++;
		met = old < oldCount && (int64)oldStarts[old] + delta == (int64)start;
		return met;
	});
	if (!simple) {
		_CountLines(paragraph);
		return;
	}
	// The old starts before the change, those counted, and once the breaks
	// met the old ones again the rest of those, moved by the change: spliced
	// where they lie, so a long paragraph's starts are not copied per edit.
	const size_t replacedEnd = met ? old + 1 : oldCount;
	if (paragraph.lineStarts.begin() != oldStarts)
		paragraph.lineStarts.Assign(oldStarts, oldCount);
	paragraph.lineStarts.Splice(kept, replacedEnd - kept, starts.data(), starts.size());
	const size_t moved = kept + starts.size();
	if (moved < paragraph.lineStarts.size()) {
		// One plain loop the compiler can vectorise: a long paragraph has
		// thousands of starts after the edit.
		int32* items = &paragraph.lineStarts[0];
		const int32 by = (int32)delta;
		for (size_t i = moved, count = paragraph.lineStarts.size(); i < count; i++)
			items[i] += by;
	}
	paragraph.lines = 1 + (int32)paragraph.lineStarts.size();
}

void TextViewData::_MeasureFont() const
{
	if (mFontMeasured)
		return;
	const QFontMetricsF metrics(mBaseFont);
	for (int c = 0x20; c < 0x7F; c++)
		mAsciiAdvance[c] = metrics.horizontalAdvance(QChar(c));
	mAdvance.clear(); // measured again as met
	mFontMeasured = true;
}

} // namespace BPrivate
