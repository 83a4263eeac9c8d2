#include "TextView.h"

#include <QPalette>

#include <cstring>

#include "AppDefs.h"
#include "Message.h"
#include "TextViewData.h"
#include "TextViewScripting.h"
#include "ViewPrivate.h"

using BPrivate::TextViewData;

namespace {

// One editing call of the program at a time: calls made from inside the
// hooks (while a change is being made or reported) are refused.
class EditCall
{
public:
	explicit EditCall(TextViewData* data)
	    : mData(data), mAllowed(data->hookDepth == 0 && data->editDepth == 0)
	{
		if (mAllowed)
			mData->editDepth++;
	}
	~EditCall()
	{
		if (mAllowed)
			mData->editDepth--;
	}
	bool Allowed() const { return mAllowed; }

private:
	TextViewData* mData;
	bool mAllowed;
};

} // namespace

BTextView::BTextView(BRect frame, const char* name, BRect textRect, uint32 resizingMode,
                     uint32 flags)
    : BView(frame, name, resizingMode, flags), mText(new TextViewData(this))
{
	BPrivate::ViewAccess::SetNativeWidget(this, mText->widget);
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
		mText->styles[0].color = *initialColor;
		QPalette palette = mText->widget->palette();
		palette.setColor(QPalette::Text, BPrivate::to_qcolor(*initialColor));
		mText->widget->setPalette(palette);
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
	mText->undoing = true; // a new text starts a new history
	mText->BeginProgram();
	if (TextLength() > 0)
		DeleteText(0, TextLength());
	if (!clean.empty())
		InsertText(clean.c_str(), (int32)clean.size(), 0, runs);
	mText->EndProgram();
	mText->undoing = false;
	mText->undo.Clear();
	Select(mText->singleLine ? TextLength() : 0, mText->singleLine ? TextLength() : 0);
}

const char* BTextView::Text() const
{
	if (!mText->textCacheValid) {
		mText->paragraphs.Collect(&mText->textCache);
		mText->textCacheValid = true;
	}
	return mText->textCache.c_str();
}

int32 BTextView::TextLength() const
{
	return mText->Length();
}

char BTextView::ByteAt(int32 offset) const
{
	if (offset < 0 || offset >= TextLength())
		return 0;
	if (mText->textCacheValid)
		return mText->textCache[(size_t)offset];
	const BPrivate::ParagraphPlace place = mText->paragraphs.LocateByte(offset);
	const std::string_view text = mText->paragraphs.Paragraph(place).text;
	const size_t inside = (size_t)(offset - place.byte);
	return inside < text.size() ? text[inside] : '\n';
}

void BTextView::GetText(int32 offset, int32 length, char* buffer) const
{
	if (buffer == nullptr)
		return;
	const int32 total = TextLength();
	offset = std::clamp<int32>(offset, 0, total);
	length = std::clamp<int32>(length, 0, total - offset);
	if (mText->textCacheValid)
		memcpy(buffer, mText->textCache.data() + offset, (size_t)length);
	else
		mText->paragraphs.CopyBytes(offset, length, buffer);
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
	mText->BeginProgram();
	if (end > start)
		DeleteText(start, end);
	if (!clean.empty())
		InsertText(clean.c_str(), (int32)clean.size(), start, runs);
	mText->EndProgram();
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
	const bool asStored = BPrivate::is_valid_utf8(text, (size_t)length) &&
	                      !(mText->singleLine && memchr(text, '\n', (size_t)length) != nullptr);
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
	mText->BeginProgram();
	DeleteText(start, finish);
	mText->EndProgram();
}

void BTextView::InsertText(const char* text, int32 length, int32 offset, const text_run_array* runs)
{
	// Changes made in the widget are in the text already.
	if (mText->hookDepth > 0)
		return;
	mText->PerformInsert(offset, text, length, runs);
}

void BTextView::DeleteText(int32 fromOffset, int32 toOffset)
{
	if (mText->hookDepth > 0)
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
	const QMargins margins = mText->widget->Margins();
	return mText->widget->OffsetAtViewport(
	    QPointF(point.x - margins.left(), point.y - margins.top()));
}

