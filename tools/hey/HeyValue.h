// The values hey accepts after "to" and in "with NAME=VALUE": typed by their
// form, anything else a string taken as given.
#ifndef HEY_VALUE_H
#define HEY_VALUE_H

#include <string>

#include <SupportDefs.h>

class BMessage;

// Adds text to message under name as the value it reads as: "quoted" (a
// string without its quotes), an integer (int32, or int64 beyond its
// range), a float, true or false, BPoint(x,y), BRect(l,t,r,b),
// rgb_color(r,g,b,a), text_run_array(...) (HeyRuns.h); any other text is a string as it stands.
// B_BAD_VALUE for a typed form with bad numbers (BRect(1,2)).
status_t AddHeyValue(BMessage* message, const char* name, const std::string& text);

#endif // HEY_VALUE_H
