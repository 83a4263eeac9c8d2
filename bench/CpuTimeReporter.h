#ifndef BENCH_CPU_TIME_REPORTER_H
#define BENCH_CPU_TIME_REPORTER_H

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

// Prints as the console reporter does and keeps each run's CPU time per
// iteration, in microseconds whatever unit it was reported in, so that the
// ratios can be printed afterwards. CPU time: on a shared machine wall time
// measures the neighbours.
class CpuTimeReporter : public benchmark::ConsoleReporter
{
public:
	void ReportRuns(const std::vector<Run>& runs) override
	{
		ConsoleReporter::ReportRuns(runs);
		for (const Run& run : runs) {
			if (run.run_type == Run::RT_Iteration && !run.error_occurred)
				times[run.benchmark_name()] = run.GetAdjustedCPUTime() * 1e6 /
				                              benchmark::GetTimeUnitMultiplier(run.time_unit);
		}
	}

	std::map<std::string, double> times; // microseconds
};

#endif // BENCH_CPU_TIME_REPORTER_H
