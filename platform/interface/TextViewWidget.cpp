// The text view's widget: tells the view which input made a change, and
// routes undo, redo and the clipboard through the view.
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QTextCursor>

#include "TextViewData.h"

namespace BPrivate {

namespace {

class UserAction {
public:
	UserAction(TextViewData* data, EditSource source)
		:
		mData(data)
	{
		if (mData != nullptr)
			mData->BeginUserAction(source);
	}
	~UserAction()
	{
		if (mData != nullptr)
			mData->EndUserAction();
	}

private:
	TextViewData* mData;
};


bool
is_redo(const QKeyEvent* event)
{
	if (event->matches(QKeySequence::Redo))
		return true;
	const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
	return event->key() == Qt::Key_Z && modifiers == (Qt::ControlModifier | Qt::ShiftModifier);
}

} // namespace


TextEditWidget::TextEditWidget(TextViewData* data)
	:
	mData(data)
{
	setAttribute(Qt::WA_InputMethodEnabled);
}


void
TextEditWidget::keyPressEvent(QKeyEvent* event)
{
	if (mData == nullptr) {
		QPlainTextEdit::keyPressEvent(event);
		return;
	}
	if (event->matches(QKeySequence::Undo)) {
		mData->view->Undo();
		event->accept();
		return;
	}
	if (is_redo(event)) {
		mData->view->Redo();
		event->accept();
		return;
	}
	const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
	if (enter && mData->singleLine) {
		if (mData->enterHandler)
			mData->enterHandler();
		event->accept();
		return;
	}
	if (enter && (event->modifiers() & Qt::ShiftModifier) != 0) {
		// Shift+Enter would put a line separator inside the paragraph; a
		// line of this text always ends with a line feed.
		if (!isReadOnly()) {
			UserAction action(mData, EditSource::kTyping);
			textCursor().insertText(QStringLiteral("\n"));
			ensureCursorVisible();
		}
		event->accept();
		return;
	}
	const bool clipboard = event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Cut)
		|| event->matches(QKeySequence::DeleteEndOfWord)
		|| event->matches(QKeySequence::DeleteStartOfWord)
		|| event->matches(QKeySequence::DeleteEndOfLine);
	UserAction action(mData, clipboard ? EditSource::kUserAction : EditSource::kTyping);
	QPlainTextEdit::keyPressEvent(event);
}


void
TextEditWidget::inputMethodEvent(QInputMethodEvent* event)
{
	UserAction action(mData, EditSource::kTyping);
	QPlainTextEdit::inputMethodEvent(event);
}


bool
TextEditWidget::canInsertFromMimeData(const QMimeData* source) const
{
	return source->hasText();
}


void
TextEditWidget::insertFromMimeData(const QMimeData* source)
{
	UserAction action(mData, EditSource::kUserAction);
	if (mData != nullptr && mData->singleLine && source->hasText()) {
		QString text = source->text();
		text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
		text.replace(QChar('\n'), QChar(' '));
		text.replace(QChar('\r'), QChar(' '));
		QMimeData flat;
		flat.setText(text);
		QPlainTextEdit::insertFromMimeData(&flat);
		return;
	}
	QPlainTextEdit::insertFromMimeData(source);
}


QMimeData*
TextEditWidget::createMimeDataFromSelection() const
{
	// From the view's own bytes, so stand-in characters never leave it.
	if (mData == nullptr)
		return QPlainTextEdit::createMimeDataFromSelection();
	const QTextCursor cursor = textCursor();
	const int32 from = mData->ToByte(cursor.selectionStart());
	const int32 to = mData->ToByte(cursor.selectionEnd());
	QMimeData* data = new QMimeData;
	if (to > from) {
		// Only the selected bytes: this runs on every change of the
		// selection, for the X11 primary selection.
		std::string bytes((size_t)(to - from) + 1, '\0');
		mData->view->GetText(from, to - from, bytes.data());
		data->setText(QString::fromUtf8(bytes.data(), (qsizetype)(to - from)));
	}
	return data;
}


void
TextEditWidget::dropEvent(QDropEvent* event)
{
	// Moving text by drag and drop deletes and inserts: one undo step.
	UserAction action(mData, EditSource::kUserAction);
	QPlainTextEdit::dropEvent(event);
}


void
TextEditWidget::mousePressEvent(QMouseEvent* event)
{
	if (mData != nullptr)
		mData->undo.Seal();
	QPlainTextEdit::mousePressEvent(event);
}


void
TextEditWidget::resizeEvent(QResizeEvent* event)
{
	QPlainTextEdit::resizeEvent(event);
	if (mData != nullptr)
		mData->ApplyTextRect();
}


void
TextEditWidget::contextMenuEvent(QContextMenuEvent* event)
{
	if (mData == nullptr) {
		QPlainTextEdit::contextMenuEvent(event);
		return;
	}
	BTextView* view = mData->view;
	const bool editable = mData->editable;
	const bool selection = textCursor().hasSelection();
	QMenu menu(this);
	menu.addAction(QStringLiteral("Undo"), [view]() { view->Undo(); })
		->setEnabled(editable && view->CanUndo());
	menu.addAction(QStringLiteral("Redo"), [view]() { view->Redo(); })
		->setEnabled(editable && view->CanRedo());
	menu.addSeparator();
	menu.addAction(QStringLiteral("Cut"), [view]() { view->Cut(); })
		->setEnabled(editable && selection);
	menu.addAction(QStringLiteral("Copy"), [view]() { view->Copy(); })->setEnabled(selection);
	menu.addAction(QStringLiteral("Paste"), [view]() { view->Paste(); })
		->setEnabled(editable && canPaste());
	menu.addSeparator();
	menu.addAction(QStringLiteral("Select All"), [view]() { view->SelectAll(); });
	menu.exec(event->globalPos());
	event->accept();
}

} // namespace BPrivate
