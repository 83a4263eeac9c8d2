// Flatten and Unflatten of a locale message (10,000 and 100,000 texts of
// 20-120 bytes) against a memcpy of the same number of bytes, measured in
// the same run. Prints the ratios at the end.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "CpuTimes.h"
#include "MadeOnce.h"
#include "Message.h"

namespace {

BMessage LocaleMessage(int count)
{
	BMessage message;
	message.AddString("zt:version", "01.00");
	message.AddString("zt:app_id", "korvane localeeditor locale");
	message.AddString("zt:language", "Deutsch");
	std::mt19937 random(count);
	const char* pieces[] = {"Datei ", "öffnen ",  "Übersetzung ", "speichern ", "über ",
	                        "ß ",     "Sprache ", "Fenster ",     "\\n",        "Einstellungen "};
	for (int i = 0; i < count; i++) {
		const size_t length = 20 + random() % 101;
		std::string text;
		while (text.size() < length)
			text += pieces[random() % 10];
		// Cut at a character boundary, at most 120 bytes.
		size_t cut = std::min(text.size(), (size_t)120);
		while (cut > 0 && ((unsigned char)text[cut] & 0xc0) == 0x80)
			cut--;
		text.resize(cut);
		message.AddString("zt:text", text.c_str());
	}
	return message;
}

std::vector<char> Flattened(const BMessage& message)
{
	std::vector<char> bytes((size_t)message.FlattenedSize());
	message.Flatten(bytes.data(), (ssize_t)bytes.size());
	return bytes;
}

const BMessage& Cached(int count)
{
	return MadeOnce<LocaleMessage>(count);
}

void Memcpy(benchmark::State& state)
{
	const std::vector<char> source = Flattened(Cached((int)state.range(0)));
	std::vector<char> target(source.size());
	for (auto _ : state) {
		memcpy(target.data(), source.data(), source.size());
		benchmark::DoNotOptimize(target.data());
		benchmark::ClobberMemory();
	}
	state.SetBytesProcessed((int64_t)state.iterations() * (int64_t)source.size());
}

void Flatten(benchmark::State& state)
{
	const BMessage& message = Cached((int)state.range(0));
	std::vector<char> target((size_t)message.FlattenedSize());
	for (auto _ : state) {
		message.Flatten(target.data(), (ssize_t)target.size());
		benchmark::DoNotOptimize(target.data());
		benchmark::ClobberMemory();
	}
	state.SetBytesProcessed((int64_t)state.iterations() * (int64_t)target.size());
}

void Unflatten(benchmark::State& state)
{
	const std::vector<char> source = Flattened(Cached((int)state.range(0)));
	BMessage message;
	for (auto _ : state) {
		if (message.Unflatten(source.data(), source.size()) != B_OK)
			state.SkipWithError("Unflatten failed");
		benchmark::DoNotOptimize(&message);
	}
	state.SetBytesProcessed((int64_t)state.iterations() * (int64_t)source.size());
}

BENCHMARK(Memcpy)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(Flatten)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(Unflatten)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
	const CpuTimes times(&argc, argv);
	printf("\nRatios to memcpy of the flattened bytes (goal: Flatten <= 10, Unflatten <= 15):\n");
	for (const std::string count : {"10000", "100000"}) {
		const std::string base = "Memcpy/" + count;
		if (!times.Ran(base))
			continue;
		printf("  %6s texts: Flatten %.1fx  Unflatten %.1fx\n", count.c_str(),
		       times.Ratio("Flatten/" + count, base), times.Ratio("Unflatten/" + count, base));
	}
	if (times.Ran("Unflatten/10000"))
		printf("  Unflatten 100k / 10k time: %.1f (linear: about 10)\n",
		       times.Ratio("Unflatten/100000", "Unflatten/10000"));
	return 0;
}
