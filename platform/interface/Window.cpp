// BWindow: a GUI-thread looper around a top-level widget whose content area
// is the window's top view.
#include "Window.h"

#include <QApplication>
#include <QScreen>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>

#include "Application.h"
#include "Button.h"
#include "MainThread.h"
#include "Menu.h"
#include "MenuBar.h"
#include "MenuItem.h"
#include "MenuPrivate.h"
#include "Message.h"
#include "OS.h"
#include "ProgramIcon.h"
#include "View.h"
#include "ViewPrivate.h"
#include "ViewWidget.h"
#include "WidgetApplication.h"
#include "WindowList.h"
#include "WindowPrivate.h"
#include "WindowWidget.h"

namespace BPrivate {

namespace {

// Runs a change of the window's widget on the GUI thread: now when called
// there, else queued (the window may be gone by then; the widget pointer
// tells).
void on_gui(QWidget* widget, std::function<void(QWidget*)> change)
{
	if (widget == nullptr)
		return;
	if (is_main_thread()) {
		change(widget);
		return;
	}
	QPointer<QWidget> guard(widget);
	post_to_main([guard, change] {
		if (guard)
			change(guard.data());
	});
}

int to_pixels(float size)
{
	if (size >= (float)QWIDGETSIZE_MAX - 1)
		return QWIDGETSIZE_MAX;
	return std::clamp((int)std::lround(size) + 1, 1, QWIDGETSIZE_MAX);
}

void apply_size_limits(WindowData* data)
{
	QWidget* widget = data->widget.data();
	if (widget == nullptr)
		return;
	if ((data->flags & B_NOT_RESIZABLE) != 0) {
		widget->setFixedSize(widget->size());
		return;
	}
	QSize minimum(to_pixels(data->minWidth), to_pixels(data->minHeight));
	QSize maximum(to_pixels(data->maxWidth), to_pixels(data->maxHeight));
	if ((data->flags & B_NOT_H_RESIZABLE) != 0) {
		minimum.setWidth(widget->width());
		maximum.setWidth(widget->width());
	}
	if ((data->flags & B_NOT_V_RESIZABLE) != 0) {
		minimum.setHeight(widget->height());
		maximum.setHeight(widget->height());
	}
	widget->setMinimumSize(minimum);
	widget->setMaximumSize(maximum);
}

Qt::WindowFlags qt_flags(window_look look, window_feel feel, uint32 flags)
{
	Qt::WindowFlags result = Qt::Window;
	switch (look) {
	case B_MODAL_WINDOW_LOOK:
		result = Qt::Dialog;
		break;
	case B_FLOATING_WINDOW_LOOK:
		result = Qt::Tool;
		break;
	case B_NO_BORDER_WINDOW_LOOK:
	case B_BORDERED_WINDOW_LOOK:
		result |= Qt::FramelessWindowHint;
		break;
	default:
		break;
	}
	if (feel == B_FLOATING_ALL_WINDOW_FEEL)
		result |= Qt::WindowStaysOnTopHint;
	if ((result & Qt::FramelessWindowHint) == 0) {
		result |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint;
		if ((flags & B_NOT_CLOSABLE) == 0)
			result |= Qt::WindowCloseButtonHint;
		if ((flags & B_NOT_MINIMIZABLE) == 0)
			result |= Qt::WindowMinimizeButtonHint;
		if ((flags & (B_NOT_ZOOMABLE | B_NOT_RESIZABLE)) == 0)
			result |= Qt::WindowMaximizeButtonHint;
	}
	return result;
}

void window_type_to_look_feel(window_type type, window_look* look, window_feel* feel)
{
	*feel = B_NORMAL_WINDOW_FEEL;
	switch (type) {
	case B_MODAL_WINDOW:
		*look = B_MODAL_WINDOW_LOOK;
		*feel = B_MODAL_APP_WINDOW_FEEL;
		break;
	case B_DOCUMENT_WINDOW:
		*look = B_DOCUMENT_WINDOW_LOOK;
		break;
	case B_BORDERED_WINDOW:
		*look = B_BORDERED_WINDOW_LOOK;
		break;
	case B_FLOATING_WINDOW:
		*look = B_FLOATING_WINDOW_LOOK;
		*feel = B_FLOATING_APP_WINDOW_FEEL;
		break;
	default:
		*look = B_TITLED_WINDOW_LOOK;
		break;
	}
}

} // namespace

} // namespace BPrivate

using BPrivate::ViewAccess;
using BPrivate::WindowAccess;

BWindow::BWindow(BRect frame, const char* title, window_look look, window_feel feel, uint32 flags,
                 uint32 workspace)
    : BLooper(title, BPrivate::kGuiThread), mData(std::make_unique<BPrivate::WindowData>())
{
	(void)workspace;
	_Init(frame, title, look, feel, flags);
}

