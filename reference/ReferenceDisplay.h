#ifndef REFERENCE_DISPLAY_H
#define REFERENCE_DISPLAY_H

// Shows a reference message in the editor: its language in the control
// kReferenceControl, its application id in kAppIDControl, and one comment
// block per reference text ahead of each translation line of the edited
// text. Runs on the thread of the window that holds the views.

#include <Message.h>

// The names of the window's two controls the reference is shown in.
inline constexpr const char kReferenceControl[] = "txtctrl_reference";
inline constexpr const char kAppIDControl[] = "txtctrl_appid";

class BTextView;
class BWindow;

// Sets both controls (a single space when the reference lacks the field)
// and writes the blocks into textView. Either pointer may be null; what it
// names is then skipped.
void ShowReference(BWindow* window, BTextView* textView, const BMessage* reference);

// Writes the blocks for the reference's "zt:text" values (up to the first
// missing or empty one) into textView through a single Delete and a single
// Insert, so the view's edit hooks see the change once. Returns whether the
// text changed.
bool ApplyReferenceTexts(BTextView* textView, const BMessage* reference);

#endif // REFERENCE_DISPLAY_H
