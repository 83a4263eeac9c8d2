#include "TextViewData.h"

#include <QTimer>

#include <algorithm>
#include <cstring>

#include "TextEditWidget.h"
#include "TextViewAccessible.h"
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

TextViewData::TextViewData(BTextView* owner) : mView(owner), mWidget(nullptr)
{
	mStyles.push_back(TextStyle{{0, 0, 0, 255}, -1});
	mWidget = new TextEditWidget(this);
}

TextViewData::~TextViewData()
{
	// The widget belongs to the view, which deletes it after us; it must
	// not call back into this object meanwhile.
	if (mWidget != nullptr)
		mWidget->Detach();
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
	if (mModes.singleLine)
		std::replace(clean.begin(), clean.end(), '\n', ' ');
	return clean;
}

std::string TextViewData::TextRange(int32 from, int32 to) const
{
	from = std::clamp<int32>(from, 0, Length());
	to = std::clamp<int32>(to, from, Length());
	if (mTextCacheValid)
		return mTextCache.substr((size_t)from, (size_t)(to - from));
	std::string out((size_t)(to - from), '\0');
	mParagraphs.CopyBytes(from, to - from, out.data());
	return out;
}

const std::string& TextViewData::WholeText() const
{
	if (!mTextCacheValid) {
		mParagraphs.Collect(&mTextCache);
		mTextCacheValid = true;
	}
	return mTextCache;
}

char TextViewData::ByteAt(int32 offset) const
{
	if (mTextCacheValid)
		return mTextCache[(size_t)offset];
	const ParagraphPlace place = mParagraphs.LocateByte(offset);
	const std::string_view text = mParagraphs.Paragraph(place).text;
	const size_t inside = (size_t)(offset - place.byte);
	return inside < text.size() ? text[inside] : '\n';
}

void TextViewData::CopyText(int32 offset, int32 length, char* buffer) const
{
	if (mTextCacheValid)
		memcpy(buffer, mTextCache.data() + offset, (size_t)length);
	else
		mParagraphs.CopyBytes(offset, length, buffer);
}

void TextViewData::_DropTextCache()
{
	if (mTextCacheValid) {
		// A copy of a large text is not kept once it is stale.
		mTextCacheValid = false;
		std::string().swap(mTextCache);
	}
}

std::string TextViewData::FromOutside(QString text) const
{
	if (mModes.singleLine) {
		text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
		text.replace(QChar('\r'), QChar(' '));
	}
	const QByteArray bytes = text.toUtf8();
	return Clean(bytes.constData(), (int32)bytes.size());
}

int64 TextViewData::Utf16Before(int32 offset) const
{
	offset = ClampOffset(offset);
	const ParagraphPlace place = mParagraphs.LocateByte(offset);
	int64 units = 0;
	for (int32 i = 0; i < place.index; i++)
		units += utf16_index(mParagraphs.At(i).text, std::string::npos) + 1;
	return units + utf16_index(mParagraphs.Paragraph(place).text, (size_t)(offset - place.byte));
}

int32 TextViewData::ByteAtUtf16(int64 characters) const
{
	int64 byte = 0;
	const int32 count = mParagraphs.Count();
	for (int32 i = 0; i < count; i++) {
		const std::string_view text = mParagraphs.At(i).text;
		const int64 units = utf16_index(text, std::string::npos);
		if (characters <= units)
			return ClampOffset(
			    (int32)(byte + (int64)byte_index(text, (int)std::max<int64>(characters, 0))));
		characters -= units + 1;
		byte += (int64)text.size() + 1;
	}
	return Length();
}

void TextViewData::SetSelection(int32 newAnchor, int32 newCaret)
{
	newAnchor = ClampOffset(newAnchor);
	newCaret = ClampOffset(newCaret);
	if (newAnchor == mAnchor && newCaret == mCaret)
		return;
	const int32 oldStart = SelectionStart();
	const int32 oldEnd = SelectionEnd();
	mAnchor = newAnchor;
	mCaret = newCaret;
	if (oldStart == oldEnd || SelectionStart() == SelectionEnd()) {
		// A caret came or went: the old and the new look, each where it is.
		_DamageSpan(oldStart, oldEnd);
		_DamageSpan(SelectionStart(), SelectionEnd());
	} else {
		// A selection changed: between the old and the new start, and
		// between the old and the new end.
		_DamageSpan(std::min(oldStart, SelectionStart()), std::max(oldStart, SelectionStart()));
		_DamageSpan(std::min(oldEnd, SelectionEnd()), std::max(oldEnd, SelectionEnd()));
	}
	mWidget->SelectionChanged();
}

