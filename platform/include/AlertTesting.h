// Test seam for BAlert: with a responder installed, Go() shows no dialog;
// the responder decides which button is pressed (for Go(invoker), at once).
// Every alert that Go() ran is recorded either way.
#ifndef _ALERT_TESTING_H
#define _ALERT_TESTING_H

#include <functional>
#include <string>
#include <vector>

#include "SupportDefs.h"

namespace BPrivate {

struct shown_alert
{
	std::string title;
	std::string text;
	std::vector<std::string> buttons;
	int32 type;
	thread_id thread;        // the thread that called Go()
	int32 escapeButton = -1; // the button Escape and the close box press
};

// Receives what would be shown; returns the index of the button to press.
typedef std::function<int32(const shown_alert&)> alert_responder;

// Installs (or, with an empty function, removes) the responder. Thread-safe.
void set_alert_responder(alert_responder responder);
// A copy of every alert run since the last clear, in order.
std::vector<shown_alert> shown_alerts();
void clear_shown_alerts();

// Installs a responder for its lifetime and restores the previous one.
class ScopedAlertResponder
{
public:
	explicit ScopedAlertResponder(alert_responder responder);
	~ScopedAlertResponder();

private:
	alert_responder mPrevious;
};

} // namespace BPrivate

#endif // _ALERT_TESTING_H
