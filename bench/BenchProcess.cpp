// Timing whole programs and this process for the benchmarks.

#include "BenchProcess.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

double ProcessCpuSeconds()
{
	timespec now;
	clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
	return (double)now.tv_sec + (double)now.tv_nsec * 1e-9;
}

double WallSeconds()
{
	return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
	    .count();
}

double Median(std::vector<double> values)
{
	if (values.empty())
		return -1;
	std::sort(values.begin(), values.end());
	size_t middle = values.size() / 2;
	return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

bool RunProgram(const std::vector<std::string>& arguments, double* cpu, double* wall)
{
	std::vector<char*> argv;
	for (const std::string& argument : arguments)
		argv.push_back(const_cast<char*>(argument.c_str()));
	argv.push_back(nullptr);
	double start = WallSeconds();
	pid_t pid = fork();
	if (pid < 0)
		return false;
	if (pid == 0) {
		int null = open("/dev/null", O_WRONLY);
		if (null >= 0) {
			dup2(null, 1);
			dup2(null, 2);
		}
		execvp(argv[0], argv.data());
		_exit(127);
	}
	int status = 0;
	rusage usage{};
	if (wait4(pid, &status, 0, &usage) != pid)
		return false;
	*wall = WallSeconds() - start;
	*cpu = (double)usage.ru_utime.tv_sec + (double)usage.ru_utime.tv_usec * 1e-6 +
	       (double)usage.ru_stime.tv_sec + (double)usage.ru_stime.tv_usec * 1e-6;
	return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
