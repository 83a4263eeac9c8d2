// The entry walk of saving and the entry merge of loading on edited texts of
// 10,000 and 100,000 reference blocks, against a memcpy of the text in the
// same run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "CpuTimes.h"
#include "LocaleMerge.h"
#include "MadeOnce.h"

namespace {

struct Case
{
	std::string text;
	std::vector<std::string> entries;
};

Case MakeBlocks(int count)
{
	Case made;
	for (int k = 1; k <= count; k++) {
		made.text += LocaleMerge::EntryMarker(k) + "\n; Reference text number " +
		             std::to_string(k) + " with some words\n\n";
		made.entries.push_back("Übersetzung Nummer " + std::to_string(k) + " mit ein paar Wörtern");
	}
	return made;
}

const Case& Blocks(int count)
{
	return MadeOnce<MakeBlocks>(count);
}

void Memcpy(benchmark::State& state)
{
	const std::string& text = Blocks((int)state.range(0)).text;
	std::string target(text.size(), '\0');
	for (auto _ : state) {
		memcpy(target.data(), text.data(), text.size());
		benchmark::DoNotOptimize(target.data());
		benchmark::ClobberMemory();
	}
}

void Merge(benchmark::State& state)
{
	const Case& blocks = Blocks((int)state.range(0));
	for (auto _ : state)
		benchmark::DoNotOptimize(LocaleMerge::MergeEntries(blocks.text, blocks.entries));
}

void Collect(benchmark::State& state)
{
	const Case& blocks = Blocks((int)state.range(0));
	const std::string merged = LocaleMerge::MergeEntries(blocks.text, blocks.entries);
	// What saving does: the entries anchored to their markers.
	std::vector<std::string> entries;
	LocaleMerge::SaveRefusal refusal;
	for (auto _ : state) {
		LocaleMerge::EntriesForSaving(merged, &entries, &refusal);
		benchmark::DoNotOptimize(entries.data());
	}
}

BENCHMARK(Memcpy)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(Merge)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(Collect)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
	const CpuTimes t(&argc, argv);
	printf("\nRatios to memcpy of the edited text:\n");
	for (const std::string count : {"10000", "100000"}) {
		const std::string base = "Memcpy/" + count;
		if (t.Ran(base))
			printf("  %6s blocks: merge %.0fx  collect %.0fx\n", count.c_str(),
			       t.Ratio("Merge/" + count, base), t.Ratio("Collect/" + count, base));
	}
	if (t.Ran("Merge/10000"))
		printf("  merge 100k / 10k time: %.1f (linear: about 10)\n",
		       t.Ratio("Merge/100000", "Merge/10000"));
	return 0;
}
