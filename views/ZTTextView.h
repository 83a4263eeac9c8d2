// The editor's base text view: keeps its text rectangle fitted to its
// bounds while it wraps, and steps through the text by lines.
#ifndef _ZT_TEXT_VIEW_H
#define _ZT_TEXT_VIEW_H

#include "TextView.h"

class ZTTextView : public BTextView
{
public:
	ZTTextView(BRect frame, const char* name, BRect textRect, uint32 resizingMode, uint32 flags);
	virtual ~ZTTextView();

	virtual void FrameResized(float width, float height);

	// The offset where the line (paragraph) after the one holding visual
	// line `line` starts, or the text length when no line feed follows.
	int32 NextLineOffset(int32 line);
};

#endif // _ZT_TEXT_VIEW_H
