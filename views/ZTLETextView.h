// The editor's locale text view: colours comments as the text changes.
// From a ';' to the end of its line the text is Red, everything else Black.
#ifndef _ZTLE_TEXT_VIEW_H
#define _ZTLE_TEXT_VIEW_H

#include <functional>

#include "GraphicsDefs.h"
#include "ZTTextView.h"

class ZTLETextView : public ZTTextView
{
public:
	ZTLETextView(BRect frame, const char* name, BRect textRect, uint32 resizingMode, uint32 flags);
	virtual ~ZTLETextView();

	// Text outside comments, and comments.
	static const rgb_color Black;
	static const rgb_color Red;

	// Recolours from the start of the line (paragraph) holding start up to
	// end (exclusive).
	void SyntaxHighlighting(int32 start, int32 end);

	// Called after every change of the text, whatever made it (typing,
	// paste, undo, program calls), with the offset where it happened: the
	// window's one notice of a change, for its status line and its unsaved
	// mark.
	void SetChangeHook(std::function<void(int32 offset)> hook) { mChangeHook = std::move(hook); }

protected:
	virtual void InsertText(const char* text, int32 length, int32 offset,
	                        const text_run_array* runs);
	virtual void DeleteText(int32 from, int32 to);

private:
	// Whether text inserted at offset lies inside a comment, by the colour
	// of the byte before it (line feeds are Black).
	bool _RedBefore(int32 offset);
	void _Colour(int32 from, int32 to, const rgb_color& color);
	// Colours from i, outside any comment, up to end by the rule.
	void _Highlight(int32 i, int32 end);
	int32 _LineStart(int32 offset);
	int32 _LineEnd(int32 offset);

	std::function<void(int32 offset)> mChangeHook;
};

#endif // _ZTLE_TEXT_VIEW_H
