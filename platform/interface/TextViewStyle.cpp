// Colours and fonts of ranges, the base font, the text rectangle.
#include "TextViewData.h"

#include <QFontMetrics>

#include <algorithm>

#include "ApplicationWarmUp.h"
#include "TextEditWidget.h"
#include "ViewPrivate.h"

namespace BPrivate {

namespace {

bool same_color(const rgb_color& a, const rgb_color& b)
{
	return a.red == b.red && a.green == b.green && a.blue == b.blue && a.alpha == b.alpha;
}

} // namespace

uint16 TextViewData::_StyleIndex(const TextStyle& style)
{
	for (size_t i = 0; i < mStyles.size(); i++) {
		if (mStyles[i].font == style.font && same_color(mStyles[i].color, style.color))
			return (uint16)i;
	}
	if (mStyles.size() >= 0xFFFF)
		return 0; // absurdly many styles: the rest fall back to the base
	mStyles.push_back(style);
	return (uint16)(mStyles.size() - 1);
}

const TextStyle& TextViewData::StyleAt(int32 offset) const
{
	offset = std::clamp<int32>(offset, 0, Length());
	const ParagraphPlace place = mParagraphs.LocateByte(offset);
	if (offset - place.byte == (int64)mParagraphs.Paragraph(place).text.size() &&
	    place.index + 1 < mParagraphs.Count()) {
		// Line feeds keep no style of their own: they are never drawn.
		return mStyles[0];
	}
	const TextParagraph& paragraph = mParagraphs.Paragraph(place);
	if (paragraph.runs.empty())
		return mStyles[paragraph.style];
	int32 inside = (int32)(offset - place.byte);
	if (inside >= (int32)paragraph.text.size())
		inside = std::max<int32>((int32)paragraph.text.size() - 1, 0);
	const auto after =
	    std::upper_bound(paragraph.runs.begin(), paragraph.runs.end(), inside,
	                     [](int32 value, const StyleRun& run) { return value < run.start; });
	const StyleRun& run = after == paragraph.runs.begin() ? *after : *(after - 1);
	return mStyles[run.style];
}

uint16 TextViewData::_TypingStyle(int32 offset) const
{
	// New text takes the style of the character before it, as in most
	// editors; at a paragraph start, that of the paragraph's first.
	const ParagraphPlace place = mParagraphs.LocateByte(offset);
	const TextParagraph& paragraph = mParagraphs.Paragraph(place);
	if (paragraph.runs.empty())
		return paragraph.style;
	const int32 inside = std::max<int32>((int32)(offset - place.byte) - 1, 0);
	uint16 style = paragraph.runs.front().style;
	for (const StyleRun& run : paragraph.runs) {
		if (run.start > inside)
			break;
		style = run.style;
	}
	return style;
}

QFont TextViewData::FontOf(const TextStyle& style) const
{
	return style.font >= 0 && style.font < (int32)mFonts.size() ? mFonts[(size_t)style.font]
	                                                            : mBaseFont;
}

void TextViewData::SetBaseColor(const rgb_color& color)
{
	mStyles[0].color = color;
	QPalette palette = mWidget->palette();
	palette.setColor(QPalette::Text, to_qcolor(color));
	mWidget->setPalette(palette);
}

bool TextViewData::GetStyleFont(const TextStyle& style, BFont* font) const
{
	if (style.font < 0 || style.font >= (int32)mBFonts.size())
		return false;
	*font = mBFonts[(size_t)style.font];
	return true;
}

void TextViewData::SetColorAndFont(int32 start, int32 end, const BFont* font, uint32 mode,
                                   const rgb_color* color)
{
	const bool fontChange = font != nullptr && mode != 0;
	if (!fontChange && color == nullptr)
		return;
	if (!mModes.stylable) {
		// One style for the whole text, also for text added later.
		if (color != nullptr)
			SetBaseColor(*color);
		if (fontChange) {
			BFont whole;
			mView->GetFont(&whole);
			_TakeFont(&whole, *font, mode);
			mView->BView::SetFont(&whole);
			FontChanged();
		}
		mWidget->RequestRepaint();
		return;
	}
	start = ClampOffset(start);
	// Found before the end, which may lie paragraphs further on: a walk
	// over the text then asks for nearby paragraphs only.
	const ParagraphPlace place = mParagraphs.LocateByte(start);
	end = ClampOffset(end);
	if (end <= start)
		return;

	const int lineHeightBefore = mLineHeight;
	int32 fontIndex = -1;
	if (fontChange) {
		BFont taken;
		mView->GetFont(&taken);
		_TakeFont(&taken, *font, mode);
		QFont qfont = to_qfont(taken);
		// Measured as the base font is (see FontChanged), so a run in the
		// base face keeps the view's own line breaking.
		qfont.setKerning(false);
		qfont.setStyleStrategy(QFont::PreferNoShaping);
		for (size_t i = 0; i < mFonts.size(); i++) {
			if (mFonts[i] == qfont)
				fontIndex = (int32)i;
		}
		if (fontIndex < 0) {
			mFonts.push_back(qfont);
			mBFonts.push_back(taken);
			fontIndex = (int32)mFonts.size() - 1;
			mLineHeight = std::max(mLineHeight, QFontMetrics(qfont).height());
		}
		// Underline and strike-out leave every glyph where it was: such a
		// font alone makes no line of the text wrap or measure otherwise.
		QFont metrics = qfont;
		metrics.setUnderline(false);
		metrics.setStrikeOut(false);
		if (metrics != mBaseFont)
			mFontsVary = true;
	}
	// Old style -> new style; the last answer is kept, since a call
	// mostly meets one style.
	int32 lastOld = -1;
	uint16 lastNew = 0;
	auto map = [&](uint16 old) -> uint16 {
		if (old == lastOld)
			return lastNew;
		TextStyle style = mStyles[old];
		if (color != nullptr)
			style.color = *color;
		if (fontChange)
			style.font = fontIndex;
		lastOld = old;
		lastNew = _StyleIndex(style);
		return lastNew;
	};

	bool changed = false;
	int32 index = place.index;
	int64 paragraphStart = place.byte;
	while (paragraphStart < end && index < mParagraphs.Count()) {
		TextParagraph& paragraph = index == place.index
		                               ? const_cast<TextParagraph&>(mParagraphs.Paragraph(place))
		                               : mParagraphs.StyleAccess(index);
		const int32 size = (int32)paragraph.text.size();
		const int32 from = (int32)std::max<int64>(start - paragraphStart, 0);
		const int32 to = (int32)std::min<int64>(end - paragraphStart, size);
		if (from < to) {
			if (paragraph.runs.empty() &&
			    ((from == 0 && to == size) || map(paragraph.style) == paragraph.style)) {
				const uint16 style = map(paragraph.style);
				changed |= style != paragraph.style;
				paragraph.style = style;
			} else {
				std::vector<StyleRun> old =
				    paragraph.runs.empty() ? std::vector<StyleRun>{StyleRun{0, paragraph.style}}
				                           : paragraph.runs.ToVector();
				std::vector<StyleRun> runs;
				runs.reserve(old.size() + 2);
				for (size_t i = 0; i < old.size(); i++) {
					const int32 runStart = old[i].start;
					const int32 runEnd = i + 1 < old.size() ? old[i + 1].start : size;
					if (runEnd <= from || runStart >= to) {
						runs.push_back(old[i]);
						continue;
					}
					if (runStart < from)
						runs.push_back(StyleRun{runStart, old[i].style});
					runs.push_back(StyleRun{std::max(runStart, from), map(old[i].style)});
					if (runEnd > to)
						runs.push_back(StyleRun{to, old[i].style});
				}
				old = paragraph.runs.ToVector(); // empty when it was one style
				const uint16 beforeStyle = paragraph.style;
				set_runs(paragraph, std::move(runs));
				// old now holds the runs as they were (or one for the style).
				if (paragraph.runs.empty())
					changed |= old.size() > 1 || paragraph.style != beforeStyle;
				else if (old.size() != paragraph.runs.size())
					changed = true;
				else {
					for (size_t i = 0; i < old.size() && !changed; i++) {
						changed = old[i].start != paragraph.runs[i].start ||
						          old[i].style != paragraph.runs[i].style;
					}
				}
			}
		}
		paragraphStart += size + 1;
		index++;
	}
	if (mFontsVary && fontChange) {
		mParagraphs.MarkAllDirty();
		mWidget->TextChanged();
	} else if (mLineHeight != lineHeightBefore) {
		mWidget->TextChanged(); // every line moved
	} else if (changed) {
		mWidget->Damage(place.index, index - 1, false);
	}
}

void TextViewData::_TakeFont(BFont* target, const BFont& source, uint32 mode)
{
	if (mode & B_FONT_FAMILY_AND_STYLE) {
		font_family family;
		font_style style;
		source.GetFamilyAndStyle(&family, &style);
		target->SetFamilyAndStyle(family, style);
	}
	if (mode & B_FONT_SIZE)
		target->SetSize(source.Size());
	if (mode & B_FONT_FACE)
		target->SetFace(source.Face());
	if (mode & B_FONT_SHEAR)
		target->SetShear(source.Shear());
	if (mode & B_FONT_SPACING)
		target->SetSpacing(source.Spacing());
	if (mode & B_FONT_FLAGS)
		target->SetFlags(source.Flags());
}

void TextViewData::FontChanged()
{
	BFont font;
	mView->GetFont(&font);
	mBaseFont = to_qfont(font);
	// The view breaks lines of simple scripts itself, from the characters'
	// advances; kerning and ligatures would make the laid-out lines
	// narrower or wider than that, by how much depending on the fonts
	// installed. Without them a line is the sum of its advances.
	mBaseFont.setKerning(false);
	mBaseFont.setStyleStrategy(QFont::PreferNoShaping);
	mWidget->setFont(mBaseFont);
	// The first measurement may read the font configuration, which the
	// application may be reading already.
	ApplicationWarmUp::WaitForFontConfiguration();
	mLineHeight = QFontMetrics(mBaseFont).height();
	for (const QFont& other : mFonts)
		mLineHeight = std::max(mLineHeight, QFontMetrics(other).height());
	mFontMeasured = false;
	mCountWidth = -1; // every paragraph is counted again
	ApplyTextRect();
	mWidget->TextChanged();
}

void TextViewData::ApplyTextRect()
{
	const int width = mWidget->width();
	const int height = mWidget->height();
	const int left = std::clamp((int)mTextRect.left, 0, std::max(width - 1, 0));
	const int top = std::clamp((int)mTextRect.top, 0, std::max(height - 1, 0));
	const int right =
	    std::clamp(width - 1 - (int)mTextRect.right, 0, std::max(width - left - 1, 0));
	const int bottom =
	    std::clamp(height - 1 - (int)mTextRect.bottom, 0, std::max(height - top - 1, 0));
	if (mModes.singleLine) {
		// The one line sits in the middle of the field.
		const int middle = std::max(0, (height - mLineHeight) / 2);
		mWidget->SetMargins(left, middle, right, 0);
		return;
	}
	mWidget->SetMargins(left, top, right, bottom);
}

} // namespace BPrivate