BWindow::BWindow(BRect frame, const char* title, window_type type, uint32 flags, uint32 workspace)
    : BLooper(title, BPrivate::kGuiThread), mData(std::make_unique<BPrivate::WindowData>())
{
	(void)workspace;
	window_look look;
	window_feel feel;
	BPrivate::window_type_to_look_feel(type, &look, &feel);
	_Init(frame, title, look, feel, flags);
}

void BWindow::_Init(BRect frame, const char* title, window_look look, window_feel feel,
                    uint32 flags)
{
	BPrivate::use_widget_application();
	mData->title = title != nullptr ? title : "";
	mData->look = look;
	mData->feel = feel;
	mData->flags = flags;
	frame = BPrivate::bounded_window_frame(frame);

	// Windows end through QuitRequested(), and the application through its
	// own quit path; Qt must not end the event loop when a window hides.
	QApplication::setQuitOnLastWindowClosed(false);
	BPrivate::install_shortcut_filter();
	BPrivate::install_layer_style();
	BPrivate::install_program_icon();

	BPrivate::WindowWidget* widget = new BPrivate::WindowWidget(this);
	mData->widget = widget;
	widget->setWindowFlags(BPrivate::qt_flags(look, feel, flags));
	widget->setWindowTitle(QString::fromUtf8(mData->title.c_str()));
	if (feel == B_MODAL_APP_WINDOW_FEEL || feel == B_MODAL_ALL_WINDOW_FEEL)
		widget->setWindowModality(Qt::ApplicationModal);
	widget->setAttribute(Qt::WA_DeleteOnClose, false);

	BRect bounds(0, 0, std::max(0.0f, frame.Width()), std::max(0.0f, frame.Height()));
	mData->topView = new BView(bounds, "_top_view_", B_FOLLOW_ALL_SIDES, 0);
	ViewAccess::SetTopView(mData->topView);
	ViewAccess::SetNativeWidget(mData->topView, widget);
	widget->setGeometry(BPrivate::to_qrect(frame));
	BPrivate::apply_size_limits(mData.get());
	ViewAccess::AttachTopView(mData->topView, this);

	BPrivate::register_window(this, this);
	BPrivate::set_window_title(this, mData->title.c_str());
}

BWindow::~BWindow()
{
	BPrivate::unregister_window(this);
	if (mData->widget)
		mData->widget->hide();
	ViewAccess::DetachTopView(mData->topView);
	// Deletes every view and, last, the window's widget.
	delete mData->topView;
}

void BWindow::Quit()
{
	BPrivate::on_gui(mData->widget, [](QWidget* widget) { widget->hide(); });
	BLooper::Quit();
}

void BWindow::AddChild(BView* child, BView* before)
{
	mData->topView->AddChild(child, before);
}

bool BWindow::RemoveChild(BView* child)
{
	return mData->topView->RemoveChild(child);
}

int32 BWindow::CountChildren() const
{
	return mData->topView->CountChildren();
}

BView* BWindow::ChildAt(int32 index) const
{
	return mData->topView->ChildAt(index);
}

BView* BWindow::FindView(const char* name) const
{
	if (name == nullptr)
		return nullptr;
	for (int32 i = 0; i < mData->topView->CountChildren(); i++) {
		if (BView* found = mData->topView->ChildAt(i)->FindView(name))
			return found;
	}
	return nullptr;
}

BView* BWindow::CurrentFocus() const
{
	if (!mData->widget)
		return nullptr;
	QWidget* focus = mData->widget->focusWidget();
	if (focus == nullptr || focus == mData->widget)
		return nullptr;
	BView* view = ViewAccess::ViewForWidget(focus);
	return view == mData->topView ? nullptr : view;
}

