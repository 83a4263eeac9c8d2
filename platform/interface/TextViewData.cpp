#include "TextViewData.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>

#include "ViewPrivate.h"

namespace BPrivate {

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
	edit.offset = change.offset;
	edit.removed = change.removed;
	edit.inserted = change.inserted;
	undo.Record(std::move(edit), source, source == EditSource::kProgram ? mProgramAction : action);
}

} // namespace BPrivate

