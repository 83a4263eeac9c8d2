// The state behind a BView. Layer-internal.
#ifndef _VIEW_DATA_H
#define _VIEW_DATA_H

#include <QPointer>
#include <QWidget>

#include <string>
#include <vector>

#include "View.h"

class QPainter;

namespace BPrivate {

struct ViewData
{
	QPointer<QWidget> widget;
	QPointer<QWidget> container; // where children go; nullptr: widget
	BRect frame;
	BView* parent = nullptr;
	BWindow* window = nullptr;
	std::vector<BView*> children;
	uint32 resizingMode = 0;
	uint32 flags = 0;
	int32 hideLevel = 0;
	// The window's top view follows the window; it never moves its
	// (top-level) widget itself.
	bool isTopView = false;

	rgb_color viewColor = {255, 255, 255, 255};
	std::string toolTip;
	rgb_color highColor = {0, 0, 0, 255};
	rgb_color lowColor = {255, 255, 255, 255};
	BFont font;
	BPoint pen;
	float penSize = 1.0f;
	drawing_mode drawingMode = B_OP_COPY;
	std::vector<QPainter*> painters;
};

} // namespace BPrivate

#endif // _VIEW_DATA_H
