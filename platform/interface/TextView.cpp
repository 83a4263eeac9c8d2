#include "TextView.h"

#include <QPalette>

#include <cstring>

#include "AppDefs.h"
#include "Message.h"
#include "TextEditWidget.h"
#include "TextViewData.h"
#include "TextViewScripting.h"
#include "ViewPrivate.h"

using BPrivate::TextViewData;

using EditCall = TextViewData::EditCall;
using ProgramScope = TextViewData::ProgramScope;
using UserActionScope = TextViewData::UserActionScope;

BTextView::BTextView(BRect frame, const char* name, BRect textRect, uint32 resizingMode,
                     uint32 flags)
    : BView(frame, name, resizingMode, flags), mText(new TextViewData(this))
{
	BPrivate::ViewAccess::SetNativeWidget(this, mText->Widget());
	mText->FontChanged();
	SetTextRect(textRect);
}

BTextView::BTextView(BRect frame, const char* name, BRect textRect, const BFont* initialFont,
                     const rgb_color* initialColor, uint32 resizingMode, uint32 flags)
    : BTextView(frame, name, textRect, resizingMode, flags)
{
	if (initialFont != nullptr)
		SetFont(initialFont);
	if (initialColor != nullptr) {
		mText->SetBaseColor(*initialColor);
	}
}

BTextView::~BTextView()
{
	delete mText;
}

void BTextView::SetText(const char* text, const text_run_array* runs)
{
	SetText(text, text != nullptr ? (int32)strlen(text) : 0, runs);
}

void BTextView::SetText(const char* text, int32 length, const text_run_array* runs)
{
	EditCall call(mText);
	if (!call.Allowed())
		return;
	const std::string clean = mText->Clean(text, length);
	{
		// A new text starts a new history.
		TextViewData::UnrecordedScope unrecorded(mText);
		ProgramScope program(mText);
		if (TextLength() > 0)
			DeleteText(0, TextLength());
		if (!clean.empty())
			InsertText(clean.c_str(), (int32)clean.size(), 0, runs);
	}
	mText->History().Clear();
	const int32 caret = mText->Modes().singleLine ? TextLength() : 0;
	Select(caret, caret);
}

const char* BTextView::Text() const
{
	return mText->WholeText().c_str();
}

int32 BTextView::TextLength() const
{
	return mText->Length();
}

char BTextView::ByteAt(int32 offset) const
{
	if (offset < 0 || offset >= TextLength())
		return 0;
	return mText->ByteAt(offset);
}

void BTextView::GetText(int32 offset, int32 length, char* buffer) const
{
	if (buffer == nullptr)
		return;
	const int32 total = TextLength();
	offset = std::clamp<int32>(offset, 0, total);
	length = std::clamp<int32>(length, 0, total - offset);
	mText->CopyText(offset, length, buffer);
	buffer[length] = '\0';
}

void BTextView::Insert(const char* text, const text_run_array* runs)
{
	Insert(text, text != nullptr ? (int32)strlen(text) : 0, runs);
}

void BTextView::Insert(const char* text, int32 length, const text_run_array* runs)
{
	EditCall call(mText);
	if (!call.Allowed())
		return;
	int32 start, end;
	GetSelection(&start, &end);
	const std::string clean = mText->Clean(text, length);
	{
		ProgramScope program(mText);
		if (end > start)
			DeleteText(start, end);
		if (!clean.empty())
			InsertText(clean.c_str(), (int32)clean.size(), start, runs);
	}
	// The caret goes behind the inserted text.
	const int32 caret = std::min(start + (int32)clean.size(), TextLength());
	Select(caret, caret);
}

