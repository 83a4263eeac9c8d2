// Window-manager events of a window's widget, turned into the framework's
// window messages.
#include "WindowWidget.h"

#include <QCloseEvent>
#include <QMoveEvent>
#include <QResizeEvent>

#include "AppDefs.h"
#include "Message.h"
#include "OS.h"
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

} // namespace BPrivate
