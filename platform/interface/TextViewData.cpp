#include "TextViewData.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTimer>

#include <algorithm>

#include "Font.h"
#include "ViewPrivate.h"

namespace BPrivate {

namespace {

// Characters the document would not keep as they are, and their stand-ins
// U+10FF00... (two UTF-16 units each, 0xDBFF then 0xDF00 + index).
const char16_t kStoodIn[] = {0x000D, 0x2029, 0xFDD0, 0xFDD1};
const int kStoodInCount = 4;
const char32_t kStandIn = 0x10FF00;


int
stood_in_index(char16_t unit)
{
	for (int i = 0; i < kStoodInCount; i++) {
		if (kStoodIn[i] == unit)
			return i;
	}
	return -1;
}


bool
is_continuation(const std::string& text, size_t index)
{
	return index < text.size() && ((uint8)text[index] & 0xC0) == 0x80;
}


// Length in bytes and in document units of the character at text[i].
void
measure_character(const std::string& text, size_t i, size_t* bytes, int* units)
{
	const uint8 lead = (uint8)text[i];
	if (lead < 0x80) {
		*bytes = 1;
		*units = lead == 0x0D ? 2 : 1;
	} else if (lead >= 0xF0) {
		*bytes = 4;
		*units = 2;
	} else if (lead >= 0xE0) {
		*bytes = 3;
		*units = 1;
		if (i + 2 < text.size()) {
			const uint8 b1 = (uint8)text[i + 1], b2 = (uint8)text[i + 2];
			// U+2029, U+FDD0 and U+FDD1 have stand-ins.
			if ((lead == 0xE2 && b1 == 0x80 && b2 == 0xA9)
				|| (lead == 0xEF && b1 == 0xB7 && (b2 == 0x90 || b2 == 0x91)))
				*units = 2;
		}
	} else if (lead >= 0xC0) {
		*bytes = 2;
		*units = 1;
	} else {
		*bytes = 1;
		*units = 0;
	}
	*bytes = std::min(*bytes, text.size() - i);
}

} // namespace


QString
to_document_text(const char* bytes, size_t length)
{
	QString text = QString::fromUtf8(bytes, (qsizetype)length);
	bool special = false;
	for (QChar c : text) {
		if (stood_in_index(c.unicode()) >= 0) {
			special = true;
			break;
		}
	}
	if (!special)
		return text;
	QString out;
	out.reserve(text.size() + 16);
	for (QChar c : text) {
		const int index = stood_in_index(c.unicode());
		if (index < 0) {
			out += c;
			continue;
		}
		out += QChar(QChar::highSurrogate(kStandIn + index));
		out += QChar(QChar::lowSurrogate(kStandIn + index));
	}
	return out;
}


std::string
from_document_text(const QString& text)
{
	const QChar* units = text.constData();
	const qsizetype size = text.size();
	qsizetype i = 0;
	while (i < size && units[i].unicode() != 0xDBFF)
		i++;
	QByteArray utf8;
	if (i == size) {
		utf8 = text.toUtf8();
	} else {
		QString copy;
		copy.reserve(size);
		for (i = 0; i < size; i++) {
			const char16_t unit = units[i].unicode();
			if (unit == 0xDBFF && i + 1 < size) {
				const int index = units[i + 1].unicode() - 0xDF00;
				if (index >= 0 && index < kStoodInCount) {
					copy += QChar(kStoodIn[index]);
					i++;
					continue;
				}
			}
			copy += units[i];
		}
		utf8 = copy.toUtf8();
	}
	return std::string(utf8.constData(), (size_t)utf8.size());
}


int
document_length(const std::string& text, size_t bytes)
{
	bytes = std::min(bytes, text.size());
	int units = 0;
	size_t i = 0;
	while (i < bytes) {
		const uint8 lead = (uint8)text[i];
		if (lead < 0x80 && lead != 0x0D) {
			units++;
			i++;
			continue;
		}
		size_t length;
		int count;
		measure_character(text, i, &length, &count);
		units += count;
		i += length;
	}
	return units;
}


size_t
byte_length(const std::string& text, int characters)
{
	int units = 0;
	size_t i = 0;
	while (i < text.size() && units < characters) {
		size_t length;
		int count;
		measure_character(text, i, &length, &count);
		if (units + count > characters)
			break; // inside a surrogate pair: stay at its start
		units += count;
		i += length;
	}
	return i;
}


// #pragma mark - TextViewData


TextViewData::TextViewData(BTextView* owner)
	:
	view(owner),
	widget(nullptr),
	document(nullptr)
{
	widget = new TextEditWidget(this);
	document = widget->document();
	document->setUndoRedoEnabled(false);
	document->setDocumentMargin(0);
	widget->setFrameShape(QFrame::NoFrame);
	widget->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
	widget->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
	widget->setLineWrapMode(QPlainTextEdit::WidgetWidth);
	widget->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
	widget->setTabStopDistance(28);
	baseFormat.setForeground(QBrush(to_qcolor(baseColor)));
	QObject::connect(document, &QTextDocument::contentsChange, widget,
		[this](int position, int removed, int added) {
			OnContentsChange(position, removed, added);
		});
}


TextViewData::~TextViewData()
{
	// The widget belongs to the view, which deletes it after us; it must
	// not call back into this object meanwhile.
	if (widget != nullptr) {
		QObject::disconnect(document, nullptr, widget, nullptr);
		widget->Detach();
	}
}


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


std::string
TextViewData::Clean(const char* text, int32 length) const
{
	if (text == nullptr || length <= 0)
		return std::string();
	const QByteArray valid = QString::fromUtf8(text, length).toUtf8();
	std::string clean(valid.constData(), (size_t)valid.size());
	if (singleLine)
		std::replace(clean.begin(), clean.end(), '\n', ' ');
	return clean;
}


void
TextViewData::BeginProgram()
{
	if (programDepth++ == 0) {
		QTextCursor batch(document);
		batch.beginEditBlock();
	}
}


void
TextViewData::EndProgram()
{
	if (programDepth == 1) {
		// Ends the batch: Qt reports the merged change now, which we ignore
		// (the index is current), and lays the text out once.
		QTextCursor batch(document);
		batch.endEditBlock();
	}
	if (--programDepth == 0) {
		ApplyInteraction();
		if (mProgramChanged) {
			mProgramChanged = false;
			if (changeHandler)
				changeHandler();
		}
	}
}


void
TextViewData::BeginUserAction(EditSource source)
{
	if (userDepth++ == 0) {
		userSource = source;
		action++;
	}
}


void
TextViewData::EndUserAction()
{
	userDepth--;
}


void
TextViewData::ProgramInsert(int32 offset, const std::string& text, const text_run_array* runs)
{
	BeginProgram();
	view->InsertText(text.c_str(), (int32)text.size(), ClampOffset(offset), runs);
	EndProgram();
}


void
TextViewData::PerformInsert(int32 offset, const char* text, int32 length,
	const text_run_array* runs)
{
	const std::string clean = Clean(text, length);
	if (clean.empty())
		return;
	BeginProgram();
	offset = ClampOffset(offset);
	const int position = ToChar(offset);
	const int before = document->characterCount();
	QTextCursor cursor(document);
	cursor.setPosition(position);
	cursor.insertText(to_document_text(clean.data(), clean.size()), baseFormat);
	Change change = _Sync(position, 0, document->characterCount() - before);
	_Changed(change, EditSource::kProgram);

	if (runs != nullptr && runs->count > 0) {
		const int32 end = offset + (int32)clean.size();
		for (int32 i = 0; i < runs->count; i++) {
			const int32 from = offset + std::max<int32>(runs->runs[i].offset, 0);
			const int32 to = i + 1 < runs->count ? offset + runs->runs[i + 1].offset : end;
			if (stylable) {
				SetColorAndFont(std::min(from, end), std::min(to, end), &runs->runs[i].font,
					B_FONT_ALL, &runs->runs[i].color);
			}
		}
	}
	EndProgram();
}


void
TextViewData::PerformDelete(int32 from, int32 to)
{
	from = ClampOffset(from);
	to = ClampOffset(to);
	if (to <= from)
		return;
	BeginProgram();
	const int start = ToChar(from);
	const int end = ToChar(to);
	QTextCursor cursor(document);
	cursor.setPosition(start);
	cursor.setPosition(end, QTextCursor::KeepAnchor);
	cursor.removeSelectedText();
	Change change = _Sync(start, end - start, 0);
	_Changed(change, EditSource::kProgram);
	EndProgram();
}


void
TextViewData::ApplyStep(const UndoStep& step, bool undoStep)
{
	undoing = true;
	BeginProgram();
	int32 caret = -1;
	if (undoStep) {
		for (auto edit = step.edits.rbegin(); edit != step.edits.rend(); ++edit) {
			if (!edit->inserted.empty())
				view->DeleteText(edit->offset, edit->offset + (int32)edit->inserted.size());
			if (!edit->removed.empty()) {
				view->InsertText(edit->removed.c_str(), (int32)edit->removed.size(),
					edit->offset, nullptr);
			}
			caret = edit->offset + (int32)edit->removed.size();
		}
	} else {
		for (const TextEdit& edit : step.edits) {
			if (!edit.removed.empty())
				view->DeleteText(edit.offset, edit.offset + (int32)edit.removed.size());
			if (!edit.inserted.empty()) {
				view->InsertText(edit.inserted.c_str(), (int32)edit.inserted.size(),
					edit.offset, nullptr);
			}
			caret = edit.offset + (int32)edit.inserted.size();
		}
	}
	EndProgram();
	undoing = false;
	if (caret >= 0) {
		QTextCursor cursor = widget->textCursor();
		cursor.setPosition(ToChar(caret));
		widget->setTextCursor(cursor);
		widget->ensureCursorVisible();
	}
}


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


void
TextViewData::OnContentsChange(int position, int removed, int added)
{
	if (programDepth > 0 || formatDepth > 0)
		return;
	Change change = _Sync(position, removed, added);
	if (!change.valid || (change.removed.empty() && change.inserted.empty()))
		return;
	if (userDepth == 0)
		action++; // a change from outside any input event we saw
	_Changed(change, userDepth > 0 ? userSource : EditSource::kUserAction);

	hookDepth++;
	if (!change.removed.empty())
		view->DeleteText(change.offset, change.offset + (int32)change.removed.size());
	if (!change.inserted.empty()) {
		view->InsertText(change.inserted.c_str(), (int32)change.inserted.size(), change.offset,
			nullptr);
	}
	hookDepth--;
	if (hookDepth == 0)
		ApplyInteraction();
	if (changeHandler)
		changeHandler();
}


TextViewData::Change
TextViewData::_Sync(int position, int removed, int added)
{
	const int64 oldChars = paragraphs.Chars();
	const int64 newChars = document->characterCount();
	const int64 delta = newChars - oldChars;
	if (position < 0 || position >= oldChars || position >= newChars)
		return _Resync();
	int64 oldSpan = std::max(removed, 0);
	int64 newSpan = std::max(added, 0);
	// Qt sometimes reports more than changed; make the two spans agree with
	// the totals, then compare texts to find what really changed.
	if (newSpan - oldSpan != delta) {
		if (newSpan - delta > oldSpan)
			oldSpan = newSpan - delta;
		else
			newSpan = oldSpan + delta;
	}
	if (position + oldSpan > oldChars) {
		oldSpan = oldChars - position;
		newSpan = oldSpan + delta;
	}
	if (newSpan < 0 || position + newSpan > newChars)
		return _Resync();

	const ParagraphPlace first = paragraphs.FindByChar(position);
	const ParagraphPlace lastOld = paragraphs.FindByChar(std::min(position + oldSpan, oldChars - 1));
	const QTextBlock firstBlock = document->findBlock(position);
	if (!firstBlock.isValid() || firstBlock.blockNumber() != first.index
		|| firstBlock.position() != first.chr)
		return _Resync();
	const QTextBlock lastBlock = document->findBlock((int)std::min(position + newSpan, newChars - 1));
	if (!lastBlock.isValid())
		return _Resync();
	const int32 oldCount = lastOld.index - first.index + 1;
	const int32 newCount = lastBlock.blockNumber() - first.index + 1;
	if (newCount < 1 || document->blockCount() - paragraphs.Count() != newCount - oldCount)
		return _Resync();

	std::string before;
	for (int32 i = first.index; i <= lastOld.index; i++) {
		if (i > first.index)
			before += '\n';
		before += paragraphs.At(i).text;
	}
	std::vector<TextParagraph> items;
	items.reserve((size_t)newCount);
	std::string after;
	for (QTextBlock block = firstBlock; block.isValid(); block = block.next()) {
		TextParagraph paragraph;
		const QString text = block.text();
		paragraph.text = from_document_text(text);
		paragraph.chars = (int32)text.size() + 1;
		if (!items.empty())
			after += '\n';
		after += paragraph.text;
		items.push_back(std::move(paragraph));
		if (block == lastBlock)
			break;
	}
	paragraphs.Replace(first.index, oldCount, std::move(items));
	return _Difference(first.byte, before, after);
}


TextViewData::Change
TextViewData::_Resync()
{
	std::string before;
	paragraphs.Collect(&before);
	std::vector<TextParagraph> items;
	items.reserve((size_t)document->blockCount());
	std::string after;
	for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
		TextParagraph paragraph;
		const QString text = block.text();
		paragraph.text = from_document_text(text);
		paragraph.chars = (int32)text.size() + 1;
		if (!items.empty())
			after += '\n';
		after += paragraph.text;
		items.push_back(std::move(paragraph));
	}
	if (items.empty())
		items.emplace_back();
	paragraphs.Reset(std::move(items));
	return _Difference(0, before, after);
}


