// Where a window may be and how large: on a screen, within its available
// area. A frame from a script or a settings file is outside input: a window
// of 100000 pixels square costs gigabytes of backing store, and one at
// 50000,50000 is on no screen at all.
#include <algorithm>
#include <cmath>

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "Rect.h"
#include "WindowPrivate.h"

namespace BPrivate {

namespace {

// Beyond any screen made, for when the platform tells of none.
const float kMaxWindowSide = 16384;

// The screen the frame is on (by its top left corner), else the primary.
QRect available_area(const BRect& frame)
{
	QScreen* screen = nullptr;
	if (std::isfinite(frame.left) && std::isfinite(frame.top) && std::fabs(frame.left) < 1e6f &&
	    std::fabs(frame.top) < 1e6f)
		screen = QGuiApplication::screenAt(QPoint((int)frame.left, (int)frame.top));
	if (screen == nullptr)
		screen = QGuiApplication::primaryScreen();
	return screen != nullptr ? screen->availableGeometry() : QRect();
}

float finite_or(float value, float fallback)
{
	return std::isfinite(value) ? value : fallback;
}

} // namespace

BRect bounded_window_frame(BRect frame, const QWidget* window)
{
	// The window system's border, where it has drawn one already.
	QMargins border;
	if (window != nullptr && window->isWindow()) {
		const QRect inner = window->geometry();
		const QRect outer = window->frameGeometry();
		border = QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
		                  outer.right() - inner.right(), outer.bottom() - inner.bottom());
	}
	QRect area = available_area(frame);
	if (!area.isEmpty())
		area = area.marginsRemoved(border);
	// A BRect counts its right and bottom pixels: width + 1 pixels across.
	float maxWidth = kMaxWindowSide - 1;
	float maxHeight = kMaxWindowSide - 1;
	if (!area.isEmpty()) {
		maxWidth = std::min(maxWidth, (float)area.width() - 1);
		maxHeight = std::min(maxHeight, (float)area.height() - 1);
	}
	const float width =
	    std::clamp(finite_or(frame.right - frame.left, 0), 0.0f, std::max(0.0f, maxWidth));
	const float height =
	    std::clamp(finite_or(frame.bottom - frame.top, 0), 0.0f, std::max(0.0f, maxHeight));
	float left = finite_or(frame.left, (float)area.left());
	float top = finite_or(frame.top, (float)area.top());
	if (!area.isEmpty()) {
		left = std::clamp(left, (float)area.left(), (float)area.left() + maxWidth - width);
		top = std::clamp(top, (float)area.top(), (float)area.top() + maxHeight - height);
	} else {
		left = std::clamp(left, -kMaxWindowSide, kMaxWindowSide);
		top = std::clamp(top, -kMaxWindowSide, kMaxWindowSide);
	}
	return BRect(left, top, left + width, top + height);
}

} // namespace BPrivate
