// Loading, saving and holding large locale files in the editor's window
// (offscreen), against GNU gettext doing the nearest job on the same texts:
//  - load: a locale file of N entries merged into an edited text of the N
//    matching reference blocks ('lfil' through the window's dispatch),
//    against `msgmerge -N` merging an N-entry .po into its .pot;
//  - save: that text saved back ('sfil' through the dispatch), against
//    `msgfmt` compiling the same .po;
//  - memory: the growth of the peak resident size while the editor takes
//    the 100,000-entry text, against a bare QTextDocument taking the same
//    text, each in a process of its own (this program started again).
// Times are processor time (user + system), steadier than wall time on a
// busy machine; the peers' start-up, measured on a one-entry input, is
// subtracted. Medians of several runs. Prints a table of figures and ratios.
//
// usage: bench_editor_files [benchmark options]
//        bench_editor_files --memory=editor|document [--entries=N]

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTextDocument>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <unordered_set>
#include <vector>

#include <AlertTesting.h>
#include <Entry.h>
#include <Message.h>
#include <TextView.h>
#include <View.h>

#include "BenchProcess.h"
#include "BenchTexts.h"
#include "EditorMessages.h"
#include "LocaleEditorApplication.h"
#include "LocaleFile.h"
#include "LocaleMerge.h"
#include "LocaleTextView.h"
#include "TextChange.h"
#include "ZTLEWindow.h"

namespace fs = std::filesystem;