void BWindow::DispatchMessage(BMessage* message, BHandler* handler)
{
	if (message == nullptr)
		return;
	BView* view = dynamic_cast<BView*>(handler);
	switch (message->what) {
	case B_KEY_DOWN: {
		int32 modifiers = 0;
		message->FindInt32("modifiers", &modifiers);
		const char* bytes = nullptr;
		if (message->FindString("bytes", &bytes) != B_OK || bytes == nullptr)
			break;
		if ((modifiers & B_COMMAND_KEY) != 0 && std::strlen(bytes) == 1) {
			BMenuItem* item = WindowAccess::FindShortcut(this, (uint8)bytes[0], (uint32)modifiers);
			if (item != nullptr) {
				BPrivate::MenuAccess::InvokeFromShortcut(item);
				break;
			}
		}
		if (view == nullptr && (handler == nullptr || handler == this))
			view = CurrentFocus();
		// A key for no view (none has the focus, or it was meant for another
		// handler) is a message like any other to its handler.
		if (view != nullptr)
			view->KeyDown(bytes, (int32)std::strlen(bytes));
		else
			(handler != nullptr ? handler : this)->MessageReceived(message);
		break;
	}
	case B_KEY_UP: {
		const char* bytes = nullptr;
		if (view != nullptr && message->FindString("bytes", &bytes) == B_OK && bytes != nullptr)
			view->KeyUp(bytes, (int32)std::strlen(bytes));
		break;
	}
	case B_MOUSE_DOWN: {
		BPoint where;
		if (view != nullptr && message->FindPoint("where", &where) == B_OK)
			view->MouseDown(where);
		break;
	}
	case B_MOUSE_UP: {
		BPoint where;
		if (view != nullptr && message->FindPoint("where", &where) == B_OK)
			view->MouseUp(where);
		break;
	}
	case B_WINDOW_RESIZED: {
		float width = 0;
		float height = 0;
		if (message->FindFloat("width", &width) == B_OK &&
		    message->FindFloat("height", &height) == B_OK) {
			FrameResized(width, height);
		}
		break;
	}
	case B_WINDOW_MOVED: {
		BPoint where;
		if (message->FindPoint("where", &where) == B_OK)
			FrameMoved(where);
		break;
	}
	case B_WINDOW_ACTIVATED: {
		bool active = false;
		if (message->FindBool("active", &active) == B_OK) {
			WindowActivated(active);
			_NotifyActivated(mData->topView, active);
		}
		break;
	}
	case B_QUIT_REQUESTED:
		if (handler == this || handler == nullptr) {
			if (QuitRequested()) {
				if ((mData->flags & B_QUIT_ON_WINDOW_CLOSE) != 0 && be_app != nullptr)
					be_app->PostMessage(B_QUIT_REQUESTED);
				Quit();
			}
			break;
		}
		BLooper::DispatchMessage(message, handler);
		break;
	default:
		BLooper::DispatchMessage(message, handler);
		break;
	}
}

void BWindow::_NotifyActivated(BView* view, bool active)
{
	for (int32 i = 0; i < view->CountChildren(); i++) {
		BView* child = view->ChildAt(i);
		child->WindowActivated(active);
		_NotifyActivated(child, active);
	}
}

void BWindow::FrameMoved(BPoint) {}
void BWindow::FrameResized(float, float) {}
void BWindow::WindowActivated(bool) {}

bool BWindow::QuitRequested()
{
	return true;
}

void BWindow::Minimize(bool minimize)
{
	mData->minimized = minimize;
	bool hidden = IsHidden();
	BPrivate::on_gui(mData->widget, [minimize, hidden](QWidget* widget) {
		if (minimize)
			widget->showMinimized();
		else if (!hidden)
			widget->showNormal();
	});
}

void BWindow::Show()
{
	mData->showLevel--;
	if (mData->showLevel == 0) {
		bool minimized = mData->minimized;
		BPrivate::on_gui(mData->widget, [minimized](QWidget* widget) {
			if (minimized)
				widget->showMinimized();
			else
				widget->show();
		});
	}
	// The first Show() starts the message loop; the constructor left the
	// window locked for its creator, and Run() unlocks it.
	if (!IsRunning()) {
		if (LockingThread() != find_thread(nullptr))
			Lock();
		Run();
	}
}

void BWindow::Hide()
{
	mData->showLevel++;
	if (mData->showLevel == 1)
		BPrivate::on_gui(mData->widget, [](QWidget* widget) { widget->hide(); });
}

bool BWindow::IsHidden() const
{
	return mData->showLevel > 0;
}

bool BWindow::IsMinimized() const
{
	return mData->minimized;
}

bool BWindow::IsActive() const
{
	return mData->widget && mData->widget->isActiveWindow();
}

void BWindow::Activate(bool active)
{
	if (!active)
		return;
	BPrivate::on_gui(mData->widget, [](QWidget* widget) {
		widget->raise();
		widget->activateWindow();
	});
}

const char* BWindow::Title() const
{
	return mData->title.c_str();
}

void BWindow::SetTitle(const char* title)
{
	mData->title = title != nullptr ? title : "";
	QString text = QString::fromUtf8(mData->title.c_str());
	BPrivate::on_gui(mData->widget, [text](QWidget* widget) { widget->setWindowTitle(text); });
	SetName(mData->title.c_str());
	BPrivate::set_window_title(this, mData->title.c_str());
}

window_look BWindow::Look() const
{
	return mData->look;
}

window_feel BWindow::Feel() const
{
	return mData->feel;
}

uint32 BWindow::Flags() const
{
	return mData->flags;
}