BPoint BTextView::PointAt(int32 offset, float* height) const
{
	const QRectF rect = mText->widget->CaretRect(offset);
	const QMargins margins = mText->widget->Margins();
	if (height != nullptr)
		*height = (float)rect.height();
	return BPoint((float)(rect.left() + margins.left()), (float)(rect.top() + margins.top()));
}

void BTextView::SetTextRect(BRect rect)
{
	mText->textRect = rect;
	mText->ApplyTextRect();
}

BRect BTextView::TextRect() const
{
	return mText->textRect;
}

void BTextView::SetWordWrap(bool wrap)
{
	if (mText->singleLine)
		wrap = false;
	mText->wrap = wrap;
	mText->widget->TextChanged();
}

bool BTextView::DoesWordWrap() const
{
	return mText->wrap;
}

void BTextView::MakeEditable(bool editable)
{
	mText->editable = editable;
}

bool BTextView::IsEditable() const
{
	return mText->editable;
}

void BTextView::MakeSelectable(bool selectable)
{
	mText->selectable = selectable;
	mText->widget->viewport()->setCursor(selectable ? Qt::IBeamCursor : Qt::ArrowCursor);
}

bool BTextView::IsSelectable() const
{
	return mText->selectable;
}

void BTextView::SetStylable(bool stylable)
{
	mText->stylable = stylable;
}

bool BTextView::IsStylable() const
{
	return mText->stylable;
}

void BTextView::SetDoesUndo(bool undo)
{
	mText->doesUndo = undo;
	if (!undo)
		mText->undo.Clear();
}

bool BTextView::DoesUndo() const
{
	return mText->doesUndo;
}

void BTextView::Undo(BClipboard*)
{
	EditCall call(mText);
	if (!call.Allowed() || !mText->undo.CanUndo())
		return;
	mText->ApplyStep(mText->undo.TakeUndo(), true);
}

void BTextView::Redo()
{
	EditCall call(mText);
	if (!call.Allowed() || !mText->undo.CanRedo())
		return;
	mText->ApplyStep(mText->undo.TakeRedo(), false);
}

bool BTextView::CanUndo() const
{
	return mText->undo.CanUndo();
}

bool BTextView::CanRedo() const
{
	return mText->undo.CanRedo();
}

void BTextView::Cut(BClipboard*)
{
	EditCall call(mText);
	if (!call.Allowed() || !mText->editable)
		return;
	mText->BeginUserAction(BPrivate::EditSource::kUserAction);
	mText->widget->Cut();
	mText->EndUserAction();
}

void BTextView::Copy(BClipboard*)
{
	mText->widget->Copy();
}

void BTextView::Paste(BClipboard*)
{
	EditCall call(mText);
	if (!call.Allowed() || !mText->editable)
		return;
	mText->BeginUserAction(BPrivate::EditSource::kUserAction);
	mText->widget->Paste();
	mText->EndUserAction();
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
	mText->widget->EnsureCaretVisible();
	mText->undo.Seal();
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
	mText->widget->EnsureCaretVisible();
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
		if (style.font >= 0 && style.font < (int32)mText->bfonts.size())
			*font = mText->bfonts[(size_t)style.font];
		else
			GetFont(font);
	}
}

void BTextView::SetViewColor(rgb_color color)
{
	BView::SetViewColor(color);
	QPalette palette = mText->widget->palette();
	palette.setColor(QPalette::Base, BPrivate::to_qcolor(color));
	palette.setColor(QPalette::Window, BPrivate::to_qcolor(color));
	mText->widget->setPalette(palette);
	mText->widget->viewport()->setAutoFillBackground(true);
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
		if (!BPrivate::answer_text_view_scripting(this, message))
			BView::MessageReceived(message);
		break;
	}
}

void BTextView::FrameResized(float newWidth, float newHeight)
{
	BView::FrameResized(newWidth, newHeight);
	mText->ApplyTextRect();
	mText->widget->TextChanged();
}

void BTextView::MakeFocus(bool focus)
{
	BView::MakeFocus(focus);
	if (focus)
		mText->widget->setFocus(Qt::OtherFocusReason);
}
