// The text view suite. Layer-internal.
#ifndef TEXT_VIEW_SCRIPTING_H
#define TEXT_VIEW_SCRIPTING_H

class BMessage;
class BTextView;

namespace BPrivate {

class TextViewData;

// Answers "Text" and "text_run_array" (whole or a range) and "Selection";
// false when the message is none of them.
bool answer_text_view_scripting(BTextView* view, const TextViewData& data, BMessage* message);

} // namespace BPrivate

#endif // TEXT_VIEW_SCRIPTING_H
