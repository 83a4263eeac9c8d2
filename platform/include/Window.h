// A top-level window: a looper whose messages are dispatched on the GUI
// thread, holding a tree of views.
//
// Coordinates: Frame() is the content area (without the window manager's
// border and tab) in screen coordinates, inclusive; Bounds() is the same
// area at the origin. A window of frame (50, 50, 500, 400) has 451 x 351
// pixels of content.
//
// Ownership and life: the window owns its views. Quit() hides the window
// and deletes it (after the current dispatch when called on the GUI thread).
// Clicking the close box posts B_QUIT_REQUESTED to the window; when
// QuitRequested() agrees, the window quits.
//
// Threads: every message is dispatched on the GUI thread, one at a time,
// with the window locked. Lock() works from any thread and nests.
#ifndef _WINDOW_H
#define _WINDOW_H

#include <memory>

#include "InterfaceDefs.h"
#include "Looper.h"
#include "Point.h"
#include "Rect.h"

class BButton;
class BMenuBar;
class BMessage;
class BView;

namespace BPrivate {
class WindowAccess;
struct WindowData;
} // namespace BPrivate

enum window_type {
	B_UNTYPED_WINDOW = 0,
	B_TITLED_WINDOW = 1,
	B_MODAL_WINDOW = 3,
	B_DOCUMENT_WINDOW = 11,
	B_BORDERED_WINDOW = 20,
	B_FLOATING_WINDOW = 21,
};

enum window_look {
	B_BORDERED_WINDOW_LOOK = 20,
	B_NO_BORDER_WINDOW_LOOK = 19,
	B_TITLED_WINDOW_LOOK = 1,
	B_DOCUMENT_WINDOW_LOOK = 11,
	B_MODAL_WINDOW_LOOK = 3,
	B_FLOATING_WINDOW_LOOK = 7,
};

enum window_feel {
	B_NORMAL_WINDOW_FEEL = 0,
	B_MODAL_SUBSET_WINDOW_FEEL = 2,
	B_MODAL_APP_WINDOW_FEEL = 1,
	B_MODAL_ALL_WINDOW_FEEL = 3,
	B_FLOATING_SUBSET_WINDOW_FEEL = 5,
	B_FLOATING_APP_WINDOW_FEEL = 4,
	B_FLOATING_ALL_WINDOW_FEEL = 6,
};

// Window flags.
enum {
	B_NOT_MOVABLE = 0x00000001,
	B_NOT_RESIZABLE = 0x00000002,
	B_NOT_CLOSABLE = 0x00000020,
	B_NOT_ZOOMABLE = 0x00000040,
	B_AVOID_FRONT = 0x00000080,
	B_WILL_ACCEPT_FIRST_CLICK = 0x00000010,
	B_NO_WORKSPACE_ACTIVATION = 0x00000100,
	B_OUTLINE_RESIZE = 0x00001000,
	B_AVOID_FOCUS = 0x00002000,
	B_NOT_MINIMIZABLE = 0x00004000,
	B_NOT_H_RESIZABLE = 0x00008000,
	B_NOT_V_RESIZABLE = 0x00010000,
	B_NOT_ANCHORED_ON_ACTIVATE = 0x00020000,
	B_ASYNCHRONOUS_CONTROLS = 0x00080000,
	B_QUIT_ON_WINDOW_CLOSE = 0x00100000,
	B_AUTO_UPDATE_SIZE_LIMITS = 0x00200000,
};

const uint32 B_CURRENT_WORKSPACE = 0;
const uint32 B_ALL_WORKSPACES = 0xffffffff;

class BWindow : public BLooper
{
public:
	BWindow(BRect frame, const char* title, window_look look, window_feel feel, uint32 flags,
	        uint32 workspace = B_CURRENT_WORKSPACE);
	BWindow(BRect frame, const char* title, window_type type, uint32 flags,
	        uint32 workspace = B_CURRENT_WORKSPACE);
	virtual ~BWindow();

	// Hides the window and deletes it; the caller must hold the lock. On
	// the GUI thread inside a dispatch, the deletion waits until the
	// dispatch returns.
	virtual void Quit();

	// The view tree under the window's top view.
	void AddChild(BView* child, BView* before = nullptr);
	bool RemoveChild(BView* child);
	int32 CountChildren() const;
	BView* ChildAt(int32 index) const;
	BView* FindView(const char* name) const;
	// The view with the keyboard focus, or nullptr.
	BView* CurrentFocus() const;

	// Hooks.
	virtual void DispatchMessage(BMessage* message, BHandler* handler);
	virtual void MessageReceived(BMessage* message);
	virtual void FrameMoved(BPoint newPosition);
	virtual void FrameResized(float newWidth, float newHeight);
	virtual void WindowActivated(bool active);
	virtual bool QuitRequested();
	virtual void Minimize(bool minimize);

	// Scripting: the window suite ("suite/vnd.Be-window": Title, Frame,
	// Hidden, Active, Look, Feel, Flags, MenuBar, View), then the
	// looper's. Answered on the window's thread.
	virtual BHandler* ResolveSpecifier(BMessage* message, int32 index, BMessage* specifier,
	                                   int32 form, const char* property);
	virtual status_t GetSupportedSuites(BMessage* data);

	virtual void Show();
	virtual void Hide();
	bool IsHidden() const;
	bool IsMinimized() const;
	bool IsActive() const;
	void Activate(bool active = true);

	const char* Title() const;
	void SetTitle(const char* title);
	window_look Look() const;
	window_feel Feel() const;
	uint32 Flags() const;

	BRect Frame() const;
	BRect Bounds() const;
	void MoveTo(BPoint where);
	void MoveTo(float x, float y);
	void MoveBy(float dx, float dy);
	// Width and height as in BRect (pixels - 1); clamped to the size limits.
	void ResizeTo(float width, float height);
	void ResizeBy(float dw, float dh);
	void CenterOnScreen();
	// Limits on Bounds().Width() and Height(); the window keeps inside them
	// whoever resizes it.
	void SetSizeLimits(float minWidth, float maxWidth, float minHeight, float maxHeight);
	void GetSizeLimits(float* minWidth, float* maxWidth, float* minHeight, float* maxHeight) const;

	// Draws what needs drawing now.
	void UpdateIfNeeded();

	void SetDefaultButton(BButton* button);
	BButton* DefaultButton() const;
	// The menu bar whose shortcuts the window answers; by default the
	// first menu bar added.
	BMenuBar* KeyMenuBar() const;
	void SetKeyMenuBar(BMenuBar* bar);

private:
	friend class BPrivate::WindowAccess;

	BWindow(const BWindow&) = delete;
	BWindow& operator=(const BWindow&) = delete;
	void _Init(BRect frame, const char* title, window_look look, window_feel feel, uint32 flags);
	void _NotifyActivated(BView* view, bool active);

	std::unique_ptr<BPrivate::WindowData> mData;
};

#endif // _WINDOW_H
