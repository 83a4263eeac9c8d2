#ifndef BENCH_CPU_TIMES_H
#define BENCH_CPU_TIMES_H

#include <map>
#include <string>

#include "CpuTimeReporter.h"

// CPU times per iteration by benchmark name ("Merge/10000"), microseconds.
class CpuTimes
{
public:
	// Runs the benchmarks the command line selects, printed as the console
	// reporter prints them, and keeps their times.
	CpuTimes(int* argc, char** argv)
	{
		benchmark::Initialize(argc, argv);
		CpuTimeReporter reporter;
		benchmark::RunSpecifiedBenchmarks(&reporter);
		mTimes = reporter.times;
	}

	bool Ran(const std::string& name) const
	{
		const auto found = mTimes.find(name);
		return found != mTimes.end() && found->second > 0;
	}

	// How many times longer name took than base; 0 when either did not run.
	double Ratio(const std::string& name, const std::string& base) const
	{
		if (!Ran(name) || !Ran(base))
			return 0;
		return mTimes.at(name) / mTimes.at(base);
	}

private:
	std::map<std::string, double> mTimes;
};

#endif // BENCH_CPU_TIMES_H
