// The clipboard, the X11 selection and input methods.
#include "TextEditWidget.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>

#include <algorithm>

namespace BPrivate {

void TextEditWidget::Copy() const
{
	if (mData == nullptr || mData->SelectionEnd() <= mData->SelectionStart())
		return;
	const std::string bytes = mData->TextRange(mData->SelectionStart(), mData->SelectionEnd());
	QGuiApplication::clipboard()->setText(QString::fromUtf8(bytes.data(), (qsizetype)bytes.size()));
}

void TextEditWidget::Cut()
{
	if (mData == nullptr || !mData->Modes().editable ||
	    mData->SelectionEnd() <= mData->SelectionStart())
		return;
	Copy();
	mData->UserEdit(mData->SelectionStart(), mData->SelectionEnd(), std::string());
}

void TextEditWidget::Paste(bool selectionClipboard)
{
	if (mData == nullptr || !mData->Modes().editable)
		return;
	const QString text = QGuiApplication::clipboard()->text(
	    selectionClipboard ? QClipboard::Selection : QClipboard::Clipboard);
	if (text.isEmpty())
		return;
	mData->UserEdit(mData->SelectionStart(), mData->SelectionEnd(), mData->FromOutside(text));
}

void TextEditWidget::_OfferSelection()
{
	QClipboard* clipboard = QGuiApplication::clipboard();
	if (mData == nullptr || !clipboard->supportsSelection() ||
	    mData->SelectionEnd() <= mData->SelectionStart())
		return;
	const std::string bytes = mData->TextRange(mData->SelectionStart(), mData->SelectionEnd());
	clipboard->setText(QString::fromUtf8(bytes.data(), (qsizetype)bytes.size()),
	                   QClipboard::Selection);
}

void TextEditWidget::inputMethodEvent(QInputMethodEvent* event)
{
	if (mData == nullptr || !mData->Modes().editable) {
		event->ignore();
		return;
	}
	TextViewData::UserActionScope action(mData, EditSource::kTyping);
	const std::string commit = mData->FromOutside(event->commitString());
	int32 from = mData->SelectionStart();
	int32 to = mData->SelectionEnd();
	if (event->replacementLength() > 0 || event->replacementStart() != 0) {
		// Relative to the caret, in UTF-16 units of its paragraph.
		const ParagraphPlace place = mData->Paragraphs().LocateByte(mData->Caret());
		const std::string_view text = mData->Paragraphs().Paragraph(place).text;
		const int caretUnit = utf16_index(text, (size_t)(mData->Caret() - place.byte));
		const int first = std::max(caretUnit + event->replacementStart(), 0);
		const int last = std::max(first + event->replacementLength(), first);
		from = (int32)(place.byte + byte_index(text, first));
		to = (int32)(place.byte + byte_index(text, last));
	}
	mPreedit = event->preeditString();
	if (!commit.empty() || to > from) {
		mData->UserEdit(from, to, commit);
	}
	viewport()->update();
	event->accept();
}

QVariant TextEditWidget::inputMethodQuery(Qt::InputMethodQuery query) const
{
	if (mData == nullptr)
		return QAbstractScrollArea::inputMethodQuery(query);
	const ParagraphPlace place = mData->Paragraphs().LocateByte(mData->Caret());
	const std::string_view text = mData->Paragraphs().Paragraph(place).text;
	switch (query) {
	case Qt::ImEnabled:
		return mData->Modes().editable;
	case Qt::ImCursorRectangle:
	case Qt::ImAnchorRectangle: {
		const QRectF rect =
		    CaretRect(query == Qt::ImCursorRectangle ? mData->Caret() : mData->Anchor());
		return rect.translated(viewport()->pos());
	}
	case Qt::ImFont:
		return mData->BaseFont();
	case Qt::ImCursorPosition:
		return utf16_index(text, (size_t)(mData->Caret() - place.byte));
	case Qt::ImAnchorPosition: {
		const int32 inside =
		    std::clamp<int32>(mData->Anchor() - (int32)place.byte, 0, (int32)text.size());
		return utf16_index(text, (size_t)inside);
	}
	case Qt::ImSurroundingText:
		return QString::fromUtf8(text.data(), (qsizetype)text.size());
	case Qt::ImCurrentSelection: {
		const std::string selected =
		    mData->TextRange(mData->SelectionStart(), mData->SelectionEnd());
		return QString::fromUtf8(selected.data(), (qsizetype)selected.size());
	}
	case Qt::ImHints:
		return (int)(mData->Modes().singleLine ? Qt::ImhNone : Qt::ImhMultiLine);
	case Qt::ImReadOnly:
		return !mData->Modes().editable;
	default:
		return QAbstractScrollArea::inputMethodQuery(query);
	}
}

} // namespace BPrivate
