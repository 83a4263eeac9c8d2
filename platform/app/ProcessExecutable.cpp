#include "ProcessExecutable.h"

#include <climits>
#include <cstdio>
#include <unistd.h>

namespace BPrivate {

std::string executable_of(team_id team)
{
	char link[64];
	snprintf(link, sizeof(link), "/proc/%d/exe", (int)team);
	char target[PATH_MAX];
	ssize_t length = readlink(link, target, sizeof(target) - 1);
	if (length <= 0)
		return std::string();
	return std::string(target, (size_t)length);
}

} // namespace BPrivate
