// Layer-internal access to the Qt side of views. Subclasses of BView in the
// layer (text view, controls, menu bar, scroll view...) use it to put a
// widget of their own in place of the plain drawing widget, and to find the
// widget of any view.
//
// Geometry: a view of frame (l, t, r, b) has the Qt geometry
// QRect(l, t, r - l + 1, b - t + 1) in its parent's widget; the view keeps
// its float frame and is the only one that sets the widget's geometry.
#ifndef _VIEW_PRIVATE_H
#define _VIEW_PRIVATE_H

#include <QColor>
#include <QFont>
#include <QPointF>
#include <QRect>

#include "Font.h"
#include "GraphicsDefs.h"
#include "Point.h"
#include "Rect.h"

class BView;
class BWindow;
class QPainter;
class QWidget;

namespace BPrivate {

// A view drawn by its own Draw (a ViewWidget), not a native Qt control.
bool is_plain_widget(const QWidget* widget);

struct ViewData;

class ViewAccess
{
public:
	// The widget that shows the view.
	static QWidget* Widget(const BView* view);

	// Replaces the view's current widget by one of the subclass's own, for
	// example from the subclass's constructor. The view takes ownership,
	// deletes the old widget, moves its children over and applies its
	// frame, visibility, font and colours to the new one.
	static void SetNativeWidget(BView* view, QWidget* widget);

	// The widget into which child views are placed; by default Widget().
	static QWidget* ChildContainer(const BView* view);
	static void SetChildContainer(BView* view, QWidget* container);

	// The view that a widget belongs to: the view whose widget is the
	// given one or its nearest ancestor. nullptr when there is none.
	static BView* ViewForWidget(const QWidget* widget);

	// The painter of the view while it is being drawn, else nullptr.
	static QPainter* Painter(const BView* view);
	// Lets the view's drawing calls paint with painter until EndDraw();
	// calls nest (the previous painter comes back).
	static void BeginDraw(const BView* view, QPainter* painter);
	static void EndDraw(const BView* view);

	// For BWindow: its top view, whose widget is the window's own.
	static void SetTopView(BView* view);
	static void AttachTopView(BView* view, BWindow* window);
	static void DetachTopView(BView* view);
	// Sets the frame and lays the children out, without FrameMoved().
	static void SetFrame(BView* view, BRect frame);
	static ViewData* Data(const BView* view);
};

class FontAccess
{
public:
	// Empty for the system's default family.
	static const char* RawFamily(const BFont& font);
	// Family, face and spacing, without checking the family exists.
	static void CopyFamilyAndStyle(BFont& target, const BFont& source);
};

// Inclusive BRect <-> pixel QRect.
QRect to_qrect(BRect rect);
BRect to_brect(const QRect& rect);
QPointF to_qpoint(BPoint point);
QColor to_qcolor(rgb_color color);
rgb_color to_rgb(const QColor& color);
// The Qt font for a BFont; sizes are pixels.
QFont to_qfont(const BFont& font);

} // namespace BPrivate

#endif // _VIEW_PRIVATE_H