namespace {

const int kSmall = 10000;
const int kLarge = 100000;

// ---- Measuring -------------------------------------------------------------

std::string gScratch;

// Every sample of every case: processor and wall seconds per run.
struct Samples
{
	std::vector<double> cpu;
	std::vector<double> wall;
};
std::map<std::string, Samples> gSamples;

void Record(benchmark::State& state, const std::string& name, double cpu, double wall)
{
	gSamples[name].cpu.push_back(cpu);
	gSamples[name].wall.push_back(wall);
	state.SetIterationTime(cpu);
}

// ---- The editor --------------------------------------------------------------

class BenchApplication : public LocaleEditorApplication
{
public:
	explicit BenchApplication(const char* folder) : LocaleEditorApplication(folder, BMessenger()) {}
};

// Counts what its dispatch has handled, so a run knows when the posted
// load or save is done.
class BenchWindow : public ZTLEWindow
{
public:
	explicit BenchWindow(Preferences* prefs)
	    : ZTLEWindow("Korvane Locale Editor", prefs, B_TITLED_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL, 0)
	{
	}
	void MessageReceived(BMessage* message) override
	{
		ZTLEWindow::MessageReceived(message);
		mHandled++;
	}
	int Handled() const { return mHandled; }

private:
	int mHandled = 0;
};

BenchApplication* gApp = nullptr;
BenchWindow* gWindow = nullptr;

void Pump()
{
	QCoreApplication::sendPostedEvents();
	QCoreApplication::processEvents(QEventLoop::AllEvents);
}

bool StartEditor(const std::string& folder)
{
	gApp = new BenchApplication(folder.c_str());
	gApp->Lock();
	gApp->BLooper::Run();
	gWindow = new BenchWindow(gApp->Prefs());
	gWindow->Show();
	Pump();
	return LocaleTextView(gWindow) != nullptr;
}

void StopEditor()
{
	if (gWindow != nullptr && gWindow->Lock())
		gWindow->Quit();
	gWindow = nullptr;
	Pump();
	if (gApp != nullptr && gApp->Lock())
		gApp->Quit();
	gApp = nullptr;
}

void SetEditedText(const std::string& text)
{
	BTextView* view = LocaleTextView(gWindow);
	gWindow->Lock();
	view->SetText(text.data(), (int32)text.size());
	gWindow->Unlock();
	Pump();
}

std::string EditedText()
{
	BTextView* view = LocaleTextView(gWindow);
	gWindow->Lock();
	std::string text(view->Text(), (size_t)view->TextLength());
	gWindow->Unlock();
	return text;
}

// Posts the message and keeps the GUI going until the window has handled
// it; false after a minute.
bool DispatchAndWait(BMessage* message)
{
	int before = gWindow->Handled();
	if (gWindow->PostMessage(message) != B_OK)
		return false;
	auto end = std::chrono::steady_clock::now() + std::chrono::minutes(1);
	while (gWindow->Handled() == before) {
		if (std::chrono::steady_clock::now() > end)
			return false;
		Pump();
	}
	// Whatever the views left for the event loop (layout, repaint) belongs
	// to the cost too.
	Pump();
	return true;
}

// DispatchAndWait, timed on the processor and the wall clock and recorded
// as a sample of name; false, and nothing recorded, also when the window
// showed an alert.
bool TimedDispatch(benchmark::State& state, BMessage* message, const std::string& name)
{
	double cpu = ProcessCpuSeconds();
	double wall = WallSeconds();
	const bool handled = DispatchAndWait(message);
	cpu = ProcessCpuSeconds() - cpu;
	wall = WallSeconds() - wall;
	if (!handled || !BPrivate::shown_alerts().empty())
		return false;
	Record(state, name, cpu, wall);
	return true;
}

std::string LocalePath(int count)
{
	return gScratch + "/de" + std::to_string(count) + ".locale";
}

bool LoadMessage(int count, BMessage* message)
{
	entry_ref ref;
	if (get_ref_for_path(LocalePath(count).c_str(), &ref) != B_OK)
		return false;
	message->what = kMsgLoadFile;
	return message->AddRef("refs", &ref) == B_OK;
}

void BM_EditorLoad(benchmark::State& state)
{
	const int count = (int)state.range(0);
	const Inputs& inputs = TextsFor(count);
	const std::string blocks = ReferenceBlocks(inputs);
	BMessage load;
	if (WriteLocaleFile(LocalePath(count), inputs) != B_OK || !LoadMessage(count, &load)) {
		state.SkipWithError("could not write the locale file");
		return;
	}
	BPrivate::clear_shown_alerts();
	for (auto _ : state) {
		SetEditedText(blocks);
		if (!TimedDispatch(state, &load, "load/" + std::to_string(count))) {
			state.SkipWithError("the window did not load the file");
			return;
		}
	}
	if (EditedText() != LoadedText(inputs))
		state.SkipWithError("the loaded text is not the reference blocks with their entries");
}

void BM_EditorSave(benchmark::State& state)
{
	const int count = (int)state.range(0);
	const Inputs& inputs = TextsFor(count);
	BMessage load;
	if (WriteLocaleFile(LocalePath(count), inputs) != B_OK || !LoadMessage(count, &load)) {
		state.SkipWithError("could not write the locale file");
		return;
	}
	SetEditedText(ReferenceBlocks(inputs));
	BPrivate::clear_shown_alerts();
	if (!DispatchAndWait(&load) || EditedText() != LoadedText(inputs)) {
		state.SkipWithError("the window did not load the file to save");
		return;
	}
	entry_ref directory;
	get_ref_for_path(gScratch.c_str(), &directory);
	const std::string name = "saved" + std::to_string(count) + ".locale";
	BMessage save(kMsgSaveFile);
	save.AddRef("directory", &directory);
	save.AddString("name", name.c_str());
	for (auto _ : state) {
		if (!TimedDispatch(state, &save, "save/" + std::to_string(count))) {
			state.SkipWithError("the window did not save the file");
			return;
		}
	}
	// What was saved reads back as the same entries.
	BMessage saved;
	if (LocaleFile::Read((gScratch + "/" + name).c_str(), &saved) != B_OK) {
		state.SkipWithError("the saved file does not read back");
		return;
	}
	const char* text = nullptr;
	int32 entries = 0;
	while (saved.FindString(kLocaleFieldText, entries, &text) == B_OK) {
		if (inputs.translations[(size_t)entries] != text) {
			state.SkipWithError("the saved file holds other entries");
			return;
		}
		entries++;
	}
	if (entries != count)
		state.SkipWithError("the saved file holds a different number of entries");
}

// The steps of a load timed one by one, as the window takes them: reading
// the file, taking its entries out of the message, the merge, the smallest
// change, and the view's deletion and insertion (with their colouring).
void BM_LoadSteps(benchmark::State& state)
{
	const int count = (int)state.range(0);
	const std::string n = std::to_string(count);
	const Inputs& inputs = TextsFor(count);
	const std::string blocks = ReferenceBlocks(inputs);
	if (WriteLocaleFile(LocalePath(count), inputs) != B_OK) {
		state.SkipWithError("could not write the locale file");
		return;
	}
	BTextView* view = LocaleTextView(gWindow);
	for (auto _ : state) {
		SetEditedText(blocks);
		double total = ProcessCpuSeconds();
		double cpu = total;
		auto lap = [&](const char* step) {
			double now = ProcessCpuSeconds();
			gSamples[std::string("step ") + step + "/" + n].cpu.push_back(now - cpu);
			cpu = now;
		};
		BMessage locale;
		if (LocaleFile::Read(LocalePath(count).c_str(), &locale) != B_OK) {
			state.SkipWithError("could not read the locale file");
			return;
		}
		lap("read");
		std::vector<std::string_view> entries;
		const char* entry = nullptr;
		for (int32 i = 0; locale.FindString(kLocaleFieldText, i, &entry) == B_OK; i++)
			entries.emplace_back(entry);
		lap("entries");
		gWindow->Lock();
		std::string_view before(view->Text(), (size_t)view->TextLength());
		lap("text");
		std::string after = LocaleMerge::MergeEntries(before, entries);
		lap("merge");
		TextChange change = SmallestChange(before, after);
		lap("change");
		view->Delete((int32)change.from, (int32)change.to);
		lap("delete");
		view->Insert((int32)change.from, change.replacement.data(),
		             (int32)change.replacement.size());
		gWindow->Unlock();
		Pump();
		lap("insert");
		state.SetIterationTime(ProcessCpuSeconds() - total);
	}
	if (EditedText() != LoadedText(inputs))
		state.SkipWithError("the steps did not give the loaded text");
}

// The floor under any load into a text document: a bare QTextDocument
// taking the loaded text whole, without colours or an editor around it.
void BM_BareDocument(benchmark::State& state)
{
	const int count = (int)state.range(0);
	const std::string text = LoadedText(TextsFor(count));
	for (auto _ : state) {
		auto document = std::make_unique<QTextDocument>();
		double cpu = ProcessCpuSeconds();
		double wall = WallSeconds();
		document->setPlainText(QString::fromUtf8(text.data(), (qsizetype)text.size()));
		cpu = ProcessCpuSeconds() - cpu;
		wall = WallSeconds() - wall;
		if (document->blockCount() < count) {
			state.SkipWithError("the document lost lines");
			return;
		}
		Record(state, "document/" + std::to_string(count), cpu, wall);
	}
}

// ---- The peers -------------------------------------------------------------

// Entry count 1 stands for the start-up of the peer program.
void PeerInputs(int count, std::string* po, std::string* pot)
{
	*po = gScratch + "/de" + std::to_string(count) + ".po";
	*pot = gScratch + "/ref" + std::to_string(count) + ".pot";
	if (!fs::exists(*po)) {
		WritePo(*po, TextsFor(count), true);
		WritePo(*pot, TextsFor(count), false);
	}
}

void RunPeer(benchmark::State& state, const std::string& name,
             const std::vector<std::string>& arguments)
{
	for (auto _ : state) {
		double cpu = 0;
		double wall = 0;
		if (!RunProgram(arguments, &cpu, &wall)) {
			state.SkipWithError((arguments[0] + " failed (is gettext installed?)").c_str());
			return;
		}
		Record(state, name, cpu, wall);
	}
}

void BM_Msgmerge(benchmark::State& state)
{
	const int count = (int)state.range(0);
	std::string po, pot;
	PeerInputs(count, &po, &pot);
	RunPeer(state, "msgmerge/" + std::to_string(count),
	        {"msgmerge", "--quiet", "-N", po, pot, "-o", gScratch + "/merged.po"});
}

void BM_Msgfmt(benchmark::State& state)
{
	const int count = (int)state.range(0);
	std::string po, pot;
	PeerInputs(count, &po, &pot);
	RunPeer(state, "msgfmt/" + std::to_string(count), {"msgfmt", po, "-o", gScratch + "/de.mo"});
}

// ---- Memory ----------------------------------------------------------------

// Resident size and its peak, in KiB, from /proc/self/status.
struct Resident
{
	long now = -1;
	long peak = -1;
};

Resident ReadResident()
{
	Resident resident;
	std::ifstream status("/proc/self/status");
	std::string line;
	while (std::getline(status, line)) {
		if (line.rfind("VmRSS:", 0) == 0)
			resident.now = std::atol(line.c_str() + 6);
		else if (line.rfind("VmHWM:", 0) == 0)
			resident.peak = std::atol(line.c_str() + 6);
	}
	return resident;
}

// Lowers the peak to the present resident size, so that the peak read later
// belongs to what happened since. False where the kernel does not allow it.
bool ResetPeak()
{
	std::ofstream clear("/proc/self/clear_refs");
	clear << "5";
	clear.flush();
	return clear.good();
}

// Prints "held_kib=<growth of the resident size> peak_kib=<growth of the
// peak>" for the editor or a bare document taking the text of count
// entries; everything else is made before the first reading.
int MeasureMemory(const std::string& subject, int count)
{
	const Inputs& inputs = TextsFor(count);
	if (subject == "document") {
		int argc = 1;
		char name[] = "bench_editor_files";
		char* argv[] = {name, nullptr};
		QGuiApplication app(argc, argv);
		std::string text = LoadedText(inputs);
		auto document = std::make_unique<QTextDocument>();
		Resident before = ReadResident();
		if (!ResetPeak())
			return 2;
		document->setPlainText(QString::fromUtf8(text.data(), (qsizetype)text.size()));
		Resident after = ReadResident();
		if (document->blockCount() < count)
			return 3;
		std::printf("held_kib=%ld peak_kib=%ld\n", after.now - before.now, after.peak - before.now);
		return 0;
	}

	char pattern[] = "/tmp/le-bench-files-memory-XXXXXX";
	if (mkdtemp(pattern) == nullptr)
		return 2;
	gScratch = pattern;
	BPrivate::ScopedAlertResponder responder([](const BPrivate::shown_alert&) { return 0; });
	int result = 3;
	BMessage load;
	if (StartEditor(gScratch) && WriteLocaleFile(LocalePath(count), inputs) == B_OK &&
	    LoadMessage(count, &load)) {
		std::string blocks = ReferenceBlocks(inputs);
		Resident before = ReadResident();
		if (!ResetPeak())
			return 2;
		SetEditedText(blocks);
		bool loaded = DispatchAndWait(&load) && BPrivate::shown_alerts().empty();
		Resident after = ReadResident();
		if (loaded && EditedText() == LoadedText(inputs)) {
			std::printf("held_kib=%ld peak_kib=%ld\n", after.now - before.now,
			            after.peak - before.now);
			result = 0;
		}
	}
	std::fflush(stdout);
	StopEditor();
	std::error_code ignored;
	fs::remove_all(gScratch, ignored);
	return result;
}

// Runs this program again to measure one subject; false when it failed.
bool MemoryOf(const std::string& subject, int count, long* held, long* peak)
{
	// Resolved here: in the shell popen starts, /proc/self is the shell.
	std::error_code error;
	const fs::path self = fs::read_symlink("/proc/self/exe", error);
	if (error)
		return false;
	std::string command = "'" + self.string() + "' --memory=" + subject +
	                      " --entries=" + std::to_string(count) + " 2>/dev/null";
	FILE* pipe = popen(command.c_str(), "r");
	if (pipe == nullptr)
		return false;
	char line[256] = {};
	bool found = false;
	while (std::fgets(line, sizeof(line), pipe) != nullptr) {
		if (std::sscanf(line, "held_kib=%ld peak_kib=%ld", held, peak) == 2)
			found = true;
	}
	return pclose(pipe) == 0 && found;
}

// ---- Report ----------------------------------------------------------------

double CpuMedian(const std::string& name)
{
	auto found = gSamples.find(name);
	return found == gSamples.end() ? -1 : Median(found->second.cpu);
}

double WallMedian(const std::string& name)
{
	auto found = gSamples.find(name);
	return found == gSamples.end() ? -1 : Median(found->second.wall);
}

std::string Ratio(double value, double base)
{
	if (value < 0 || base <= 0)
		return "n/a";
	char text[32];
	std::snprintf(text, sizeof(text), "%.2f", value / base);
	return text;
}

std::string Verdict(double value, double base, double goal)
{
	if (value < 0 || base <= 0)
		return "not measured";
	return value / base <= goal ? "met" : "MISSED";
}

// A figure, or "n/a" where it was not measured (negative).
std::string Figure(double value, double scale)
{
	if (value < 0)
		return "n/a";
	char text[32];
	std::snprintf(text, sizeof(text), "%.1f", value * scale);
	return text;
}

// "<cpu> (<wall>)" in ms, from seconds.
std::string Times(double cpu, double wall)
{
	return Figure(cpu, 1e3) + " (" + Figure(wall, 1e3) + ")";
}

void PrintTable(int memoryRuns)
{
	std::printf("\n== Editor files: processor time in ms, median of runs (wall time)\n");
	std::printf("%-5s %-7s %20s %20s %16s %7s %6s\n", "case", "N", "editor", "peer",
	            "peer - start-up", "ratio", "goal");
	struct Row
	{
		const char* label;
		const char* editor;
		const char* peer;
		const char* peerName;
	} rows[] = {{"load", "load/", "msgmerge/", "msgmerge -N"},
	            {"save", "save/", "msgfmt/", "msgfmt"}};
	for (const Row& row : rows) {
		double startCpu = CpuMedian(std::string(row.peer) + "1");
		std::printf("%-5s %-7s %20s %20s %16s   (%s start-up, one entry)\n", row.label, "1", "",
		            Times(startCpu, WallMedian(std::string(row.peer) + "1")).c_str(), "",
		            row.peerName);
		for (int count : {kSmall, kLarge}) {
			std::string n = std::to_string(count);
			double editor = CpuMedian(row.editor + n);
			double peer = CpuMedian(row.peer + n);
			double work = peer >= 0 && startCpu >= 0 ? peer - startCpu : -1;
			std::printf("%-5s %-7s %20s %20s %16s %7s %6s  %s\n", row.label, n.c_str(),
			            Times(editor, WallMedian(row.editor + n)).c_str(),
			            Times(peer, WallMedian(row.peer + n)).c_str(), Figure(work, 1e3).c_str(),
			            Ratio(editor, work).c_str(), "<=0.33",
			            Verdict(editor, work, 1.0 / 3.0).c_str());
		}
	}
	for (int count : {kSmall, kLarge}) {
		std::string n = std::to_string(count);
		double editor = CpuMedian("load/" + n);
		double document = CpuMedian("document/" + n);
		std::printf("load %-7s bare QTextDocument taking the loaded text: %s ms; editor / it: %s\n",
		            n.c_str(), Figure(document, 1e3).c_str(), Ratio(editor, document).c_str());
	}
	for (int count : {kSmall, kLarge}) {
		std::string n = std::to_string(count);
		std::printf("load %-7s steps (ms):", n.c_str());
		for (const char* step : {"read", "entries", "text", "merge", "change", "delete", "insert"})
			std::printf(" %s %s", step,
			            Figure(CpuMedian(std::string("step ") + step + "/" + n), 1e3).c_str());
		std::printf("\n");
	}
	double small = CpuMedian("load/" + std::to_string(kSmall));
	double large = CpuMedian("load/" + std::to_string(kLarge));
	std::printf("load 100k / 10k: %s (goal <= 13, linear = 10)  %s\n", Ratio(large, small).c_str(),
	            Verdict(large, small, 13).c_str());

	// Peaks move with the allocator's luck; the smallest of a few runs each.
	long editorHeld = -1, editorPeak = -1, documentHeld = -1, documentPeak = -1;
	for (int i = 0; i < memoryRuns; i++) {
		long held = 0, peak = 0;
		if (MemoryOf("editor", kLarge, &held, &peak)) {
			editorHeld = editorHeld < 0 ? held : std::min(editorHeld, held);
			editorPeak = editorPeak < 0 ? peak : std::min(editorPeak, peak);
		}
		if (MemoryOf("document", kLarge, &held, &peak)) {
			documentHeld = documentHeld < 0 ? held : std::min(documentHeld, held);
			documentPeak = documentPeak < 0 ? peak : std::min(documentPeak, peak);
		}
	}
	std::printf("\n== Memory for the %d-entry text (%zu bytes): growth of the resident size in "
	            "MiB, smallest of %d runs\n",
	            kLarge, LoadedText(TextsFor(kLarge)).size(), memoryRuns);
	std::printf("%-28s %10s %10s\n", "", "peak", "held after");
	std::printf("%-28s %10s %10s\n", "editor (blocks, then load)",
	            Figure(editorPeak, 1 / 1024.0).c_str(), Figure(editorHeld, 1 / 1024.0).c_str());
	std::printf("%-28s %10s %10s\n", "bare QTextDocument", Figure(documentPeak, 1 / 1024.0).c_str(),
	            Figure(documentHeld, 1 / 1024.0).c_str());
	std::printf("%-28s %10s %10s  goal <= 1.30 on the peak: %s\n", "ratio",
	            Ratio(editorPeak, documentPeak).c_str(), Ratio(editorHeld, documentHeld).c_str(),
	            Verdict(editorPeak, documentPeak, 1.3).c_str());
}

} // namespace

