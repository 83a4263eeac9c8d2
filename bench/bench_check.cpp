// The full check of 100,000 entries against "msgfmt --check-format" of the
// same texts as a PO file: the checker over the entries as localetool check
// walks them, and over the edited text as the editor's status line walks it
// (blocks found, counted and checked). The texts are an application's:
// labels, printf conversions in both texts (the PO entries flagged c-format,
// so msgfmt compares them), escapes and closing punctuation; every 97th
// translation lacks a conversion and every 50th is left empty.
//
// msgfmt runs as a program, its start-up included, as for anyone asking it;
// the ratios printed at the end are of processor time (its own from wait4,
// ours per iteration), which the neighbours on a shared machine leave alone.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

#include "BenchProcess.h"
#include "CpuTimeReporter.h"
#include "EntryBlocks.h"
#include "LocaleMerge.h"
#include "TranslationChecker.h"

namespace {

const int kEntries = 100000;
// msgfmt's own processor time per run, in microseconds.
std::vector<double> gMsgfmtCpu;

struct Texts
{
	std::vector<std::string> references;
	std::vector<std::string> translations;
};

const Texts& MakeTexts()
{
	static Texts texts;
	if (!texts.references.empty())
		return texts;
	for (int i = 1; i <= kEntries; i++) {
		const std::string n = std::to_string(i);
		std::string reference, translation;
		switch (i % 5) {
		case 0:
			reference = "Open file " + n + "...";
			translation = "Datei " + n + " öffnen...";
			break;
		case 1:
			reference = "%d of %s entries in " + n;
			translation = "%d von %s Einträgen in " + n;
			break;
		case 2:
			reference = "Line one " + n + "\\nLine two:";
			translation = "Zeile eins " + n + "\\nZeile zwei:";
			break;
		case 3:
			reference = "Saved %ld of %u files (" + n + ")!";
			translation = "%ld von %u Dateien gesichert (" + n + ")!";
			break;
		default:
			reference = "Name %s " + n;
			translation = "Name %s " + n;
			break;
		}
		if (i % 97 == 0)
			translation = "Eintrag " + n;
		if (i % 50 == 0)
			translation.clear();
		texts.references.push_back(std::move(reference));
		texts.translations.push_back(std::move(translation));
	}
	return texts;
}

std::string PoString(const std::string& text)
{
	// The texts hold escapes as PO writes them ("\n") and no quotes.
	return "\"" + text + "\"";
}

bool WritePo(const std::string& path)
{
	const Texts& texts = MakeTexts();
	std::ofstream out(path, std::ios::binary);
	out << "msgid \"\"\nmsgstr \"\"\n\"Language: de\\n\"\n"
	       "\"Content-Type: text/plain; charset=UTF-8\\n\"\n\n";
	for (size_t i = 0; i < texts.references.size(); i++) {
		if (texts.references[i].find('%') != std::string::npos)
			out << "#, c-format\n";
		out << "msgid " << PoString(texts.references[i]) << "\nmsgstr "
		    << PoString(texts.translations[i]) << "\n\n";
	}
	return out.good();
}

// The edited text after loading: marker, reference line, translation line.
std::string EditedText()
{
	const Texts& texts = MakeTexts();
	std::string text;
	for (size_t i = 0; i < texts.references.size(); i++) {
		text += LocaleMerge::EntryMarker((long)i + 1) + "\n; " + texts.references[i] + "\n" +
		        texts.translations[i] + "\n";
	}
	return text;
}

void BM_MsgfmtCheckFormat(benchmark::State& state)
{
	char folder[] = "/tmp/le-bench-check-XXXXXX";
	if (mkdtemp(folder) == nullptr) {
		state.SkipWithError("no scratch folder");
		return;
	}
	const std::string po = std::string(folder) + "/de.po";
	double cpu = 0, wall = 0;
	if (!WritePo(po) || !RunProgram({"msgfmt", "--version"}, &cpu, &wall)) {
		state.SkipWithError("no msgfmt (gettext)");
	} else {
		for (auto _ : state) {
			// It exits with 1: the missing conversions are errors to it.
			RunProgram({"msgfmt", "--check-format", "-o", "/dev/null", po}, &cpu, &wall);
			state.SetIterationTime(cpu);
			gMsgfmtCpu.push_back(cpu * 1e6);
		}
	}
	unlink(po.c_str());
	rmdir(folder);
}
BENCHMARK(BM_MsgfmtCheckFormat)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

void BM_CheckFile(benchmark::State& state)
{
	const Texts& texts = MakeTexts();
	const std::vector<std::string_view> references(texts.references.begin(),
	                                               texts.references.end());
	const std::vector<std::string_view> translations(texts.translations.begin(),
	                                                 texts.translations.end());
	std::vector<TranslationFinding> findings;
	for (auto _ : state) {
		findings.clear();
		benchmark::DoNotOptimize(
		    TranslationChecker::CheckFile(references, translations, &findings));
	}
	state.counters["findings"] = (double)findings.size();
}
BENCHMARK(BM_CheckFile)->Unit(benchmark::kMillisecond);

void BM_CheckEditedText(benchmark::State& state)
{
	const std::string text = EditedText();
	EntryBlocks::Progress progress;
	for (auto _ : state)
		benchmark::DoNotOptimize(progress = EntryBlocks::CountProgress(text));
	state.counters["warnings"] = progress.counts.warnings;
}
BENCHMARK(BM_CheckEditedText)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
	benchmark::Initialize(&argc, argv);
	CpuTimeReporter reporter;
	benchmark::RunSpecifiedBenchmarks(&reporter);
	auto& t = reporter.times;
	const double msgfmt = Median(gMsgfmtCpu);
	if (msgfmt > 0) {
		printf("\nProcessor time as a ratio to msgfmt --check-format (aim <= 0.30):\n"
		       "  checker over the entries      %.3f\n  checker over the edited text  %.3f\n",
		       t["BM_CheckFile"] / msgfmt, t["BM_CheckEditedText"] / msgfmt);
	}
	return 0;
}
