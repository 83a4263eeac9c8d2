// Window-manager events of a window's widget, turned into the framework's
// window messages.
#include "WindowWidget.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMoveEvent>
#include <QResizeEvent>

#include "AppDefs.h"
#include "Message.h"
#include "OS.h"
#include "ViewWidget.h"
#include "Window.h"
#include "WindowPrivate.h"

namespace BPrivate {

WindowWidget::WindowWidget(BWindow* window) : QWidget(nullptr), mWindow(window) {}

void WindowWidget::closeEvent(QCloseEvent* event)
{
	// The window decides in QuitRequested(); Qt must not close it itself.
	event->ignore();
	mWindow->PostMessage(B_QUIT_REQUESTED);
}

void WindowWidget::resizeEvent(QResizeEvent* event)
{
	QWidget::resizeEvent(event);
	WindowAccess::WidgetResized(mWindow);
	BMessage message(B_WINDOW_RESIZED);
	message.AddInt64("when", system_time());
	message.AddFloat("width", (float)(event->size().width() - 1));
	message.AddFloat("height", (float)(event->size().height() - 1));
	mWindow->PostMessage(&message);
}

void WindowWidget::moveEvent(QMoveEvent* event)
{
	QWidget::moveEvent(event);
	BMessage message(B_WINDOW_MOVED);
	message.AddInt64("when", system_time());
	message.AddPoint("where", BPoint(geometry().x(), geometry().y()));
	mWindow->PostMessage(&message);
}

void WindowWidget::changeEvent(QEvent* event)
{
	QWidget::changeEvent(event);
	if (event->type() == QEvent::ActivationChange) {
		BMessage message(B_WINDOW_ACTIVATED);
		message.AddInt64("when", system_time());
		message.AddBool("active", isActiveWindow());
		mWindow->PostMessage(&message);
	}
}

void WindowWidget::keyPressEvent(QKeyEvent* event)
{
	// Only keys that no widget inside took come this far (nothing has the
	// focus): they go to the window, as the framework hands them.
	const QByteArray bytes = key_bytes(event);
	if (bytes.isEmpty()) {
		QWidget::keyPressEvent(event);
		return;
	}
	BMessage message(B_KEY_DOWN);
	message.AddInt64("when", system_time());
	message.AddInt32("modifiers", (int32)modifiers_from_qt(event->modifiers()));
	message.AddInt32("key", (int32)event->nativeScanCode());
	message.AddInt32("raw_char", (int32)(uint8)bytes[0]);
	message.AddString("bytes", bytes.constData());
	mWindow->PostMessage(&message, mWindow);
}

} // namespace BPrivate
