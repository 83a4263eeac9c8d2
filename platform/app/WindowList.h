// The application's list of windows as its scripting sees it, and the
// application suite. Layer-internal.
#ifndef WINDOW_LIST_H
#define WINDOW_LIST_H

#include "SupportDefs.h"

class BApplication;
class BLooper;
class BMessage;

namespace BPrivate {

// Windows tell their title here whenever it changes: the application
// thread matches "Window" names against it without locking a window, since
// the window's thread may be waiting on the application meanwhile.
void set_window_title(BLooper* looper, const char* title);
// The window looper at index (in the order they were made), or nullptr.
BLooper* window_looper_at(int32 index);
// The first window whose title is title, or nullptr.
BLooper* window_looper_titled(const char* title);

// Answers the application suite's own properties (Name, count of Window);
// false when the message is none of them.
bool answer_application_scripting(BApplication* app, BMessage* message);

} // namespace BPrivate

#endif // WINDOW_LIST_H
