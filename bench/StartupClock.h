#ifndef STARTUP_CLOCK_H
#define STARTUP_CLOCK_H

// The start-up programs report how long it took from the moment the script
// launched them (LE_BENCH_T0, nanoseconds of the real-time clock, taken just
// before exec) until their window was shown, so the dynamic loader counts.

#include <cstdio>
#include <cstdlib>
#include <ctime>

inline void ReportShown()
{
	const char* start = getenv("LE_BENCH_T0");
	if (start == nullptr)
		return;
	timespec now;
	clock_gettime(CLOCK_REALTIME, &now);
	long long nowNs = (long long)now.tv_sec * 1000000000LL + now.tv_nsec;
	printf("shown_us=%lld\n", (nowNs - atoll(start)) / 1000);
	fflush(stdout);
}

#endif // STARTUP_CLOCK_H
