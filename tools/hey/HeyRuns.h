// Colour and font runs (a text view's "text_run_array", B_RAW_TYPE) as hey
// prints and reads them, one form for both so that what a get prints can be
// edited and sent back with set:
//   text_run_array(OFFSET "FAMILY" "STYLE" SIZE rgb_color(R,G,B,A); ...)
// JSON: [{"offset": 0, "family": "...", "style": "...", "size": 12,
//   "face": 64, "color": [r, g, b, a]}, ...]
#ifndef HEY_RUNS_H
#define HEY_RUNS_H

#include <string>

#include <SupportDefs.h>

class BMessage;

// The runs in flattened bytes as text (or JSON); false when the bytes are
// no flattened run array.
bool FormatRuns(const void* data, size_t size, bool json, std::string* out);

// Whether text is meant as runs (starts with "text_run_array(").
bool IsRunsValue(const std::string& text);
// Adds the runs text names, flattened, as B_RAW_TYPE; B_BAD_VALUE when it
// does not read as runs.
status_t AddHeyRuns(BMessage* message, const char* name, const std::string& text);

#endif // HEY_RUNS_H
