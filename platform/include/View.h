// A rectangular area of a window that draws and takes input; views form a
// tree under the window.
//
// Coordinates: a frame is in the parent's coordinates, with the inclusive
// BRect of the framework. A view of frame (0, 0, 450, 350) covers 451 x 351
// pixels; its Bounds() are (0, 0, 450, 350); Width() is right - left.
//
// Ownership: a parent owns its children and deletes them with itself;
// RemoveChild() hands a child back to the caller. A window owns its views.
//
// Threads: touch a view only on its window's thread (the GUI thread) or with
// the window locked.
#ifndef _VIEW_H
#define _VIEW_H

#include <memory>

#include "Font.h"
#include "GraphicsDefs.h"
#include "Handler.h"
#include "InterfaceDefs.h"
#include "Point.h"
#include "Rect.h"

class BBitmap;
class BMessage;
class BWindow;

namespace BPrivate {
class ViewAccess;
struct ViewData;
} // namespace BPrivate

// View flags.
enum {
	B_FULL_UPDATE_ON_RESIZE = 0x80000000UL,
	B_WILL_DRAW = 0x20000000UL,
	B_PULSE_NEEDED = 0x10000000UL,
	B_NAVIGABLE_JUMP = 0x08000000UL,
	B_FRAME_EVENTS = 0x04000000UL,
	B_NAVIGABLE = 0x02000000UL,
	B_SUBPIXEL_PRECISE = 0x01000000UL,
	B_DRAW_ON_CHILDREN = 0x00800000UL,
	B_INPUT_METHOD_AWARE = 0x00400000UL,
};

// Mouse buttons (field "buttons" of mouse messages).
enum {
	B_PRIMARY_MOUSE_BUTTON = 0x01,
	B_SECONDARY_MOUSE_BUTTON = 0x02,
	B_TERTIARY_MOUSE_BUTTON = 0x04,
};

class BView : public BHandler
{
public:
	BView(BRect frame, const char* name, uint32 resizingMode, uint32 flags);
	virtual ~BView();

	// The tree. AddChild() with before == nullptr appends. Adding a view that
	// already has a parent does nothing.
	virtual void AddChild(BView* child, BView* before = nullptr);
	virtual bool RemoveChild(BView* child);
	int32 CountChildren() const;
	BView* ChildAt(int32 index) const;
	BView* NextSibling() const;
	BView* PreviousSibling() const;
	bool RemoveSelf();
	BView* Parent() const;
	BWindow* Window() const;
	// This view or the first descendant (depth first) with the name.
	BView* FindView(const char* name) const;

	// Hooks.
	virtual void AttachedToWindow();
	virtual void AllAttached();
	virtual void DetachedFromWindow();
	virtual void AllDetached();
	// Called whenever the view's size changes, with the new Bounds() width
	// and height.
	virtual void FrameResized(float newWidth, float newHeight);
	virtual void FrameMoved(BPoint newPosition);
	virtual void Draw(BRect updateRect);
	virtual void MouseDown(BPoint where);
	virtual void MouseUp(BPoint where);
	// The default hands the key to the parent view; from the window's top
	// level, the window's MessageReceived gets the B_KEY_DOWN being
	// dispatched. A view that uses a key does not call it for that key.
	virtual void KeyDown(const char* bytes, int32 numBytes);
	virtual void KeyUp(const char* bytes, int32 numBytes);
	virtual void MakeFocus(bool focus = true);
	bool IsFocus() const;
	virtual void WindowActivated(bool active);
	// Answers the view suite; see ResolveSpecifier.
	virtual void MessageReceived(BMessage* message);

	// Scripting: the view suite ("suite/vnd.Be-view": Frame, Hidden, View
	// by index, reverse index or name, count of View), then the handler's.
	virtual BHandler* ResolveSpecifier(BMessage* message, int32 index, BMessage* specifier,
	                                   int32 form, const char* property);
	virtual status_t GetSupportedSuites(BMessage* data);