void BTextView::Insert(int32 offset, const char* text, int32 length, const text_run_array* runs)
{
	EditCall call(mText);
	if (!call.Allowed())
		return;
	if (text == nullptr || length <= 0)
		return;
	// The hooks get the bytes as stored; most texts already are.
	const bool asStored =
	    BPrivate::is_valid_utf8(text, (size_t)length) &&
	    !(mText->Modes().singleLine && memchr(text, '\n', (size_t)length) != nullptr);
	if (asStored) {
		mText->MarkChecked(text, length);
		mText->ProgramInsert(offset, text, length, runs);
		mText->MarkChecked(nullptr, 0); // in case no hook took them
		return;
	}
	const std::string clean = mText->Clean(text, length);
	if (!clean.empty())
		mText->ProgramInsert(offset, clean.data(), (int32)clean.size(), runs);
}

void BTextView::Delete()
{
	int32 start, end;
	GetSelection(&start, &end);
	Delete(start, end);
}

void BTextView::Delete(int32 start, int32 finish)
{
	EditCall call(mText);
	if (!call.Allowed())
		return;
	start = mText->ClampOffset(start);
	finish = mText->ClampOffset(finish);
	if (finish <= start)
		return;
	ProgramScope program(mText);
	DeleteText(start, finish);
}

void BTextView::InsertText(const char* text, int32 length, int32 offset, const text_run_array* runs)
{
	// Changes made in the widget are in the text already.
	if (mText->InsideHooks())
		return;
	mText->PerformInsert(offset, text, length, runs);
}

void BTextView::DeleteText(int32 fromOffset, int32 toOffset)
{
	if (mText->InsideHooks())
		return;
	mText->PerformDelete(fromOffset, toOffset);
}

int32 BTextView::CountLines() const
{
	return mText->CountLines();
}

int32 BTextView::CurrentLine() const
{
	int32 start, end;
	GetSelection(&start, &end);
	return mText->LineAt(start);
}

int32 BTextView::LineAt(int32 offset) const
{
	return mText->LineAt(offset);
}

int32 BTextView::LineAt(BPoint point) const
{
	return mText->LineAt(OffsetAt(point));
}

int32 BTextView::OffsetAt(int32 line) const
{
	return mText->OffsetAt(line);
}

int32 BTextView::OffsetAt(BPoint point) const
{
	const QMargins margins = mText->Widget()->Margins();
	return mText->Widget()->OffsetAtViewport(
	    QPointF(point.x - margins.left(), point.y - margins.top()));
}

BPoint BTextView::PointAt(int32 offset, float* height) const
{
	const QRectF rect = mText->Widget()->CaretRect(offset);
	const QMargins margins = mText->Widget()->Margins();
	if (height != nullptr)
		*height = (float)rect.height();
	return BPoint((float)(rect.left() + margins.left()), (float)(rect.top() + margins.top()));
}

void BTextView::SetTextRect(BRect rect)
{
	mText->SetTextRect(rect);
}

BRect BTextView::TextRect() const
{
	return mText->TextRect();
}

void BTextView::SetWordWrap(bool wrap)
{
	mText->SetWrap(wrap);
}

bool BTextView::DoesWordWrap() const
{
	return mText->Modes().wrap;
}

void BTextView::MakeEditable(bool editable)
{
	mText->SetEditable(editable);
}

bool BTextView::IsEditable() const
{
	return mText->Modes().editable;
}

void BTextView::MakeSelectable(bool selectable)
{
	mText->SetSelectable(selectable);
}

bool BTextView::IsSelectable() const
{
	return mText->Modes().selectable;
}

void BTextView::SetStylable(bool stylable)
{
	mText->SetStylable(stylable);
}

bool BTextView::IsStylable() const
{
	return mText->Modes().stylable;
}

void BTextView::SetDoesUndo(bool undo)
{
	mText->SetDoesUndo(undo);
}

bool BTextView::DoesUndo() const
{
	return mText->Modes().doesUndo;
}

void BTextView::Undo(BClipboard*)
{
	EditCall call(mText);
	if (!call.Allowed() || !mText->History().CanUndo())
		return;
	mText->ApplyStep(mText->History().TakeUndo(), true);
}

void BTextView::Redo()
{
	EditCall call(mText);
	if (!call.Allowed() || !mText->History().CanRedo())
		return;
	mText->ApplyStep(mText->History().TakeRedo(), false);
}

