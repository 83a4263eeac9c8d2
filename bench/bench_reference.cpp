// Reference benchmarks, run by bench/reference.sh under a private session
// bus:
//  - applying a reference of N texts to an edited text of N translation
//    lines, each under an old block, in the editor's window (offscreen),
//    against msgen writing the same N entries (its start-up subtracted);
//  - fetching the 38 texts of another running editor against a D-Bus
//    Peer.Ping round trip to it (one after the other, and in turns), with
//    one request alone and the look-up by signature that precedes a fetch
//    in the editor.
// Prints every figure and the ratios at the end.
//
// usage: bench_reference [--editor=PATH] [benchmark options]

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QEventLoop>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <Application.h>
#include <Message.h>
#include <Messenger.h>
#include <Roster.h>
#include <TextView.h>
#include <View.h>

#include "BenchProcess.h"
#include "LocaleEditorApplication.h"
#include "LocaleSuiteClient.h"
#include "LocaleTextView.h"
#include "ZTLEWindow.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

std::string gScratch;
std::string gEditor = "build/LocaleEditor";
ZTLEWindow* gWindow = nullptr;
pid_t gPeer = -1;

class BenchApplication : public LocaleEditorApplication
{
public:
	BenchApplication(const char* folder) : LocaleEditorApplication(folder, BMessenger()) {}
};

void Pump()
{
	QCoreApplication::processEvents(QEventLoop::AllEvents);
	QCoreApplication::sendPostedEvents();
}

std::string EditedText(int64_t count)
{
	std::string text;
	for (int64_t i = 1; i <= count; i++) {
		text += "; #ID" + std::to_string(i) + ":\n; Old reference text number " +
		        std::to_string(i) + "\nTranslated text number " + std::to_string(i) + "\n";
	}
	return text;
}

std::string ReferenceText(int64_t i)
{
	return "Reference text number " + std::to_string(i);
}

void BM_ApplyReference(benchmark::State& state)
{
	const int64_t count = state.range(0);
	std::string text = EditedText(count);
	BMessage reference;
	reference.AddString("zt:language", "English");
	reference.AddString("zt:app_id", "bench");
	for (int64_t i = 0; i < count; i++)
		reference.AddString("zt:text", ReferenceText(i).c_str());
	BTextView* view = LocaleTextView(gWindow);
	if (view == nullptr) {
		state.SkipWithError("no locale text view");
		return;
	}
	for (auto _ : state) {
		gWindow->Lock();
		view->SetText(text.data(), static_cast<int32>(text.size()));
		gWindow->Unlock();
		Pump();

		auto start = Clock::now();
		gWindow->Lock();
		gWindow->ReferenceSet(&reference);
		gWindow->Unlock();
		// Whatever the view left for the event loop belongs to the cost.
		Pump();
		state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
	}
	gWindow->Lock();
	bool placed =
	    std::string(view->Text()).find("; " + ReferenceText(count - 1) + "\n") != std::string::npos;
	view->SetText("");
	gWindow->Unlock();
	if (!placed)
		state.SkipWithError("the reference was not placed");
	state.counters["texts"] = static_cast<double>(count);
}

// A .po file of count entries with empty translations for msgen to fill.
std::string PoFile(int64_t count)
{
	std::string path = gScratch + "/in" + std::to_string(count) + ".po";
	if (fs::exists(path))
		return path;
	std::ofstream out(path);
	out << "msgid \"\"\nmsgstr \"\"\n\"Content-Type: text/plain; charset=UTF-8\\n\"\n\n";
	for (int64_t i = 0; i < count; i++)
		out << "msgid \"" << ReferenceText(i) << "\"\nmsgstr \"\"\n\n";
	return path;
}

