#include "OS.h"

#include <cerrno>
#include <ctime>
#include <sys/syscall.h>
#include <unistd.h>

bigtime_t system_time()
{
	struct timespec now;
	clock_gettime(CLOCK_MONOTONIC, &now);
	return (bigtime_t)now.tv_sec * 1000000 + now.tv_nsec / 1000;
}

status_t snooze(bigtime_t microseconds)
{
	if (microseconds <= 0)
		return B_OK;
	struct timespec wait;
	wait.tv_sec = microseconds / 1000000;
	wait.tv_nsec = (microseconds % 1000000) * 1000;
	if (nanosleep(&wait, nullptr) != 0)
		return errno == EINTR ? B_INTERRUPTED : B_ERROR;
	return B_OK;
}

thread_id find_thread(const char* name)
{
	// Threads have no names here; only the caller's own id can be found.
	if (name != nullptr)
		return B_NAME_NOT_FOUND;
	return (thread_id)syscall(SYS_gettid);
}

team_id current_team()
{
	return (team_id)getpid();
}