bool BTextView::CanUndo() const
{
	return mText->History().CanUndo();
}

bool BTextView::CanRedo() const
{
	return mText->History().CanRedo();
}

void BTextView::Cut(BClipboard*)
{
	EditCall call(mText);
	if (!call.Allowed() || !mText->Modes().editable)
		return;
	UserActionScope action(mText, BPrivate::EditSource::kUserAction);
	mText->Widget()->Cut();
}

void BTextView::Copy(BClipboard*)
{
	mText->Widget()->Copy();
}

void BTextView::Paste(BClipboard*)
{
	EditCall call(mText);
	if (!call.Allowed() || !mText->Modes().editable)
		return;
	UserActionScope action(mText, BPrivate::EditSource::kUserAction);
	mText->Widget()->Paste();
}

void BTextView::SelectAll()
{
	Select(0, TextLength());
}

void BTextView::Select(int32 startOffset, int32 endOffset)
{
	startOffset = mText->ClampOffset(startOffset);
	endOffset = mText->ClampOffset(endOffset);
	if (endOffset < startOffset)
		std::swap(startOffset, endOffset);
	mText->SetSelection(startOffset, endOffset);
	mText->Widget()->EnsureCaretVisible();
	mText->History().Seal();
}

void BTextView::GetSelection(int32* startOffset, int32* endOffset) const
{
	if (startOffset != nullptr)
		*startOffset = mText->SelectionStart();
	if (endOffset != nullptr)
		*endOffset = mText->SelectionEnd();
}

void BTextView::ScrollToSelection()
{
	mText->Widget()->EnsureCaretVisible();
}

void BTextView::SetFontAndColor(const BFont* font, uint32 mode, const rgb_color* color)
{
	int32 start, end;
	GetSelection(&start, &end);
	SetFontAndColor(start, end, font, mode, color);
}

void BTextView::SetFontAndColor(int32 startOffset, int32 endOffset, const BFont* font, uint32 mode,
                                const rgb_color* color)
{
	mText->SetColorAndFont(startOffset, endOffset, font, mode, color);
}

void BTextView::GetFontAndColor(int32 offset, BFont* font, rgb_color* color) const
{
	const BPrivate::TextStyle& style = mText->StyleAt(offset);
	if (color != nullptr)
		*color = style.color;
	if (font != nullptr) {
		if (!mText->GetStyleFont(style, font))
			GetFont(font);
	}
}

void BTextView::SetViewColor(rgb_color color)
{
	BView::SetViewColor(color);
	QPalette palette = mText->Widget()->palette();
	palette.setColor(QPalette::Base, BPrivate::to_qcolor(color));
	palette.setColor(QPalette::Window, BPrivate::to_qcolor(color));
	mText->Widget()->setPalette(palette);
	mText->Widget()->viewport()->setAutoFillBackground(true);
}

void BTextView::SetFont(const BFont* font, uint32 mask)
{
	BView::SetFont(font, mask);
	mText->FontChanged();
}

void BTextView::MessageReceived(BMessage* message)
{
	switch (message->what) {
	case B_UNDO:
		Undo();
		break;
	case B_REDO:
		Redo();
		break;
	case B_CUT:
		Cut();
		break;
	case B_COPY:
		Copy();
		break;
	case B_PASTE:
		Paste();
		break;
	case B_SELECT_ALL:
		SelectAll();
		break;
	default:
		if (!BPrivate::answer_text_view_scripting(this, *mText, message))
			BView::MessageReceived(message);
		break;
	}
}

void BTextView::FrameResized(float newWidth, float newHeight)
{
	BView::FrameResized(newWidth, newHeight);
	mText->ApplyTextRect();
	mText->Widget()->TextChanged();
}

void BTextView::MakeFocus(bool focus)
{
	BView::MakeFocus(focus);
	if (focus)
		mText->Widget()->setFocus(Qt::OtherFocusReason);
}
