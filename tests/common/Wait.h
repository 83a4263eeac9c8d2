// Waiting in tests: on a condition, never for a fixed time. A wait ends
// when its condition holds or its time-out passes, so a lost message fails
// in seconds.
#ifndef TESTS_COMMON_WAIT_H
#define TESTS_COMMON_WAIT_H

#include <chrono>
#include <functional>

// Keeps the GUI (and with it the windows' dispatch) going on the main thread
// until condition holds; false once timeout has passed.
bool WaitFor(const std::function<bool()>& condition,
             std::chrono::milliseconds timeout = std::chrono::seconds(10));

// Polls condition without running any events, for threads other than the
// GUI's and for programs without one; false once timeout has passed.
bool WaitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = std::chrono::seconds(5));

#endif // TESTS_COMMON_WAIT_H