void TextViewData::_DamageSpan(int32 from, int32 to)
{
	const ParagraphPlace first = mParagraphs.LocateByte(from);
	const TextParagraph& paragraph = mParagraphs.Paragraph(first);
	if (to - first.byte > (int64)paragraph.text.size()) {
		mWidget->Damage(first.index, mParagraphs.LocateByte(to).index, false);
		return;
	}
	if (paragraph.dirty) {
		mWidget->Damage(first.index, first.index, false);
		return;
	}
	// Inside one paragraph: only its lines from one offset to the other.
	auto lineOf = [&](int32 offset) {
		return (int32)(std::upper_bound(paragraph.lineStarts.begin(), paragraph.lineStarts.end(),
		                                (int32)(offset - first.byte)) -
		               paragraph.lineStarts.begin());
	};
	mWidget->Damage(first.index, first.index, false, lineOf(from), lineOf(to));
}

void TextViewData::ProgramInsert(int32 offset, const char* text, int32 length,
                                 const text_run_array* runs)
{
	ProgramScope program(this);
	mView->InsertText(text, length, ClampOffset(offset), runs);
}

void TextViewData::PerformInsert(int32 offset, const char* text, int32 length,
                                 const text_run_array* runs)
{
	std::string clean = Clean(text, length);
	if (clean.empty())
		return;
	ProgramScope program(this);
	offset = ClampOffset(offset);
	const int32 end = offset + (int32)clean.size();
	_Replace(offset, offset, clean, 0);
	_Record(offset, std::string(), std::move(clean), EditSource::kProgram);

	if (runs != nullptr && runs->count > 0 && mModes.stylable) {
		for (int32 i = 0; i < runs->count; i++) {
			const int32 from = offset + std::max<int32>(runs->runs[i].offset, 0);
			const int32 to = i + 1 < runs->count ? offset + runs->runs[i + 1].offset : end;
			SetColorAndFont(std::min(from, end), std::min(to, end), &runs->runs[i].font, B_FONT_ALL,
			                &runs->runs[i].color);
		}
	}
}

void TextViewData::PerformDelete(int32 from, int32 to)
{
	from = ClampOffset(from);
	to = ClampOffset(to);
	if (to <= from)
		return;
	ProgramScope program(this);
	std::string removed = mModes.doesUndo && !mUndoing ? TextRange(from, to) : std::string();
	_Replace(from, to, std::string(), 0);
	_Record(from, std::move(removed), std::string(), EditSource::kProgram);
}

void TextViewData::ApplyStep(const UndoStep& step, bool undoStep)
{
	int32 caretAfter = -1;
	{
		UnrecordedScope unrecorded(this);
		ProgramScope program(this);
		if (undoStep) {
			for (auto edit = step.edits.rbegin(); edit != step.edits.rend(); ++edit) {
				if (!edit->inserted.empty())
					mView->DeleteText(edit->offset, edit->offset + (int32)edit->inserted.size());
				if (!edit->removed.empty()) {
					mView->InsertText(edit->removed.c_str(), (int32)edit->removed.size(),
					                  edit->offset, nullptr);
				}
				caretAfter = edit->offset + (int32)edit->removed.size();
			}
		} else {
			for (const TextEdit& edit : step.edits) {
				if (!edit.removed.empty())
					mView->DeleteText(edit.offset, edit.offset + (int32)edit.removed.size());
				if (!edit.inserted.empty()) {
					mView->InsertText(edit.inserted.c_str(), (int32)edit.inserted.size(),
					                  edit.offset, nullptr);
				}
				caretAfter = edit.offset + (int32)edit.inserted.size();
			}
		}
	}
	if (caretAfter >= 0) {
		SetSelection(caretAfter, caretAfter);
		mWidget->EnsureCaretVisible();
	}
}

void TextViewData::UserEdit(int32 from, int32 to, const std::string& text)
{
	if (!mModes.editable)
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
	if (mUserDepth == 0)
		mAction++; // a change from outside any input event we saw
	// The old selection, where it lay before the edit moved anything.
	_DamageSpan(SelectionStart(), SelectionEnd());
	_Replace(from, to, text, _TypingStyle(from));
	const int32 after = from + (int32)text.size();
	mAnchor = mCaret = after;
	const bool removedAny = !removed.empty();
	_Record(from, removed, text, mUserDepth > 0 ? mUserSource : EditSource::kUserAction);

	{
		HookScope hooks(this);
		if (removedAny)
			mView->DeleteText(from, to);
		if (!text.empty())
			mView->InsertText(text.c_str(), (int32)text.size(), from, nullptr);
	}
	mWidget->TextEdited();
	mWidget->SelectionChanged();
	mWidget->EnsureCaretVisible();
	if (mChangeHandler)
		mChangeHandler();
}

