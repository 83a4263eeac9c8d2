// Input on a plain view becomes B_MOUSE_DOWN / B_KEY_DOWN messages to the
// window, so that the hooks run inside the window's dispatch, locked.
#include "ViewWidget.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "InterfaceDefs.h"
#include "Message.h"
#include "OS.h"
#include "View.h"
#include "ViewPrivate.h"
#include "Window.h"

namespace BPrivate {

namespace {

// A press or release as the view's window gets it; none while the view is
// in no window. Only a press tells the buttons and the click count.
void post_mouse(BView* view, QMouseEvent* event, uint32 what)
{
	BWindow* window = view->Window();
	if (window == nullptr)
		return;
	const bool press = what == B_MOUSE_DOWN;
	BMessage message(what);
	message.AddInt64("when", system_time());
	message.AddPoint("where", BPoint(event->position().x(), event->position().y()));
	if (press)
		message.AddInt32("buttons", (int32)event->buttons());
	message.AddInt32("modifiers", (int32)modifiers_from_qt(event->modifiers()));
	if (press)
		message.AddInt32("clicks", 1);
	window->PostMessage(&message, view);
}

} // namespace

ViewWidget::ViewWidget(BView* view) : QWidget(nullptr), mView(view) {}

void ViewWidget::paintEvent(QPaintEvent* event)
{
	BWindow* window = mView->Window();
	if (window != nullptr && !window->Lock())
		return;
	QPainter painter(this);
	rgb_color color = mView->ViewColor();
	if (color != B_TRANSPARENT_COLOR)
		painter.fillRect(rect(), to_qcolor(color));
	if ((mView->Flags() & B_WILL_DRAW) != 0) {
		ViewAccess::BeginDraw(mView, &painter);
		mView->Draw(to_brect(event->rect()));
		ViewAccess::EndDraw(mView);
	}
	if (window != nullptr)
		window->Unlock();
}

void ViewWidget::mousePressEvent(QMouseEvent* event)
{
	post_mouse(mView, event, B_MOUSE_DOWN);
}

void ViewWidget::mouseReleaseEvent(QMouseEvent* event)
{
	post_mouse(mView, event, B_MOUSE_UP);
}

namespace {

void post_key(BView* view, QKeyEvent* event, uint32 what)
{
	BWindow* window = view->Window();
	QByteArray bytes = key_bytes(event);
	if (window == nullptr || bytes.isEmpty()) {
		event->ignore();
		return;
	}
	BMessage message(what);
	message.AddInt64("when", system_time());
	message.AddInt32("modifiers", (int32)modifiers_from_qt(event->modifiers()));
	message.AddInt32("key", (int32)event->nativeScanCode());
	message.AddInt32("raw_char", (int32)(uint8)bytes[0]);
	for (char byte : bytes)
		message.AddInt8("byte", (int8)byte);
	message.AddString("bytes", bytes.constData());
	window->PostMessage(&message, view);
}

} // namespace

void ViewWidget::keyPressEvent(QKeyEvent* event)
{
	post_key(mView, event, B_KEY_DOWN);
}

void ViewWidget::keyReleaseEvent(QKeyEvent* event)
{
	post_key(mView, event, B_KEY_UP);
}

uint32 modifiers_from_qt(Qt::KeyboardModifiers modifiers)
{
	uint32 result = 0;
	if (modifiers & Qt::ShiftModifier)
		result |= B_SHIFT_KEY;
	if (modifiers & Qt::ControlModifier)
		result |= B_COMMAND_KEY;
	if (modifiers & Qt::AltModifier)
		result |= B_OPTION_KEY;
	if (modifiers & Qt::MetaModifier)
		result |= B_CONTROL_KEY;
	return result;
}

QByteArray key_bytes(const QKeyEvent* event)
{
	switch (event->key()) {
	case Qt::Key_Left:
		return QByteArray(1, B_LEFT_ARROW);
	case Qt::Key_Right:
		return QByteArray(1, B_RIGHT_ARROW);
	case Qt::Key_Up:
		return QByteArray(1, B_UP_ARROW);
	case Qt::Key_Down:
		return QByteArray(1, B_DOWN_ARROW);
	case Qt::Key_Home:
		return QByteArray(1, B_HOME);
	case Qt::Key_End:
		return QByteArray(1, B_END);
	case Qt::Key_PageUp:
		return QByteArray(1, B_PAGE_UP);
	case Qt::Key_PageDown:
		return QByteArray(1, B_PAGE_DOWN);
	case Qt::Key_Insert:
		return QByteArray(1, B_INSERT);
	case Qt::Key_Delete:
		return QByteArray(1, B_DELETE);
	case Qt::Key_Backspace:
		return QByteArray(1, B_BACKSPACE);
	case Qt::Key_Return:
	case Qt::Key_Enter:
		return QByteArray(1, B_ENTER);
	case Qt::Key_Tab:
		return QByteArray(1, B_TAB);
	case Qt::Key_Escape:
		return QByteArray(1, B_ESCAPE);
	default:
		break;
	}
	// With Ctrl held Qt gives a control character; the framework gives the
	// letter itself and the command modifier.
	int key = event->key();
	if ((event->modifiers() & Qt::ControlModifier) && key >= 0x20 && key < 0x7f) {
		char letter = (char)key;
		if (!(event->modifiers() & Qt::ShiftModifier) && letter >= 'A' && letter <= 'Z')
			letter = (char)(letter - 'A' + 'a');
		return QByteArray(1, letter);
	}
	return event->text().toUtf8();
}

} // namespace BPrivate
