// The names the editor window gives the views tests reach: by name, a test
// keeps working when the window's views are arranged anew.
#ifndef _EDITOR_VIEW_NAMES_H
#define _EDITOR_VIEW_NAMES_H

// The locale text view and the status line below it.
inline constexpr const char* kLocaleTextView = "locale_text";
inline constexpr const char* kStatusLineView = "status_line";

#endif // _EDITOR_VIEW_NAMES_H
