// Waiting in a test that drives windows: the GUI keeps running while the
// test waits, and a watchdog ends the wait so a lost message fails in
// seconds.
#ifndef TESTS_COMMON_GUI_WAIT_H
#define TESTS_COMMON_GUI_WAIT_H

#include <chrono>
#include <functional>

// Keeps the GUI (and with it the windows' dispatch) going until condition
// holds; false once timeout has passed.
bool WaitFor(const std::function<bool()>& condition,
             std::chrono::milliseconds timeout = std::chrono::seconds(10));

#endif // TESTS_COMMON_GUI_WAIT_H
