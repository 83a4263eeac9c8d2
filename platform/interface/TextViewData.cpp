#include "TextViewData.h"

#include <QTimer>

#include <algorithm>
#include <cstring>

#include "ViewPrivate.h"

namespace BPrivate {

bool is_valid_utf8(const char* text, size_t length)
{
	const unsigned char* bytes = (const unsigned char*)text;
	size_t i = 0;
	while (i < length) {
		// Eight ASCII bytes at a time.
		if (i + 8 <= length) {
			uint64_t word;
			memcpy(&word, bytes + i, 8);
			if ((word & 0x8080808080808080ull) == 0) {
				i += 8;
				continue;
			}
		}
		const unsigned char lead = bytes[i];
		if (lead < 0x80) {
			i++;
			continue;
		}
		size_t extra;
		uint32_t code;
		if (lead >= 0xC2 && lead <= 0xDF) {
			extra = 1;
			code = lead & 0x1F;
		} else if (lead >= 0xE0 && lead <= 0xEF) {
			extra = 2;
			code = lead & 0x0F;
		} else if (lead >= 0xF0 && lead <= 0xF4) {
			extra = 3;
			code = lead & 0x07;
		} else {
			return false;
		}
		if (length - i <= extra)
			return false;
		for (size_t k = 1; k <= extra; k++) {
			if ((bytes[i + k] & 0xC0) != 0x80)
				return false;
			code = (code << 6) | (bytes[i + k] & 0x3F);
		}
		// Overlong forms, surrogates and values past U+10FFFF.
		if ((extra == 2 && code < 0x800) || (extra == 3 && (code < 0x10000 || code > 0x10FFFF)) ||
		    (code >= 0xD800 && code <= 0xDFFF))
			return false;
		i += extra + 1;
	}
	return true;
}

void set_runs(TextParagraph& paragraph, std::vector<StyleRun>&& runs)
{
	// Later runs at the same start win, runs at or past the end go (an
	// empty paragraph keeps its first), equal neighbours merge.
	std::vector<StyleRun> merged;
	merged.reserve(runs.size());
	const int32 size = (int32)paragraph.text.size();
	for (const StyleRun& run : runs) {
		if (!merged.empty() && run.start >= size)
			break;
		if (!merged.empty() && merged.back().start == run.start)
			merged.pop_back();
		if (!merged.empty() && merged.back().style == run.style)
			continue;
		merged.push_back(run);
	}
	paragraph.style = merged.empty() ? 0 : merged.front().style;
	if (merged.size() <= 1) {
		paragraph.runs.clear();
	} else {
		merged.front().start = 0;
		paragraph.runs = std::move(merged);
	}
}

TextViewData::TextViewData(BTextView* owner) : view(owner), widget(nullptr)
{
	styles.push_back(TextStyle{{0, 0, 0, 255}, -1});
	widget = new TextEditWidget(this);
}

TextViewData::~TextViewData()
{
	// The widget belongs to the view, which deletes it after us; it must
	// not call back into this object meanwhile.
	if (widget != nullptr)
		widget->Detach();
}

std::string TextViewData::Clean(const char* text, int32 length) const
{
	if (text == nullptr || length <= 0)
		return std::string();
	// Valid UTF-8 is by far the common case: taken as it is, without a
	// round trip through UTF-16 (which, for a whole file, costs three
	// times its size in passing).
	std::string clean;
	const bool checked = text == mCheckedText && length == mCheckedLength;
	mCheckedText = nullptr;
	if (checked || is_valid_utf8(text, (size_t)length)) {
		clean.assign(text, (size_t)length);
	} else {
		const QByteArray valid = QString::fromUtf8(text, length).toUtf8();
		clean.assign(valid.constData(), (size_t)valid.size());
	}
	if (singleLine)
		std::replace(clean.begin(), clean.end(), '\n', ' ');
	return clean;
}

std::string TextViewData::TextRange(int32 from, int32 to) const
{
	from = std::clamp<int32>(from, 0, Length());
	to = std::clamp<int32>(to, from, Length());
	if (textCacheValid)
		return textCache.substr((size_t)from, (size_t)(to - from));
	std::string out((size_t)(to - from), '\0');
	paragraphs.CopyBytes(from, to - from, out.data());
	return out;
}

int64 TextViewData::Utf16Before(int32 offset) const
{
	offset = ClampOffset(offset);
	const ParagraphPlace place = paragraphs.LocateByte(offset);
	int64 units = 0;
	for (int32 i = 0; i < place.index; i++)
		units += utf16_index(paragraphs.At(i).text, std::string::npos) + 1;
	return units + utf16_index(paragraphs.Paragraph(place).text, (size_t)(offset - place.byte));
}

int32 TextViewData::ByteAtUtf16(int64 characters) const
{
	int64 byte = 0;
	const int32 count = paragraphs.Count();
	for (int32 i = 0; i < count; i++) {
		const std::string_view text = paragraphs.At(i).text;
		const int64 units = utf16_index(text, std::string::npos);
		if (characters <= units)
			return ClampOffset(
			    (int32)(byte + (int64)byte_index(text, (int)std::max<int64>(characters, 0))));
		characters -= units + 1;
		byte += (int64)text.size() + 1;
	}
	return Length();
}

void TextViewData::BeginProgram()
{
	programDepth++;
}

void TextViewData::EndProgram()
{
	if (--programDepth == 0 && mProgramChanged) {
		mProgramChanged = false;
		widget->TextChanged();
		if (changeHandler)
			changeHandler();
	}
}

void TextViewData::BeginUserAction(EditSource source)
{
	if (userDepth++ == 0) {
		userSource = source;
		action++;
	}
}

void TextViewData::EndUserAction()
{
	userDepth--;
}

void TextViewData::SetSelection(int32 newAnchor, int32 newCaret)
{
	newAnchor = ClampOffset(newAnchor);
	newCaret = ClampOffset(newCaret);
	if (newAnchor == anchor && newCaret == caret)
		return;
	anchor = newAnchor;
	caret = newCaret;
	widget->SelectionChanged();
}

void TextViewData::ProgramInsert(int32 offset, const char* text, int32 length,
                                 const text_run_array* runs)
{
	BeginProgram();
	view->InsertText(text, length, ClampOffset(offset), runs);
	EndProgram();
}

void TextViewData::PerformInsert(int32 offset, const char* text, int32 length,
                                 const text_run_array* runs)
{
	std::string clean = Clean(text, length);
	if (clean.empty())
		return;
	BeginProgram();
	offset = ClampOffset(offset);
	const int32 end = offset + (int32)clean.size();
	_Replace(offset, offset, clean, 0);
	_Record(offset, std::string(), std::move(clean), EditSource::kProgram);

	if (runs != nullptr && runs->count > 0 && stylable) {
		for (int32 i = 0; i < runs->count; i++) {
			const int32 from = offset + std::max<int32>(runs->runs[i].offset, 0);
			const int32 to = i + 1 < runs->count ? offset + runs->runs[i + 1].offset : end;
			SetColorAndFont(std::min(from, end), std::min(to, end), &runs->runs[i].font, B_FONT_ALL,
			                &runs->runs[i].color);
		}
	}
	EndProgram();
}

void TextViewData::PerformDelete(int32 from, int32 to)
{
	from = ClampOffset(from);
	to = ClampOffset(to);
	if (to <= from)
		return;
	BeginProgram();
	std::string removed = doesUndo && !undoing ? TextRange(from, to) : std::string();
	_Replace(from, to, std::string(), 0);
	_Record(from, std::move(removed), std::string(), EditSource::kProgram);
	EndProgram();
}

void TextViewData::ApplyStep(const UndoStep& step, bool undoStep)
{
	undoing = true;
	BeginProgram();
	int32 caretAfter = -1;
	if (undoStep) {
		for (auto edit = step.edits.rbegin(); edit != step.edits.rend(); ++edit) {
			if (!edit->inserted.empty())
				view->DeleteText(edit->offset, edit->offset + (int32)edit->inserted.size());
			if (!edit->removed.empty()) {
				view->InsertText(edit->removed.c_str(), (int32)edit->removed.size(), edit->offset,
				                 nullptr);
			}
			caretAfter = edit->offset + (int32)edit->removed.size();
		}
	} else {
		for (const TextEdit& edit : step.edits) {
			if (!edit.removed.empty())
				view->DeleteText(edit.offset, edit.offset + (int32)edit.removed.size());
			if (!edit.inserted.empty()) {
				view->InsertText(edit.inserted.c_str(), (int32)edit.inserted.size(), edit.offset,
				                 nullptr);
			}
			caretAfter = edit.offset + (int32)edit.inserted.size();
		}
	}
	EndProgram();
	undoing = false;
	if (caretAfter >= 0) {
		SetSelection(caretAfter, caretAfter);
		widget->EnsureCaretVisible();
	}
}

void TextViewData::UserEdit(int32 from, int32 to, const std::string& text)
{
	if (!editable)
		return;
	from = ClampOffset(from);
	to = ClampOffset(to);
	if (to < from)
		std::swap(from, to);
	if (to == from && text.empty())
		return;
	std::string removed = TextRange(from, to);
	if (removed == text)
		return;
	if (userDepth == 0)
		action++; // a change from outside any input event we saw
	_Replace(from, to, text, _TypingStyle(from));
	const int32 after = from + (int32)text.size();
	anchor = caret = after;
	const bool removedAny = !removed.empty();
	_Record(from, removed, text, userDepth > 0 ? userSource : EditSource::kUserAction);

	hookDepth++;
	if (removedAny)
		view->DeleteText(from, to);
	if (!text.empty())
		view->InsertText(text.c_str(), (int32)text.size(), from, nullptr);
	hookDepth--;
	widget->TextChanged();
	widget->SelectionChanged();
	widget->EnsureCaretVisible();
	if (changeHandler)
		changeHandler();
}

void TextViewData::_Replace(int32 from, int32 to, const std::string& text, uint16 style)
{
	if (textCacheValid) {
		// A copy of a large text is not kept once it is stale.
		textCacheValid = false;
		std::string().swap(textCache);
	}
	const ParagraphPlace first = paragraphs.LocateByte(from);
	const ParagraphPlace last = to == from ? first : paragraphs.LocateByte(to);
	const TextParagraph& head = paragraphs.Paragraph(first);
	const size_t headBytes = (size_t)(from - first.byte);
	const TextParagraph& tail = paragraphs.At(last.index);
	const size_t tailFrom = (size_t)(to - last.byte);

	// The runs of the kept head and tail, as (start, style) lists.
	auto runsOf = [](const TextParagraph& p) {
		return p.runs.empty() ? std::vector<StyleRun>{StyleRun{0, p.style}} : p.runs.ToVector();
	};
	std::vector<StyleRun> headRuns;
	for (const StyleRun& run : runsOf(head)) {
		if ((size_t)run.start < headBytes)
			headRuns.push_back(run);
	}
	std::vector<StyleRun> tailRuns;
	const std::vector<StyleRun> lastRuns = runsOf(tail);
	for (size_t i = 0; i < lastRuns.size(); i++) {
		const size_t end =
		    i + 1 < lastRuns.size() ? (size_t)lastRuns[i + 1].start : tail.text.size();
		if (end > tailFrom || (i + 1 == lastRuns.size()))
			tailRuns.push_back(
			    StyleRun{(int32)(std::max<size_t>(lastRuns[i].start, tailFrom) - tailFrom),
			             lastRuns[i].style});
	}
	// The head and the tail go away with the paragraphs replaced: their
	// bytes are kept.
	const std::string_view tailBytes = tail.text.View();
	const std::string tailText(tailBytes.substr(std::min(tailFrom, tailBytes.size())));
	const std::string headText(head.text.View().substr(0, headBytes));
	size_t pieceStart = 0;
	const size_t count = 1 + (size_t)std::count(text.begin(), text.end(), '\n');
	// The bytes of the first and the last paragraph, lent to the index
	// until it has taken them.
	std::string built;
	auto make = [&](size_t n, TextParagraph& p) {
		size_t pieceEnd = text.find('\n', pieceStart);
		if (pieceEnd == std::string::npos)
			pieceEnd = text.size();
		if (n > 0 && n + 1 < count) {
			// A whole inserted paragraph: one style.
			p.text = ParagraphText::Borrow(
			    std::string_view(text).substr(pieceStart, pieceEnd - pieceStart));
			p.style = style;
			pieceStart = pieceEnd + 1;
			return;
		}
		built.clear();
		std::vector<StyleRun> runs;
		if (n == 0) {
			built = headText;
			runs = headRuns;
		}
		if (pieceEnd > pieceStart) {
			runs.push_back(StyleRun{(int32)built.size(), style});
			built.append(text, pieceStart, pieceEnd - pieceStart);
		}
		if (n + 1 == count) {
			for (StyleRun run : tailRuns) {
				run.start += (int32)built.size();
				runs.push_back(run);
			}
			built += tailText;
		}
		p.text = ParagraphText::Borrow(built);
		if (runs.empty())
			runs.push_back(StyleRun{0, style});
		if (runs.size() == 1)
			p.style = runs.front().style;
		else
			set_runs(p, std::move(runs));
		pieceStart = pieceEnd + 1;
	};
	// New paragraphs are counted into visual lines while their bytes are at
	// hand, rather than in a later walk over the whole text.
	const bool countNow = mCountWidth >= 0 && mCountWidth == WrapWidth();
	if (countNow)
		_MeasureFont();
	paragraphs.Replace(first.index, last.index - first.index + 1, count,
	                   [&](size_t n, TextParagraph& p) {
		                   make(n, p);
		                   if (countNow) {
			                   _CountLines(p);
			                   p.dirty = false;
		                   }
	                   });

	// Keep the selection on the same text.
	const int32 delta = (int32)text.size() - (to - from);
	auto shift = [&](int32 offset) {
		if (offset >= to)
			return offset + delta;
		if (offset > from)
			return from;
		return offset;
	};
	anchor = shift(anchor);
	caret = shift(caret);
}

void TextViewData::_Record(int32 offset, std::string removed, std::string inserted,
                           EditSource source)
{
	notify_text_change(widget, offset, removed, inserted);
	if (source == EditSource::kProgram) {
		mProgramChanged = true;
		if (!mProgramTurnOpen) {
			// Program edits up to the next turn of the event loop make one
			// undo step.
			mProgramTurnOpen = true;
			mProgramAction = ++action;
			// Through the widget, which may outlive this object.
			TextEditWidget* owner = widget;
			QTimer::singleShot(0, widget, [owner]() {
				if (TextViewData* data = owner->Data())
					data->EndProgramTurn();
			});
		}
	}
	if (!doesUndo || undoing)
		return;
	TextEdit edit;
	edit.offset = offset;
	edit.removed = std::move(removed);
	edit.inserted = std::move(inserted);
	undo.Record(std::move(edit), source, source == EditSource::kProgram ? mProgramAction : action);
}

} // namespace BPrivate
