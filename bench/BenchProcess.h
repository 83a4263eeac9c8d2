// Timing whole programs and this process for the benchmarks.
#ifndef BENCH_PROCESS_H
#define BENCH_PROCESS_H

#include <string>
#include <vector>

// This process's processor time (user + system) and a steady wall clock.
double ProcessCpuSeconds();
double WallSeconds();
// The median of values; -1 for none.
double Median(std::vector<double> values);
// Runs a program to its end; false unless it exited with 0. The processor
// time is the child's own, user and system, from wait4.
bool RunProgram(const std::vector<std::string>& arguments, double* cpu, double* wall);

#endif // BENCH_PROCESS_H
