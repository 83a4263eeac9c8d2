// Layer-internal access to BTextView, for the controls and the scroll view.
//
// For BTextControl: create its inner text view with
//     BPrivate::TextViewAccess::CreateSingleLine(frame, name)
// (or call MakeSingleLine() right after constructing a BTextView). A
// single-line view is one line high, never wraps, has no scroll bars, and
// Enter does not insert a line feed: it is reported through the callback
// set with SetEnterHandler() (a text control invokes its message there).
// Line feeds in text given by the program or pasted are turned into spaces.
//
// For BScrollView: the text view's widget (ViewAccess::Widget) is a
// QAbstractScrollArea that scrolls its own contents, with its own bars
// hidden; a scroll view mirrors them in bars of its own, or shows them with
// SetScrollBars().
#ifndef _TEXT_VIEW_PRIVATE_H
#define _TEXT_VIEW_PRIVATE_H

#include <functional>

#include "Rect.h"
#include "SupportDefs.h"

class BTextView;

namespace BPrivate {

class TextViewAccess
{
public:
	static BTextView* CreateSingleLine(BRect frame, const char* name);
	static void MakeSingleLine(BTextView* view);
	static bool IsSingleLine(const BTextView* view);

	// Called on Enter in a single-line view (on the window's thread).
	static void SetEnterHandler(BTextView* view, std::function<void()> handler);
	// Called after every change of the text, whatever its source, once the
	// hooks have run (a text control sends its modification message here).
	static void SetChangeHandler(BTextView* view, std::function<void()> handler);

	static void SetScrollBars(BTextView* view, bool horizontal, bool vertical);
};

} // namespace BPrivate

#endif // _TEXT_VIEW_PRIVATE_H
