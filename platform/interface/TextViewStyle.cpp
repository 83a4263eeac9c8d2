// Colours and fonts of ranges, the editable state, the text rectangle.
#include "TextViewData.h"

#include <QFontMetrics>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

#include "ViewPrivate.h"

namespace BPrivate {

bool
TextViewData::_RangeHasColor(int start, int end, const QColor& color) const
{
	for (QTextBlock block = document->findBlock(start); block.isValid() && block.position() < end;
		block = block.next()) {
		for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
			const QTextFragment fragment = it.fragment();
			const int from = fragment.position();
			const int to = from + fragment.length();
			if (to <= start || from >= end)
				continue;
			const QBrush brush = fragment.charFormat().foreground();
			if (brush.style() == Qt::NoBrush || brush.color() != color)
				return false;
		}
	}
	return true;
}


void
TextViewData::SetColorAndFont(int32 start, int32 end, const BFont* font, uint32 mode,
	const rgb_color* color)
{
	const bool fontChange = font != nullptr && mode != 0;
	if (!fontChange && color == nullptr)
		return;
	if (!stylable) {
		// One style for the whole text, also for text added later.
		start = 0;
		end = Length();
		if (color != nullptr) {
			baseColor = *color;
			baseFormat.setForeground(QBrush(to_qcolor(*color)));
			QPalette palette = widget->palette();
			palette.setColor(QPalette::Text, to_qcolor(*color));
			widget->setPalette(palette);
		}
		if (fontChange) {
			BFont whole;
			view->GetFont(&whole);
			_TakeFont(&whole, *font, mode);
			view->BView::SetFont(&whole);
			document->setDefaultFont(to_qfont(whole));
			widget->setFont(to_qfont(whole));
		}
	}
	start = ClampOffset(start);
	end = ClampOffset(end);
	if (end <= start)
		return;
	const int from = ToChar(start);
	const int to = ToChar(end);

	QTextCharFormat format;
	if (color != nullptr)
		format.setForeground(QBrush(to_qcolor(*color)));
	if (fontChange && stylable) {
		BFont taken;
		view->GetFont(&taken);
		_TakeFont(&taken, *font, mode);
		const QFont qfont = to_qfont(taken);
		if (mode & (B_FONT_FAMILY_AND_STYLE | B_FONT_FACE)) {
			format.setFontFamilies(QStringList{qfont.family()});
			format.setFontWeight(qfont.weight());
			format.setFontItalic(qfont.italic());
			format.setFontUnderline(qfont.underline());
			format.setFontStrikeOut(qfont.strikeOut());
		}
		if (mode & B_FONT_SIZE) {
			if (qfont.pixelSize() > 0)
				format.setProperty(QTextFormat::FontPixelSize, qfont.pixelSize());
			else
				format.setFontPointSize(qfont.pointSizeF());
		}
	} else if (!fontChange && _RangeHasColor(from, to, to_qcolor(*color))) {
		return; // nothing to do: keeps the document and its layout untouched
	}

	formatDepth++;
	QTextCursor cursor(document);
	cursor.setPosition(from);
	cursor.setPosition(to, QTextCursor::KeepAnchor);
	cursor.mergeCharFormat(format);
	formatDepth--;
	if (fontChange && stylable) {
		fontsVary = true;
		paragraphs.MarkAllDirty();
	}
}


void
TextViewData::_TakeFont(BFont* target, const BFont& source, uint32 mode)
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


void
TextViewData::SetEditable(bool value)
{
	editable = value;
	if (programDepth == 0 && hookDepth == 0)
		ApplyInteraction();
}


void
TextViewData::SetSelectable(bool value)
{
	selectable = value;
	if (programDepth == 0 && hookDepth == 0)
		ApplyInteraction();
}


void
TextViewData::ApplyInteraction()
{
	// Deferred while a change is under way: the colouring hooks switch
	// editing off and on around their work, and switching the widget would
	// cancel an input method's composition.
	Qt::TextInteractionFlags flags = Qt::NoTextInteraction;
	if (editable)
		flags = Qt::TextEditorInteraction;
	else if (selectable)
		flags = Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard;
	if (!selectable)
		flags &= ~(Qt::TextSelectableByMouse);
	if (widget->isReadOnly() != !editable)
		widget->setReadOnly(!editable);
	if (widget->textInteractionFlags() != flags)
		widget->setTextInteractionFlags(flags);
}


void
TextViewData::ApplyTextRect()
{
	const int width = widget->width();
	const int height = widget->height();
	const int left = std::clamp((int)textRect.left, 0, std::max(width - 1, 0));
	const int top = std::clamp((int)textRect.top, 0, std::max(height - 1, 0));
	const int right = std::clamp(width - 1 - (int)textRect.right, 0, std::max(width - left - 1, 0));
	const int bottom
		= std::clamp(height - 1 - (int)textRect.bottom, 0, std::max(height - top - 1, 0));
	if (singleLine) {
		// The one line sits in the middle of the field.
		const int lineHeight = QFontMetrics(document->defaultFont()).height();
		const int middle = std::max(0, (height - lineHeight) / 2);
		widget->SetMargins(left, middle, right, 0);
		return;
	}
	widget->SetMargins(left, top, right, bottom);
}

} // namespace BPrivate
