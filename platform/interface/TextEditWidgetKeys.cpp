// Keys: what the table of key commands says, and typing.
#include "TextEditWidget.h"

#include <QKeyEvent>
#include <QScrollBar>

#include <algorithm>

namespace BPrivate {

bool TextEditWidget::event(QEvent* event)
{
	if (mData != nullptr && event->type() == QEvent::ShortcutOverride) {
		// Keys that edit or move in the text are ours, not a shortcut's.
		if (is_text_view_key(static_cast<QKeyEvent*>(event))) {
			event->accept();
			return true;
		}
	}
	if (mData != nullptr && event->type() == QEvent::KeyPress) {
		// Tab types a tab in a text, and moves the focus from a field.
		QKeyEvent* key = static_cast<QKeyEvent*>(event);
		if (key->key() == Qt::Key_Tab && !mData->Modes().singleLine &&
		    !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier)) &&
		    mData->Modes().editable) {
			keyPressEvent(key);
			return true;
		}
	}
	return QAbstractScrollArea::event(event);
}

void TextEditWidget::keyPressEvent(QKeyEvent* event)
{
	if (mData == nullptr || !_HandleKey(event)) {
		event->ignore();
		return;
	}
	event->accept();
	_RestartBlink();
}

bool TextEditWidget::_HandleKey(QKeyEvent* event)
{
	TextViewData* data = mData;
	BTextView* view = data->View();
	const KeyCommand command = key_action(event).command;
	switch (command) {
	case KeyCommand::kNone:
		break;
	case KeyCommand::kUndo:
		view->Undo();
		return true;
	case KeyCommand::kRedo:
		view->Redo();
		return true;
	case KeyCommand::kEnter:
		if (data->Modes().singleLine) {
			data->ReportEnter();
		} else if (data->Modes().editable) {
			TextViewData::UserActionScope action(data, EditSource::kTyping);
			data->UserEdit(data->SelectionStart(), data->SelectionEnd(), "\n");
		}
		return true;
	case KeyCommand::kCopy:
		Copy();
		return true;
	case KeyCommand::kCut:
		view->Cut();
		return true;
	case KeyCommand::kPaste:
		view->Paste();
		return true;
	case KeyCommand::kSelectAll:
		view->SelectAll();
		return true;
	case KeyCommand::kDeletePrevious:
	case KeyCommand::kDeleteNext:
	case KeyCommand::kDeleteStartOfWord:
	case KeyCommand::kDeleteEndOfWord:
	case KeyCommand::kDeleteEndOfLine:
	case KeyCommand::kDeleteLine:
		_Delete(command);
		return true;
	default:
		_MoveByKey(key_action(event));
		return true;
	}

	const QString text = typed_text(event);
	if (text.isEmpty())
		return false;
	const bool editable = data->Modes().editable;
	if (editable && !(data->Modes().singleLine && text == QStringLiteral("\t"))) {
		TextViewData::UserActionScope action(data, EditSource::kTyping);
		const QByteArray bytes = text.toUtf8();
		data->UserEdit(data->SelectionStart(), data->SelectionEnd(),
		               std::string(bytes.constData(), (size_t)bytes.size()));
	}
	return editable;
}

void TextEditWidget::_Delete(KeyCommand command)
{
	TextViewData* data = mData;
	if (!data->Modes().editable)
		return;
	const int32 start = data->SelectionStart();
	const int32 end = data->SelectionEnd();
	const bool selection = start < end;
	int32 from = start;
	int32 to = end;
	switch (command) {
	case KeyCommand::kDeletePrevious:
		from = selection ? start : _NextChar(start, false);
		break;
	case KeyCommand::kDeleteNext:
		to = selection ? end : _NextChar(end, true);
		break;
	case KeyCommand::kDeleteStartOfWord:
		from = selection ? start : _WordEdge(start, false);
		break;
	case KeyCommand::kDeleteEndOfWord:
		to = selection ? end : _WordEdge(end, true);
		break;
	case KeyCommand::kDeleteEndOfLine:
		to = selection ? end : std::max(_LineEdge(end, true), _NextChar(end, true));
		break;
	case KeyCommand::kDeleteLine:
		from = _LineEdge(start, false);
		to = std::min(_NextChar(_LineEdge(end, true), true), data->Length());
		break;
	default:
		return;
	}
	TextViewData::UserActionScope action(data, EditSource::kTyping);
	data->UserEdit(from, to, std::string());
}

void TextEditWidget::_MoveByKey(KeyAction key)
{
	TextViewData* data = mData;
	if (!data->Modes().selectable)
		return;
	const int32 start = data->SelectionStart();
	const int32 end = data->SelectionEnd();
	const int32 caret = data->Caret();
	const bool extend = key.extend;
	const int lineHeight = data->LineHeight();
	const int page = std::max(viewport()->height() / std::max(lineHeight, 1) - 1, 1);
	int32 target = caret;
	bool vertical = false;
	switch (key.command) {
	case KeyCommand::kNextChar:
		target = !extend && start < end ? end : _NextChar(caret, true);
		break;
	case KeyCommand::kPreviousChar:
		target = !extend && start < end ? start : _NextChar(caret, false);
		break;
	case KeyCommand::kNextWord:
		target = _WordEdge(caret, true);
		break;
	case KeyCommand::kPreviousWord:
		target = _WordEdge(caret, false);
		break;
	case KeyCommand::kNextLine:
		target = _VisualLineMove(caret, 1);
		vertical = true;
		break;
	case KeyCommand::kPreviousLine:
		target = _VisualLineMove(caret, -1);
		vertical = true;
		break;
	case KeyCommand::kStartOfLine:
		target = _LineEdge(caret, false);
		break;
	case KeyCommand::kEndOfLine:
		target = _LineEdge(caret, true);
		break;
	case KeyCommand::kStartOfParagraph:
		target = (int32)data->Paragraphs().LocateByte(caret).byte;
		break;
	case KeyCommand::kEndOfParagraph: {
		const ParagraphPlace place = data->Paragraphs().LocateByte(caret);
		target = (int32)(place.byte + data->Paragraphs().Paragraph(place).text.size());
		break;
	}
	case KeyCommand::kStartOfText:
		target = 0;
		break;
	case KeyCommand::kEndOfText:
		target = data->Length();
		break;
	case KeyCommand::kNextPage:
		target = _VisualLineMove(caret, page);
		verticalScrollBar()->setValue(verticalScrollBar()->value() + page * lineHeight);
		vertical = true;
		break;
	case KeyCommand::kPreviousPage:
		target = _VisualLineMove(caret, -page);
		verticalScrollBar()->setValue(verticalScrollBar()->value() - page * lineHeight);
		vertical = true;
		break;
	default:
		return;
	}
	// Up and down keep the column they started from; other moves forget it.
	if (!vertical)
		mGoalX = -1;
	_Move(target, extend);
	if (!vertical)
		mGoalX = -1;
}

} // namespace BPrivate