bool RunMsgen(const std::string& input)
{
	std::string output = gScratch + "/out.po";
	pid_t pid = fork();
	if (pid == 0) {
		execlp("msgen", "msgen", input.c_str(), "-o", output.c_str(), (char*)nullptr);
		_exit(127);
	}
	int status = 0;
	waitpid(pid, &status, 0);
	return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void BM_Msgen(benchmark::State& state)
{
	std::string input = PoFile(state.range(0));
	for (auto _ : state) {
		auto start = Clock::now();
		if (!RunMsgen(input)) {
			state.SkipWithError("msgen failed (is gettext installed?)");
			return;
		}
		state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
	}
}

void BM_FetchReference(benchmark::State& state)
{
	LocaleSuiteClient client(current_team());
	BMessenger target(nullptr, gPeer);
	for (auto _ : state) {
		BMessage reference;
		status_t status = client.FetchReference(target, &reference);
		int32 count = 0;
		type_code type;
		reference.GetInfo("zt:text", &type, &count);
		if (status != B_OK || count != 38) {
			state.SkipWithError("the other editor did not answer with 38 texts");
			return;
		}
	}
}

void BM_PeerPing(benchmark::State& state)
{
	QDBusMessage ping = QDBusMessage::createMethodCall(
	    QStringLiteral("org.vessmor.Team") + QString::number(gPeer), QStringLiteral("/"),
	    QStringLiteral("org.freedesktop.DBus.Peer"), QStringLiteral("Ping"));
	QDBusConnection bus = QDBusConnection::sessionBus();
	for (auto _ : state) {
		QDBusMessage reply = bus.call(ping, QDBus::Block, 5000);
		if (reply.type() != QDBusMessage::ReplyMessage) {
			state.SkipWithError("no ping reply");
			return;
		}
	}
}

// Fetch and ping taken in turns, each timed alone: a load that comes and
// goes on the machine then weighs on both alike. Keeps the medians.
double gTurnsFetch = -1;
double gTurnsPing = -1;

void BM_FetchAndPingInTurns(benchmark::State& state)
{
	LocaleSuiteClient client(current_team());
	BMessenger target(nullptr, gPeer);
	QDBusMessage ping = QDBusMessage::createMethodCall(
	    QStringLiteral("org.vessmor.Team") + QString::number(gPeer), QStringLiteral("/"),
	    QStringLiteral("org.freedesktop.DBus.Peer"), QStringLiteral("Ping"));
	QDBusConnection bus = QDBusConnection::sessionBus();
	std::vector<double> fetches, pings;
	for (auto _ : state) {
		auto start = Clock::now();
		BMessage reference;
		status_t status = client.FetchReference(target, &reference);
		auto fetched = Clock::now();
		QDBusMessage reply = bus.call(ping, QDBus::Block, 5000);
		auto pinged = Clock::now();
		if (status != B_OK || reply.type() != QDBusMessage::ReplyMessage) {
			state.SkipWithError("the other editor did not answer");
			return;
		}
		fetches.push_back(std::chrono::duration<double>(fetched - start).count());
		pings.push_back(std::chrono::duration<double>(pinged - fetched).count());
	}
	gTurnsFetch = Median(fetches);
	gTurnsPing = Median(pings);
}

// One DefaultText request on its own, for the cost of a single round trip.
void BM_SingleRequest(benchmark::State& state)
{
	BMessenger target(nullptr, gPeer);
	BMessage request(B_GET_PROPERTY);
	request.AddSpecifier("DefaultText");
	for (auto _ : state) {
		BMessage reply;
		if (target.SendMessage(&request, &reply, 5000000, 5000000) != B_OK) {
			state.SkipWithError("the other editor did not answer");
			return;
		}
	}
}

// Finding an application by signature, as the editor does before each
// fetch. Both editors share the signature, so this finds the first one; the
// cost is the look-up either way.
void BM_MessengerBySignature(benchmark::State& state)
{
	for (auto _ : state) {
		BMessenger target(kAppSignature);
		if (target.Team() < 0) {
			state.SkipWithError("no application with the editor's signature");
			return;
		}
	}
}

// Keeps each benchmark's mean real time per iteration, in seconds.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
	void ReportRuns(const std::vector<Run>& runs) override
	{
		ConsoleReporter::ReportRuns(runs);
		for (const Run& run : runs) {
			if (run.error_occurred || run.run_type != Run::RT_Iteration || run.iterations == 0)
				continue;
			seconds[run.benchmark_name()] = run.real_accumulated_time / run.iterations;
		}
	}
	std::map<std::string, double> seconds;
};

double Find(const RatioReporter& reporter, const std::string& prefix)
{
	for (const auto& [name, value] : reporter.seconds) {
		if (name.rfind(prefix, 0) == 0)
			return value;
	}
	return -1;
}

