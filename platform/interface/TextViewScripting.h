// The text view suite. Layer-internal.
#ifndef TEXT_VIEW_SCRIPTING_H
#define TEXT_VIEW_SCRIPTING_H

class BMessage;
class BTextView;

namespace BPrivate {

// Answers "Text" (whole or a range) and "Selection"; false when the
// message is none of them.
bool answer_text_view_scripting(BTextView* view, BMessage* message);

} // namespace BPrivate

#endif // TEXT_VIEW_SCRIPTING_H