void TextViewData::_Replace(int32 from, int32 to, const std::string& text, uint16 style)
{
	_DropTextCache();
	const ReplacePlan plan = _PlanReplace(from, to, text, style);
	if (!plan.inPlace || !_ReplaceInPlace(plan))
		_ReplaceParagraphs(plan);
	_ShiftSelection(from, to, (int32)text.size());
	_DamageReplaced(plan);
}

namespace {

void set_made_runs(TextParagraph& paragraph, std::vector<StyleRun>&& runs)
{
	if (runs.size() == 1) {
		paragraph.runs.clear();
		paragraph.style = runs.front().style;
	} else {
		set_runs(paragraph, std::move(runs));
	}
}

std::vector<StyleRun> runs_of(const TextParagraph& paragraph)
{
	return paragraph.runs.empty() ? std::vector<StyleRun>{StyleRun{0, paragraph.style}}
	                              : paragraph.runs.ToVector();
}

} // namespace

TextViewData::ReplacePlan TextViewData::_PlanReplace(int32 from, int32 to, std::string_view text,
                                                     uint16 style)
{
	ReplacePlan plan;
	plan.from = from;
	plan.to = to;
	plan.text = text;
	plan.style = style;
	plan.first = mParagraphs.LocateByte(from);
	plan.last = to == from ? plan.first : mParagraphs.LocateByte(to);
	const TextParagraph& head = mParagraphs.Paragraph(plan.first);
	const TextParagraph& tail = mParagraphs.At(plan.last.index);
	const size_t headBytes = (size_t)(from - plan.first.byte);
	const size_t tailFrom = (size_t)(to - plan.last.byte);
	plan.head = head.text.View().substr(0, headBytes);
	plan.tail = tail.text.View().substr(std::min(tailFrom, tail.text.size()));

	for (const StyleRun& run : runs_of(head)) {
		if ((size_t)run.start < headBytes)
			plan.headRuns.push_back(run);
	}
	const std::vector<StyleRun> lastRuns = runs_of(tail);
	for (size_t i = 0; i < lastRuns.size(); i++) {
		const size_t end =
		    i + 1 < lastRuns.size() ? (size_t)lastRuns[i + 1].start : tail.text.size();
		if (end > tailFrom || (i + 1 == lastRuns.size()))
			plan.tailRuns.push_back(
			    StyleRun{(int32)(std::max<size_t>(lastRuns[i].start, tailFrom) - tailFrom),
			             lastRuns[i].style});
	}

	plan.made = 1 + (size_t)std::count(text.begin(), text.end(), '\n');
	const bool oneStaysOne = plan.made == 1 && plan.first.index == plan.last.index;
	plan.inPlace = oneStaysOne && head.text.size() > kWindowBytes;
	// A change inside one long paragraph counts only the lines it moves.
	plan.countNow = mCountWidth >= 0 && mCountWidth == WrapWidth();
	if (plan.countNow)
		_MeasureFont();
	plan.recount = plan.countNow && plan.inPlace && !head.dirty;
	// What to paint again: the paragraphs made, from the line before the
	// one changed (it may take words from it); all below them as well
	// unless one paragraph became one of as many lines.
	plan.oldLines = oneStaysOne && !head.dirty ? head.lines : -1;
	if (plan.recount) {
		const int32 changed = (int32)(std::upper_bound(head.lineStarts.begin(),
		                                               head.lineStarts.end(), (int32)headBytes) -
		                              head.lineStarts.begin());
		plan.firstLine = std::max(changed - 2, 0);
	}
	return plan;
}

std::vector<StyleRun> TextViewData::_MadeRuns(const ReplacePlan& plan, bool withHead, size_t piece,
                                              bool withTail)
{
	std::vector<StyleRun> runs;
	size_t at = 0;
	if (withHead) {
		runs = plan.headRuns;
		at = plan.head.size();
	}
	if (piece > 0) {
		runs.push_back(StyleRun{(int32)at, plan.style});
		at += piece;
	}
	if (withTail) {
		for (StyleRun run : plan.tailRuns) {
			run.start += (int32)at;
			runs.push_back(run);
		}
	}
	if (runs.empty())
		runs.push_back(StyleRun{0, plan.style});
	return runs;
}

