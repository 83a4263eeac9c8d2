// The state behind a BWindow and the layer's access to it. Layer-internal.
#ifndef _WINDOW_PRIVATE_H
#define _WINDOW_PRIVATE_H

#include <QPointer>
#include <QWidget>

#include <string>

#include "Window.h"

class BMenuItem;

namespace BPrivate {

class WindowWidget;

struct WindowData
{
	QPointer<WindowWidget> widget;
	BView* topView = nullptr;
	std::string title;
	window_look look = B_TITLED_WINDOW_LOOK;
	window_feel feel = B_NORMAL_WINDOW_FEEL;
	uint32 flags = 0;
	float minWidth = 0.0f;
	float maxWidth = 32768.0f;
	float minHeight = 0.0f;
	float maxHeight = 32768.0f;
	int32 showLevel = 1; // hidden while above 0; Show() and Hide() nest
	bool minimized = false;
	BMenuBar* keyMenuBar = nullptr;
	BButton* defaultButton = nullptr;
};

class WindowAccess
{
public:
	static BView* TopView(const BWindow* window);
	static QWidget* Widget(const BWindow* window);
	// The window whose widget holds the given widget, or nullptr.
	static BWindow* WindowForWidget(const QWidget* widget);
	// Forgets references to a view that leaves the window.
	static void ViewDetached(BWindow* window, BView* view);
	// Lays the views out for the window's present widget size.
	static void WidgetResized(BWindow* window);
	// The enabled item of the key menu bar with the shortcut (a character,
	// any case) and modifiers (besides the command key), or nullptr.
	static BMenuItem* FindShortcut(const BWindow* window, uint32 key, uint32 modifiers);
};

// Lets Ctrl-key presses that match a menu shortcut reach the window first
// (installed once on the Qt application).
void install_shortcut_filter();
// The application's widget style (LayerStyle.cpp); once, before the first
// window is built.
void install_layer_style();
// frame made to fit the available area of its screen (the primary one when
// it is on none), moved in as far as needed; no side beyond that area.
// Every frame a window takes goes through it: from code, scripts or
// settings files alike. frame is the content area; with the window's widget
// given, the border the window system draws around it must fit too.
BRect bounded_window_frame(BRect frame, const QWidget* window = nullptr);

} // namespace BPrivate

#endif // _WINDOW_PRIVATE_H
