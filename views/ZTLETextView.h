// The editor's locale text view: colours comments as the text changes.
// From a ';' to the end of its line the text is Red, everything else Black.
#ifndef _ZTLE_TEXT_VIEW_H
#define _ZTLE_TEXT_VIEW_H

#include <functional>
#include <memory>

#include "GraphicsDefs.h"
#include "ZTTextView.h"

class BMessage;

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

	// A copy of message is posted to the window after every change of the
	// text (typing, paste, undo, program calls), so the window can tell
	// whether the text still matches what was saved. nullptr: none.
	void SetChangeMessage(const BMessage* message);
	// Called after every change of the text, whatever made it, with the
	// offset where it happened: the window keeps its status line by it.
	void SetChangeHook(std::function<void(int32 offset)> hook) { mChangeHook = std::move(hook); }

protected:
	virtual void InsertText(const char* text, int32 length, int32 offset,
	                        const text_run_array* runs);
	virtual void DeleteText(int32 from, int32 to);

private:
	void _NotifyChange();
	int32 _LineStart(int32 offset);
	int32 _LineEnd(int32 offset);

	std::unique_ptr<BMessage> mChangeMessage;
	std::function<void(int32 offset)> mChangeHook;
};

#endif // _ZTLE_TEXT_VIEW_H