	uint32 Flags() const;
	virtual void SetFlags(uint32 flags);
	uint32 ResizingMode() const;
	virtual void SetResizingMode(uint32 mode);

	// Geometry.
	BRect Bounds() const;
	BRect Frame() const;
	void MoveTo(BPoint where);
	void MoveTo(float x, float y);
	void MoveBy(float dx, float dy);
	void ResizeTo(float width, float height);
	void ResizeBy(float dw, float dh);
	void ConvertToScreen(BPoint* point) const;
	BPoint ConvertToScreen(BPoint point) const;
	BRect ConvertToScreen(BRect rect) const;
	void ConvertFromScreen(BPoint* point) const;
	BPoint ConvertFromScreen(BPoint point) const;
	BPoint ConvertToParent(BPoint point) const;
	BRect ConvertToParent(BRect rect) const;

	void Invalidate();
	void Invalidate(BRect rect);
	virtual void Hide();
	virtual void Show();
	// True when the view or one of its ancestors is hidden.
	bool IsHidden() const;

	// Colours and font.
	// The text shown when the pointer rests on the view; "" for none. (The
	// framework hands out a BToolTip object; its text is all this layer
	// keeps.)
	void SetToolTip(const char* text);
	const char* ToolTipText() const;

	virtual void SetViewColor(rgb_color color);
	void SetViewColor(uint8 red, uint8 green, uint8 blue, uint8 alpha = 255);
	rgb_color ViewColor() const;
	virtual void SetHighColor(rgb_color color);
	void SetHighColor(uint8 red, uint8 green, uint8 blue, uint8 alpha = 255);
	rgb_color HighColor() const;
	virtual void SetLowColor(rgb_color color);
	void SetLowColor(uint8 red, uint8 green, uint8 blue, uint8 alpha = 255);
	rgb_color LowColor() const;
	virtual void SetFont(const BFont* font, uint32 mask = B_FONT_ALL);
	void SetFontSize(float size);
	void GetFont(BFont* font) const;
	void GetFontHeight(font_height* height) const;
	float StringWidth(const char* string) const;
	float StringWidth(const char* string, int32 length) const;

	// Drawing. These draw only while the view is being drawn (inside Draw(),
	// or DrawContent() of a menu item); elsewhere they only move the pen.
	void SetDrawingMode(drawing_mode mode);
	drawing_mode DrawingMode() const;
	void MovePenTo(BPoint where);
	void MovePenTo(float x, float y);
	void MovePenBy(float dx, float dy);
	BPoint PenLocation() const;
	void SetPenSize(float size);
	float PenSize() const;
	// The bitmap's top-left corner at the pen (or at where); B_OP_OVER lets
	// transparent pixels show what is below, B_OP_COPY paints them opaque.
	void DrawBitmap(const BBitmap* bitmap);
	void DrawBitmap(const BBitmap* bitmap, BPoint where);
	void DrawBitmap(const BBitmap* bitmap, BRect destination);
	// The pen is on the baseline at the start of the text; it ends at the
	// end of the text.
	void DrawString(const char* string);
	void DrawString(const char* string, int32 length);
	void DrawString(const char* string, BPoint where);
	void FillRect(BRect rect, pattern fill = B_SOLID_HIGH);
	void StrokeRect(BRect rect, pattern stroke = B_SOLID_HIGH);
	// From the pen to end; the pen ends at end.
	void StrokeLine(BPoint end, pattern stroke = B_SOLID_HIGH);
	void StrokeLine(BPoint start, BPoint end, pattern stroke = B_SOLID_HIGH);
	void Sync() const;
	void Flush() const;

private:
	friend class BWindow;
	friend class BPrivate::ViewAccess;

	BView(const BView&) = delete;
	BView& operator=(const BView&) = delete;
	void _SetFrame(BRect frame, bool notifyMove);
	void _ParentResized(float dw, float dh);

	std::unique_ptr<BPrivate::ViewData> mData;
};

#endif // _VIEW_H
