// The editor window's text view of translations, for the benchmarks that
// drive the editor in this process.
#ifndef BENCH_LOCALE_TEXT_VIEW_H
#define BENCH_LOCALE_TEXT_VIEW_H

class BTextView;
class BWindow;

// The text view inside the scroll view on the window's background (the
// text controls there hold no text view); nullptr before the window has one.
BTextView* LocaleTextView(BWindow* window);

#endif // BENCH_LOCALE_TEXT_VIEW_H
