#ifndef INTERFACE_TEXTS_H
#define INTERFACE_TEXTS_H

#include "InterfaceText.h"

// The editor's own interface texts in English, registered with the
// localization library as its defaults and handed out over the locale
// scripting suite. Everything else asks ZTLocale::Text(index) instead.
// One text per InterfaceText, in its order (checked where it is defined).

// Not const pointers: ZTLocale::SetDefaultText takes a const char**, and the
// library keeps the pointer for the life of the process.
extern const char* mText[];

extern const char* const kInterfaceTextLanguage; // "English"

#endif // INTERFACE_TEXTS_H
