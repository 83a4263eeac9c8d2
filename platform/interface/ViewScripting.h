// The view suite and what the window, control and text view suites share
// with it. Layer-internal.
#ifndef VIEW_SCRIPTING_H
#define VIEW_SCRIPTING_H

#include "SupportDefs.h"

class BMessage;
class BView;

namespace BPrivate {

// A "View" specifier under parent: its children by index or reverse index,
// a name anywhere below it (as FindView finds it). Pops the specifier and
// returns the view; when there is none, sends B_BAD_INDEX or
// B_NAME_NOT_FOUND and returns nullptr.
BView* resolve_child_view(BView* parent, BMessage* message, BMessage* specifier, int32 form);

// Answers the view suite's own properties of view (Frame, Hidden, count of
// View); false when the message is none of them.
bool answer_view_scripting(BView* view, BMessage* message);

// The property a message asks of its target itself (a direct specifier),
// or nullptr when it names something else or nothing.
const char* direct_property(BMessage* message);

} // namespace BPrivate

#endif // VIEW_SCRIPTING_H
