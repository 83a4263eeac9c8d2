// Team and thread helpers and the clock of the layer.
#ifndef _OS_H
#define _OS_H

#include "SupportDefs.h"

// Thread priorities are accepted for source compatibility and ignored.
enum {
	B_LOW_PRIORITY = 5,
	B_NORMAL_PRIORITY = 10,
	B_DISPLAY_PRIORITY = 15,
	B_URGENT_DISPLAY_PRIORITY = 20,
	B_REAL_TIME_DISPLAY_PRIORITY = 100,
	B_URGENT_PRIORITY = 110,
	B_REAL_TIME_PRIORITY = 120,
};

// Microseconds since an arbitrary fixed point (the monotonic clock, which is
// shared by all processes of the machine).
bigtime_t system_time();

// Sleeps at least the given number of microseconds; B_OK, or B_INTERRUPTED
// when a signal cut the sleep short.
status_t snooze(bigtime_t microseconds);

// The calling thread's id (the kernel thread id, so the main thread's id
// equals the team id).
thread_id find_thread(const char* name);

// The calling process, which is what the layer calls a team.
team_id current_team();

#endif // _OS_H