bool TextViewData::_ReplaceInPlace(const ReplacePlan& plan)
{
	const size_t removed = (size_t)(plan.to - plan.from);
	return mParagraphs.EditInPlace(
	    plan.first.index, plan.head.size(), removed, plan.text, [&](TextParagraph& p) {
		    set_made_runs(p, _MadeRuns(plan, true, plan.text.size(), true));
		    if (plan.recount) {
			    // Its old starts are still its own.
			    _RecountLines(p, p.lineStarts.begin(), p.lineStarts.size(), plan.head.size(),
			                  removed, plan.text.size());
			    p.dirty = false;
		    } else {
			    p.dirty = true;
		    }
	    });
}

void TextViewData::_ReplaceParagraphs(const ReplacePlan& plan)
{
	const std::string_view text = plan.text;
	// The first and the last paragraph made keep the head and the tail,
	// whose bytes go away with the paragraphs replaced: they are joined
	// here, each in one copy (a long paragraph being typed in is not
	// copied piece by piece), and lent to the index until it has taken
	// them. Those between are whole pieces of the text, in one style.
	const size_t firstEnd = std::min(text.find('\n'), text.size());
	const size_t lastStart = plan.made == 1 ? 0 : text.rfind('\n') + 1;
	std::string firstText;
	firstText.reserve(plan.head.size() + firstEnd + (plan.made == 1 ? plan.tail.size() : 0));
	firstText.append(plan.head).append(text.substr(0, firstEnd));
	std::string lastText;
	if (plan.made == 1)
		firstText.append(plan.tail);
	else
		lastText.append(text.substr(lastStart)).append(plan.tail);
	// The old paragraph goes: its line starts are kept for the count.
	std::vector<int32> oldStarts;
	if (plan.recount)
		oldStarts = mParagraphs.Paragraph(plan.first).lineStarts.ToVector();

	size_t pieceStart = firstEnd + 1;
	// New paragraphs are counted into visual lines while their bytes are at
	// hand, rather than in a later walk over the whole text.
	mParagraphs.Replace(
	    plan.first.index, plan.last.index - plan.first.index + 1, plan.made,
	    [&](size_t n, TextParagraph& p) {
		    if (n == 0) {
			    p.text = ParagraphText::Borrow(firstText);
			    set_made_runs(p, _MadeRuns(plan, true, firstEnd, plan.made == 1));
		    } else if (n + 1 == plan.made) {
			    p.text = ParagraphText::Borrow(lastText);
			    set_made_runs(p, _MadeRuns(plan, false, text.size() - lastStart, true));
		    } else {
			    const size_t pieceEnd = text.find('\n', pieceStart);
			    p.text = ParagraphText::Borrow(text.substr(pieceStart, pieceEnd - pieceStart));
			    p.style = plan.style;
			    pieceStart = pieceEnd + 1;
		    }
		    if (plan.countNow) {
			    if (plan.recount)
				    _RecountLines(p, oldStarts.data(), oldStarts.size(), plan.head.size(),
				                  (size_t)(plan.to - plan.from), text.size());
			    else
				    _CountLines(p);
			    p.dirty = false;
		    }
	    });
}

void TextViewData::_DamageReplaced(const ReplacePlan& plan)
{
	const int32 last = plan.first.index + (int32)plan.made - 1;
	const TextParagraph& made = mParagraphs.At(last);
	const bool moved = plan.oldLines < 0 || made.dirty || made.lines != plan.oldLines;
	mWidget->Damage(plan.first.index, last, moved, plan.firstLine);
}

void TextViewData::_ShiftSelection(int32 from, int32 to, int32 inserted)
{
	// Keep the selection on the same text.
	const int32 delta = inserted - (to - from);
	auto shift = [&](int32 offset) {
		if (offset >= to)
			return offset + delta;
		if (offset > from)
			return from;
		return offset;
	};
	mAnchor = shift(mAnchor);
	mCaret = shift(mCaret);
}

void TextViewData::_Record(int32 offset, std::string removed, std::string inserted,
                           EditSource source)
{
	notify_text_change(mWidget, offset, removed, inserted);
	if (source == EditSource::kProgram) {
		mProgramChanged = true;
		if (!mProgramTurnOpen) {
			// Program edits up to the next turn of the event loop make one
			// undo step.
			mProgramTurnOpen = true;
			mProgramAction = ++mAction;
			// Through the widget, which may outlive this object.
			TextEditWidget* owner = mWidget;
			QTimer::singleShot(0, mWidget, [owner]() {
				if (TextViewData* data = owner->Data())
					data->EndProgramTurn();
			});
		}
	}
	if (!mModes.doesUndo || mUndoing)
		return;
	TextEdit edit;
	edit.offset = offset;
	edit.removed = std::move(removed);
	edit.inserted = std::move(inserted);
	mUndo.Record(std::move(edit), source,
	             source == EditSource::kProgram ? mProgramAction : mAction);
}

} // namespace BPrivate
