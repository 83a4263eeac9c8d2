// Find next over the whole text of 100,000 entries (three lines each, the
// word only at the end) against "grep -c -i" of the word over the same bytes
// in a file: ignoring case and matching it, and once right after an edit,
// when the view first copies its text out again.
//
// grep runs as a program, its start-up included, as it would for anyone
// asking it. The ratios printed at the end are of wall time, as a user waits
// for either, and of processor time (grep's own from wait4), which the
// neighbours on a shared machine leave alone.
#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "BenchProcess.h"
#include "CpuTimeReporter.h"
#include "LocaleEntriesText.h"
#include "TextSearch.h"
#include "ZTLETextView.h"

namespace {

const int kEntries = 100000;

const std::string kWord = "Translation " + std::to_string(kEntries);

// grep's own processor and wall time per run, in microseconds.
std::vector<double> gGrepCpu, gGrepWall;

void FindInView(benchmark::State& state, bool matchCase, bool editFirst)
{
	const BRect frame(0, 0, 599, 399);
	ZTLETextView view(frame, nullptr, frame, B_FOLLOW_ALL_SIDES, B_WILL_DRAW);
	view.SetText(locale_entries_text(kEntries).c_str());
	const std::string word = matchCase ? kWord : "translation " + std::to_string(kEntries);
	size_t found = 0;
	for (auto _ : state) {
		if (editFirst) {
			state.PauseTiming();
			view.Insert(0, "x", 1);
			view.Delete(0, 1);
			state.ResumeTiming();
		}
		const std::string_view text(view.Text(), (size_t)view.TextLength());
		benchmark::DoNotOptimize(found = TextSearch::FindForward(text, word, 0, matchCase));
	}
	if (found == std::string_view::npos)
		state.SkipWithError("the word was not found");
}

void BM_FindNextWholeText(benchmark::State& state)
{
	FindInView(state, false, false);
}
BENCHMARK(BM_FindNextWholeText)->Unit(benchmark::kMicrosecond);

void BM_FindNextMatchCase(benchmark::State& state)
{
	FindInView(state, true, false);
}
BENCHMARK(BM_FindNextMatchCase)->Unit(benchmark::kMicrosecond);

void BM_FindNextAfterAnEdit(benchmark::State& state)
{
	FindInView(state, false, true);
}
BENCHMARK(BM_FindNextAfterAnEdit)->Unit(benchmark::kMicrosecond);

void BM_GrepCountSameBytes(benchmark::State& state)
{
	char path[] = "/tmp/le-bench-find-XXXXXX";
	const int fd = mkstemp(path);
	if (fd < 0) {
		state.SkipWithError("no scratch file");
		return;
	}
	close(fd);
	std::ofstream(path) << locale_entries_text(kEntries);
	for (auto _ : state) {
		double cpu = 0, wall = 0;
		if (!RunProgram({"grep", "-c", "-i", kWord, path}, &cpu, &wall)) {
			state.SkipWithError("grep failed");
			break;
		}
		state.SetIterationTime(wall);
		gGrepCpu.push_back(cpu * 1e6);
		gGrepWall.push_back(wall * 1e6);
	}
	unlink(path);
}
BENCHMARK(BM_GrepCountSameBytes)->UseManualTime()->Unit(benchmark::kMicrosecond);

// Keeps each run's wall time per iteration too, in microseconds.
class FindReporter : public CpuTimeReporter
{
public:
	void ReportRuns(const std::vector<Run>& runs) override
	{
		CpuTimeReporter::ReportRuns(runs);
		for (const Run& run : runs) {
			if (run.run_type == Run::RT_Iteration && !run.error_occurred)
				wall[run.benchmark_name()] = run.GetAdjustedRealTime() * 1e6 /
				                             benchmark::GetTimeUnitMultiplier(run.time_unit);
		}
	}

	std::map<std::string, double> wall;
};

} // namespace

int main(int argc, char** argv)
{
	if (qgetenv("QT_QPA_PLATFORM").isEmpty())
		qputenv("QT_QPA_PLATFORM", "offscreen");
	QApplication app(argc, argv);
	benchmark::Initialize(&argc, argv);
	FindReporter reporter;
	benchmark::RunSpecifiedBenchmarks(&reporter);
	const double grepWall = Median(gGrepWall), grepCpu = Median(gGrepCpu);
	if (grepWall > 0 && grepCpu > 0) {
		printf("\nAs a ratio to grep -c -i (aim <= 0.20)      wall    processor\n");
		for (const char* name :
		     {"BM_FindNextWholeText", "BM_FindNextMatchCase", "BM_FindNextAfterAnEdit"})
			printf("  %-24s %15.3f %12.3f\n", name, reporter.wall[name] / grepWall,
			       reporter.times[name] / grepCpu);
	}
	benchmark::Shutdown();
	return 0;
}