TextViewData::Change
TextViewData::_Difference(int64 base, const std::string& before, const std::string& after)
{
	// The smallest edit that turns before into after, on character bounds.
	const size_t shorter = std::min(before.size(), after.size());
	size_t prefix = 0;
	while (prefix < shorter && before[prefix] == after[prefix])
		prefix++;
	while (prefix > 0 && (is_continuation(before, prefix) || is_continuation(after, prefix)))
		prefix--;
	size_t suffix = 0;
	while (suffix < shorter - prefix
		&& before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
		suffix++;
	while (suffix > 0
		&& (is_continuation(before, before.size() - suffix)
			|| is_continuation(after, after.size() - suffix)))
		suffix--;

	Change change;
	change.valid = true;
	change.offset = (int32)(base + (int64)prefix);
	change.removed = before.substr(prefix, before.size() - prefix - suffix);
	change.inserted = after.substr(prefix, after.size() - prefix - suffix);
	textCacheValid = false;
	return change;
}


void
TextViewData::_Changed(const Change& change, EditSource source)
{
	if (!change.valid || (change.removed.empty() && change.inserted.empty()))
		return;
	textCacheValid = false;
	if (source == EditSource::kProgram) {
		mProgramChanged = true;
		if (!mProgramTurnOpen) {
			// Program edits up to the next turn of the event loop make one
			// undo step.
			mProgramTurnOpen = true;
			mProgramAction = ++action;
			QTimer::singleShot(0, widget, [this]() { mProgramTurnOpen = false; });
		}
	}
	if (!doesUndo || undoing)
		return;
	TextEdit edit;
	edit.offset = change.offset;
	edit.removed = change.removed;
	edit.inserted = change.inserted;
	undo.Record(std::move(edit), source, source == EditSource::kProgram ? mProgramAction : action);
}

} // namespace BPrivate