void PrintRatios(const RatioReporter& reporter)
{
	double msgenStart = Find(reporter, "BM_Msgen/0/");
	std::printf("\n== Reference figures\n");
	double apply[2] = {0, 0};
	const int64_t counts[2] = {10000, 100000};
	for (int i = 0; i < 2; i++) {
		std::string n = std::to_string(counts[i]);
		apply[i] = Find(reporter, "BM_ApplyReference/" + n + "/");
		double msgen = Find(reporter, "BM_Msgen/" + n + "/");
		double work = msgen - msgenStart;
		std::printf("apply %6s texts: %8.1f ms   msgen: %8.1f ms (%.1f ms start-up subtracted)"
		            "   ratio %.2f (goal <= 1)\n",
		            n.c_str(), apply[i] * 1e3, work * 1e3, msgenStart * 1e3,
		            work > 0 ? apply[i] / work : -1.0);
	}
	if (apply[0] > 0 && apply[1] > 0)
		std::printf("apply 100k / 10k: %.2f (goal <= 13, linear = 10)\n", apply[1] / apply[0]);
	double fetch = Find(reporter, "BM_FetchReference");
	double ping = Find(reporter, "BM_PeerPing");
	if (fetch > 0 && ping > 0) {
		std::printf("fetch 38 texts: %.3f ms   ping: %.3f ms   ratio %.2f (goal <= 5)\n",
		            fetch * 1e3, ping * 1e3, fetch / ping);
	}
	if (gTurnsFetch > 0 && gTurnsPing > 0) {
		std::printf("in turns (medians): fetch %.3f ms   ping: %.3f ms   ratio %.2f (goal <= 5)\n",
		            gTurnsFetch * 1e3, gTurnsPing * 1e3, gTurnsFetch / gTurnsPing);
	}
	double single = Find(reporter, "BM_SingleRequest");
	double lookUp = Find(reporter, "BM_MessengerBySignature");
	if (single > 0 && lookUp >= 0 && fetch > 0 && ping > 0) {
		std::printf("one request: %.3f ms (%.2f pings)   look-up by signature: %.4f ms"
		            "   fetch by signature: ratio %.2f\n",
		            single * 1e3, single / ping, lookUp * 1e3, (fetch + lookUp) / ping);
	}
}

bool StartPeerEditor()
{
	std::string folder = gScratch + "/peer-editor";
	fs::create_directories(folder);
	std::string copy = folder + "/LocaleEditor";
	fs::copy_file(gEditor, copy, fs::copy_options::overwrite_existing);
	fs::permissions(copy, fs::perms::owner_all);
	gPeer = fork();
	if (gPeer == 0) {
		setenv("QT_QPA_PLATFORM", "offscreen", 1);
		execl(copy.c_str(), copy.c_str(), (char*)nullptr);
		_exit(127);
	}
	// Up when it answers the suite.
	LocaleSuiteClient client(-1, 1000000, 1000000);
	auto end = Clock::now() + std::chrono::seconds(20);
	while (Clock::now() < end) {
		BMessage reference;
		if (client.FetchReference(BMessenger(nullptr, gPeer), &reference) == B_OK)
			return true;
		std::this_thread::sleep_for(std::chrono::milliseconds(50));
	}
	return false;
}

} // namespace

BENCHMARK(BM_ApplyReference)
    ->Arg(10000)
    ->Arg(100000)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Msgen)->Arg(0)->Arg(10000)->Arg(100000)->UseManualTime()->Iterations(3)->Unit(
    benchmark::kMillisecond);
BENCHMARK(BM_FetchReference)->Iterations(200)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SingleRequest)->Iterations(200)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FetchAndPingInTurns)->Iterations(400)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MessengerBySignature)->Iterations(200)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PeerPing)->Iterations(200)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
	std::vector<char*> rest;
	for (int i = 0; i < argc; i++) {
		std::string argument = argv[i];
		if (argument.rfind("--editor=", 0) == 0)
			gEditor = argument.substr(9);
		else
			rest.push_back(argv[i]);
	}
	int restCount = static_cast<int>(rest.size());
	benchmark::Initialize(&restCount, rest.data());

	char pattern[] = "/tmp/le-bench-reference-XXXXXX";
	if (mkdtemp(pattern) == nullptr)
		return 1;
	gScratch = pattern;

	BenchApplication* app = new BenchApplication(gScratch.c_str());
	app->Lock();
	app->BLooper::Run();
	gWindow = new ZTLEWindow("Korvane Locale Editor", app->Prefs(), B_TITLED_WINDOW_LOOK,
	                         B_NORMAL_WINDOW_FEEL, 0);
	gWindow->Show();
	Pump();

	if (!StartPeerEditor())
		std::fprintf(stderr, "bench_reference: the second editor did not come up\n");

	RatioReporter reporter;
	benchmark::RunSpecifiedBenchmarks(&reporter);
	PrintRatios(reporter);

	if (gPeer > 0) {
		kill(gPeer, SIGTERM);
		waitpid(gPeer, nullptr, 0);
	}
	if (gWindow->Lock())
		gWindow->Quit();
	Pump();
	if (app->Lock())
		app->Quit();
	std::error_code ignored;
	fs::remove_all(gScratch, ignored);
	return 0;
}
