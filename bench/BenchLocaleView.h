// The editor's text view of translations, alone and editable as the editor
// sets it up, for the benchmarks that type into it.
#ifndef BENCH_LOCALE_VIEW_H
#define BENCH_LOCALE_VIEW_H

#include <memory>

class ZTLETextView;

// A 600x400 view, editable, with undo and styles, and no text yet.
std::unique_ptr<ZTLETextView> MakeLocaleView();

#endif // BENCH_LOCALE_VIEW_H