BRect BWindow::Frame() const
{
	if (!mData->widget)
		return BRect();
	return BPrivate::to_brect(mData->widget->geometry());
}

BRect BWindow::Bounds() const
{
	return mData->topView->Bounds();
}

void BWindow::MoveTo(BPoint where)
{
	MoveTo(where.x, where.y);
}

void BWindow::MoveTo(float x, float y)
{
	BRect frame = Frame();
	frame.OffsetTo(x, y);
	frame = BPrivate::bounded_window_frame(frame, mData->widget);
	QPoint where((int)std::lround(frame.left), (int)std::lround(frame.top));
	BPrivate::on_gui(mData->widget, [where](QWidget* widget) {
		QRect geometry = widget->geometry();
		geometry.moveTo(where);
		widget->setGeometry(geometry);
	});
}

void BWindow::MoveBy(float dx, float dy)
{
	BRect frame = Frame();
	MoveTo(frame.left + dx, frame.top + dy);
}

void BWindow::ResizeTo(float width, float height)
{
	width = std::clamp(width, mData->minWidth, std::max(mData->minWidth, mData->maxWidth));
	height = std::clamp(height, mData->minHeight, std::max(mData->minHeight, mData->maxHeight));
	if (!mData->widget)
		return;
	// No larger than the screen's area, and moved in where the new size
	// would stick out of it.
	const BRect before = Frame();
	const BRect bounded = BPrivate::bounded_window_frame(
	    BRect(before.left, before.top, before.left + width, before.top + height), mData->widget);
	width = bounded.Width();
	height = bounded.Height();
	if (bounded.LeftTop() != before.LeftTop())
		mData->widget->move((int)std::lround(bounded.left), (int)std::lround(bounded.top));
	QSize size(std::max(1, (int)std::lround(width) + 1), std::max(1, (int)std::lround(height) + 1));
	if ((mData->flags & B_NOT_RESIZABLE) != 0)
		mData->widget->setFixedSize(size);
	else
		mData->widget->resize(size);
	// Lay the views out now: a hidden widget gets its resize event only
	// when it is shown.
	ViewAccess::SetFrame(mData->topView, BRect(0, 0, size.width() - 1, size.height() - 1));
}

void BWindow::ResizeBy(float dw, float dh)
{
	BRect bounds = Bounds();
	ResizeTo(bounds.Width() + dw, bounds.Height() + dh);
}

void BWindow::CenterOnScreen()
{
	if (!mData->widget)
		return;
	QScreen* screen = mData->widget->screen();
	if (screen == nullptr)
		return;
	QRect area = screen->availableGeometry();
	QRect geometry = mData->widget->geometry();
	geometry.moveCenter(area.center());
	mData->widget->setGeometry(geometry);
}

void BWindow::SetSizeLimits(float minWidth, float maxWidth, float minHeight, float maxHeight)
{
	// Nonsense limits (negative, or a maximum below the minimum) are
	// mended rather than handed to the window system.
	mData->minWidth = std::max(0.0f, minWidth);
	mData->maxWidth = std::max(mData->minWidth, maxWidth);
	mData->minHeight = std::max(0.0f, minHeight);
	mData->maxHeight = std::max(mData->minHeight, maxHeight);
	BPrivate::apply_size_limits(mData.get());
	BRect bounds = Bounds();
	float width = std::clamp(bounds.Width(), mData->minWidth, mData->maxWidth);
	float height = std::clamp(bounds.Height(), mData->minHeight, mData->maxHeight);
	if (width != bounds.Width() || height != bounds.Height())
		ResizeTo(width, height);
}

void BWindow::GetSizeLimits(float* minWidth, float* maxWidth, float* minHeight,
                            float* maxHeight) const
{
	if (minWidth != nullptr)
		*minWidth = mData->minWidth;
	if (maxWidth != nullptr)
		*maxWidth = mData->maxWidth;
	if (minHeight != nullptr)
		*minHeight = mData->minHeight;
	if (maxHeight != nullptr)
		*maxHeight = mData->maxHeight;
}

void BWindow::UpdateIfNeeded()
{
	if (mData->widget && mData->widget->isVisible())
		mData->widget->repaint();
}

void BWindow::SetDefaultButton(BButton* button)
{
	BButton* old = mData->defaultButton;
	mData->defaultButton = button;
	if (old != nullptr && old != button)
		old->MakeDefault(false);
	if (button != nullptr && !button->IsDefault())
		button->MakeDefault(true);
}

BButton* BWindow::DefaultButton() const
{
	return mData->defaultButton;
}

BMenuBar* BWindow::KeyMenuBar() const
{
	return mData->keyMenuBar;
}

void BWindow::SetKeyMenuBar(BMenuBar* bar)
{
	mData->keyMenuBar = bar;
}