namespace {

// Each case at both sizes; fewer runs where one run is long.
void RegisterCases()
{
	const struct
	{
		const char* name;
		void (*function)(benchmark::State&);
	} cases[] = {{"BM_EditorLoad", BM_EditorLoad}, {"BM_EditorSave", BM_EditorSave},
	             {"BM_LoadSteps", BM_LoadSteps},   {"BM_BareDocument", BM_BareDocument},
	             {"BM_Msgmerge", BM_Msgmerge},     {"BM_Msgfmt", BM_Msgfmt}};
	for (const auto& each : cases) {
		bool peer = each.function == BM_Msgmerge || each.function == BM_Msgfmt;
		std::vector<std::pair<int, int>> sizes = {{kSmall, 5}, {kLarge, 3}};
		if (peer)
			sizes.insert(sizes.begin(), {1, 9}); // the peer's start-up
		for (auto [count, runs] : sizes) {
			benchmark::RegisterBenchmark(each.name, each.function)
			    ->Arg(count)
			    ->Iterations(runs)
			    ->UseManualTime()
			    ->Unit(benchmark::kMillisecond);
		}
	}
}

} // namespace

int main(int argc, char** argv)
{
	std::string memory;
	int entries = kLarge;
	int memoryRuns = 3;
	std::vector<char*> rest;
	for (int i = 0; i < argc; i++) {
		std::string argument = argv[i];
		if (argument.rfind("--memory=", 0) == 0)
			memory = argument.substr(9);
		else if (argument.rfind("--entries=", 0) == 0)
			entries = std::max(1, std::atoi(argument.c_str() + 10));
		else if (argument.rfind("--memory-runs=", 0) == 0)
			memoryRuns = std::max(0, std::atoi(argument.c_str() + 14));
		else
			rest.push_back(argv[i]);
	}
	if (!memory.empty())
		return MeasureMemory(memory, entries);

	RegisterCases();
	int restCount = (int)rest.size();
	benchmark::Initialize(&restCount, rest.data());
	char pattern[] = "/tmp/le-bench-files-XXXXXX";
	if (mkdtemp(pattern) == nullptr)
		return 1;
	gScratch = pattern;
	// A failed load or save would otherwise wait on an alert nobody sees.
	BPrivate::ScopedAlertResponder responder([](const BPrivate::shown_alert&) { return 0; });
	if (!StartEditor(gScratch)) {
		std::fprintf(stderr, "bench_editor_files: the editor window has no text view\n");
		return 1;
	}
	benchmark::RunSpecifiedBenchmarks();
	StopEditor();
	PrintTable(memoryRuns);
	std::error_code ignored;
	fs::remove_all(gScratch, ignored);
	return 0;
}
