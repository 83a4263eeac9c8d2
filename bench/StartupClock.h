#ifndef STARTUP_CLOCK_H
#define STARTUP_CLOCK_H

// The start-up programs report two spans until their window was shown:
// from the moment the script launched them (LE_BENCH_T0, nanoseconds of the
// real-time clock, taken just before exec), so the dynamic loader counts,
// and from the first statement of main (MarkMainEntered).

#include <cstdio>
#include <cstdlib>
#include <ctime>

inline long long StartupClockNow()
{
	timespec now;
	clock_gettime(CLOCK_REALTIME, &now);
	return (long long)now.tv_sec * 1000000000LL + now.tv_nsec;
}

inline long long& StartupMainEntered()
{
	static long long entered = 0;
	return entered;
}

// The first statement of main.
inline void MarkMainEntered()
{
	StartupMainEntered() = StartupClockNow();
}

inline void ReportShown()
{
	const char* start = getenv("LE_BENCH_T0");
	if (start == nullptr)
		return;
	long long nowNs = StartupClockNow();
	printf("shown_us=%lld main_us=%lld\n", (nowNs - atoll(start)) / 1000,
	       (nowNs - StartupMainEntered()) / 1000);
	fflush(stdout);
}

#endif // STARTUP_CLOCK_H
