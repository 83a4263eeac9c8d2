// The text view for assistive technology: its text, caret and selection,
// and editing, through Qt's accessible text interfaces, in the character
// (UTF-16) positions they count in.
#include <QAccessible>
#include <QAccessibleWidget>

#include "TextEditWidget.h"
#include "TextViewAccessible.h"

namespace BPrivate {

namespace {

class TextViewAccessible : public QAccessibleWidget,
                           public QAccessibleTextInterface,
                           public QAccessibleEditableTextInterface
{
public:
	explicit TextViewAccessible(TextEditWidget* widget)
	    : QAccessibleWidget(widget, QAccessible::EditableText)
	{
	}

	void* interface_cast(QAccessible::InterfaceType type) override
	{
		if (type == QAccessible::TextInterface)
			return static_cast<QAccessibleTextInterface*>(this);
		if (type == QAccessible::EditableTextInterface && Data() != nullptr &&
		    Data()->Modes().editable)
			return static_cast<QAccessibleEditableTextInterface*>(this);
		return QAccessibleWidget::interface_cast(type);
	}

	QAccessible::State state() const override
	{
		QAccessible::State state = QAccessibleWidget::state();
		if (TextViewData* data = Data()) {
			state.editable = data->Modes().editable;
			state.readOnly = !data->Modes().editable;
			state.multiLine = !data->Modes().singleLine;
			state.selectableText = data->Modes().selectable;
		}
		return state;
	}

	QString text(QAccessible::Text which) const override
	{
		if (which == QAccessible::Value && Data() != nullptr)
			return text(0, characterCount());
		return QAccessibleWidget::text(which);
	}

	// Selection and caret.
	void selection(int index, int* start, int* end) const override
	{
		*start = *end = 0;
		TextViewData* data = Data();
		if (data == nullptr || index != 0 || data->SelectionStart() == data->SelectionEnd())
			return;
		*start = Characters(data->SelectionStart());
		*end = Characters(data->SelectionEnd());
	}
	int selectionCount() const override
	{
		TextViewData* data = Data();
		return data != nullptr && data->SelectionStart() < data->SelectionEnd() ? 1 : 0;
	}
	void addSelection(int start, int end) override { setSelection(0, start, end); }
	void removeSelection(int) override
	{
		if (TextViewData* data = Data())
			data->View()->Select(data->Caret(), data->Caret());
	}
	void setSelection(int, int start, int end) override
	{
		if (TextViewData* data = Data())
			data->View()->Select(Bytes(start), Bytes(end));
	}
	int cursorPosition() const override
	{
		TextViewData* data = Data();
		return data != nullptr ? Characters(data->Caret()) : 0;
	}
	void setCursorPosition(int position) override
	{
		if (TextViewData* data = Data()) {
			const int32 offset = Bytes(position);
			data->View()->Select(offset, offset);
		}
	}

	// Text.
	QString text(int start, int end) const override
	{
		TextViewData* data = Data();
		if (data == nullptr)
			return QString();
		const std::string bytes = data->TextRange(Bytes(start), Bytes(end));
		return QString::fromUtf8(bytes.data(), (qsizetype)bytes.size());
	}
	int characterCount() const override
	{
		TextViewData* data = Data();
		return data != nullptr ? Characters(data->Length()) : 0;
	}

	// Geometry, in screen coordinates.
	QRect characterRect(int offset) const override
	{
		TextViewData* data = Data();
		if (data == nullptr)
			return QRect();
		const QRectF caret = data->Widget()->CaretRect(Bytes(offset));
		const QPoint topLeft = data->Widget()->viewport()->mapToGlobal(caret.topLeft().toPoint());
		return QRect(topLeft, QSize(std::max(1, data->LineHeight() / 2), data->LineHeight()));
	}
	int offsetAtPoint(const QPoint& point) const override
	{
		TextViewData* data = Data();
		if (data == nullptr)
			return -1;
		const QPoint inViewport = data->Widget()->viewport()->mapFromGlobal(point);
		return Characters(data->Widget()->OffsetAtViewport(inViewport));
	}
	void scrollToSubstring(int start, int) override
	{
		if (TextViewData* data = Data()) {
			const int32 offset = Bytes(start);
			data->View()->Select(offset, offset);
		}
	}
	QString attributes(int offset, int* start, int* end) const override
	{
		*start = offset;
		*end = offset + 1;
		return QString();
	}

	// Editing, as the user would.
	void deleteText(int start, int end) override { replaceText(start, end, QString()); }
	void insertText(int offset, const QString& text) override { replaceText(offset, offset, text); }
	void replaceText(int start, int end, const QString& text) override
	{
		TextViewData* data = Data();
		if (data == nullptr || !data->Modes().editable)
			return;
		const QByteArray bytes = text.toUtf8();
		TextViewData::UserActionScope action(data, EditSource::kUserAction);
		data->UserEdit(Bytes(start), Bytes(end),
		               data->Clean(bytes.constData(), (int32)bytes.size()));
	}

private:
	TextViewData* Data() const
	{
		auto* widget = static_cast<TextEditWidget*>(object());
		return widget != nullptr ? widget->Data() : nullptr;
	}
	int Characters(int32 bytes) const { return (int)Data()->Utf16Before(bytes); }
	int32 Bytes(int characters) const { return Data()->ByteAtUtf16(characters); }
};

QAccessibleInterface* text_view_accessible(const QString& className, QObject* object)
{
	auto* widget = dynamic_cast<TextEditWidget*>(object);
	if (widget == nullptr || className != QLatin1String("QAbstractScrollArea"))
		return nullptr;
	return new TextViewAccessible(widget);
}

} // namespace

void install_text_view_accessibility()
{
	static bool installed = false;
	if (!installed) {
		installed = true;
		QAccessible::installFactory(text_view_accessible);
	}
}

void notify_text_change(TextEditWidget* widget, int32 offset, const std::string& removed,
                        const std::string& inserted)
{
	if (!QAccessible::isActive() || widget->Data() == nullptr)
		return;
	QAccessibleTextUpdateEvent event(
	    widget, (int)widget->Data()->Utf16Before(offset),
	    QString::fromUtf8(removed.data(), (qsizetype)removed.size()),
	    QString::fromUtf8(inserted.data(), (qsizetype)inserted.size()));
	QAccessible::updateAccessibility(&event);
}

void notify_caret_move(TextEditWidget* widget)
{
	TextViewData* data = widget->Data();
	if (!QAccessible::isActive() || data == nullptr)
		return;
	QAccessibleTextCursorEvent caret(widget, (int)data->Utf16Before(data->Caret()));
	QAccessible::updateAccessibility(&caret);
	QAccessibleTextSelectionEvent selection(widget, (int)data->Utf16Before(data->SelectionStart()),
	                                        (int)data->Utf16Before(data->SelectionEnd()));
	QAccessible::updateAccessibility(&selection);
}

} // namespace BPrivate
