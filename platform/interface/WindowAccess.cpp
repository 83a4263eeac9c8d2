// The layer's access to windows, and the window's menu shortcuts.
#include <QApplication>
#include <QKeyEvent>

#include "AppDefs.h"
#include "InterfaceDefs.h"
#include "MenuBar.h"
#include "MenuPrivate.h"
#include "Message.h"
#include "OS.h"
#include "View.h"
#include "ViewPrivate.h"
#include "ViewWidget.h"
#include "WindowPrivate.h"
#include "WindowWidget.h"

namespace BPrivate {

namespace {

// Ctrl-key presses anywhere in a window that match one of its menu
// shortcuts become B_KEY_DOWN messages to the window before the focused
// widget sees them, so that text widgets do not run their own Ctrl-C etc.
// Function keys F1 to F12 go to the window the same way, as the framework
// gives them (byte B_FUNCTION_KEY, "key" B_F1_KEY ...): our text widgets
// have no use of their own for them, and a window may bind them.
class ShortcutFilter : public QObject
{
public:
	bool eventFilter(QObject* object, QEvent* event) override
	{
		if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
			return false;
		QKeyEvent* keyEvent = static_cast<QKeyEvent*>(event);
		if (keyEvent->key() >= Qt::Key_F1 && keyEvent->key() <= Qt::Key_F12)
			return _FunctionKey(object, keyEvent);
		if (!(keyEvent->modifiers() & Qt::ControlModifier) || !object->isWidgetType())
			return false;
		QWidget* widget = static_cast<QWidget*>(object);
		BWindow* window = WindowAccess::WindowForWidget(widget);
		if (window == nullptr)
			return false;
		QByteArray bytes = key_bytes(keyEvent);
		if (bytes.size() != 1)
			return false;
		uint32 modifiers = modifiers_from_qt(keyEvent->modifiers());
		if (!window->Lock())
			return false;
		bool found = WindowAccess::FindShortcut(window, (uint8)bytes[0], modifiers) != nullptr;
		BView* focus = window->CurrentFocus();
		window->Unlock();
		if (!found)
			return false;
		if (event->type() == QEvent::ShortcutOverride) {
			// Claim the key so that no Qt shortcut takes it; the key
			// press that follows is posted below.
			event->accept();
			return true;
		}
		BMessage message(B_KEY_DOWN);
		message.AddInt64("when", system_time());
		message.AddInt32("modifiers", (int32)modifiers);
		message.AddInt32("key", (int32)keyEvent->nativeScanCode());
		message.AddInt32("raw_char", (int32)(uint8)bytes[0]);
		message.AddInt8("byte", (int8)bytes[0]);
		message.AddString("bytes", bytes.constData());
		window->PostMessage(&message, focus);
		return true;
	}

private:
	static bool _FunctionKey(QObject* object, QKeyEvent* keyEvent)
	{
		if (!object->isWidgetType())
			return false;
		BWindow* window = WindowAccess::WindowForWidget(static_cast<QWidget*>(object));
		if (window == nullptr)
			return false;
		if (keyEvent->type() == QEvent::ShortcutOverride) {
			keyEvent->accept();
			return true;
		}
		if (!window->Lock())
			return false;
		BView* focus = window->CurrentFocus();
		window->Unlock();
		const char bytes[2] = {(char)B_FUNCTION_KEY, 0};
		BMessage message(B_KEY_DOWN);
		message.AddInt64("when", system_time());
		message.AddInt32("modifiers", (int32)modifiers_from_qt(keyEvent->modifiers()));
		message.AddInt32("key", (int32)(B_F1_KEY + (keyEvent->key() - Qt::Key_F1)));
		message.AddInt32("raw_char", (int32)B_FUNCTION_KEY);
		message.AddInt8("byte", (int8)B_FUNCTION_KEY);
		message.AddString("bytes", bytes);
		window->PostMessage(&message, focus);
		return true;
	}
};

} // namespace

void install_shortcut_filter()
{
	static ShortcutFilter* filter = nullptr;
	if (filter == nullptr && qApp != nullptr) {
		filter = new ShortcutFilter;
		filter->setParent(qApp);
		qApp->installEventFilter(filter);
	}
}

BView* WindowAccess::TopView(const BWindow* window)
{
	return window->mData->topView;
}

QWidget* WindowAccess::Widget(const BWindow* window)
{
	return window->mData->widget.data();
}

BWindow* WindowAccess::WindowForWidget(const QWidget* widget)
{
	if (widget == nullptr)
		return nullptr;
	const WindowWidget* top = dynamic_cast<const WindowWidget*>(widget->window());
	return top != nullptr ? top->Window() : nullptr;
}

void WindowAccess::ViewDetached(BWindow* window, BView* view)
{
	WindowData* data = window->mData.get();
	if ((BView*)data->defaultButton == view)
		data->defaultButton = nullptr;
	if ((BView*)data->keyMenuBar == view)
		data->keyMenuBar = nullptr;
}

void WindowAccess::WidgetResized(BWindow* window)
{
	WindowData* data = window->mData.get();
	if (!data->widget || data->topView == nullptr)
		return;
	BRect bounds = to_brect(QRect(QPoint(0, 0), data->widget->size()));
	if (bounds == data->topView->Frame())
		return;
	bool locked = window->Lock();
	ViewAccess::SetFrame(data->topView, bounds);
	if (locked)
		window->Unlock();
}

BMenuItem* WindowAccess::FindShortcut(const BWindow* window, uint32 key, uint32 modifiers)
{
	BMenuBar* bar = window->mData->keyMenuBar;
	if (bar == nullptr || (modifiers & B_COMMAND_KEY) == 0)
		return nullptr;
	return MenuAccess::FindShortcut(bar, key, modifiers);
}

} // namespace BPrivate
