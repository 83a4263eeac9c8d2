// Messaging between processes, run by bench/app.sh under a private session
// bus: a synchronous DefaultText request (38 texts) to a running locale_peer
// against a D-Bus Peer.Ping round trip to the same process. Prints the ratio.
//
// usage: bench_app --peer=PATH [benchmark options]
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include <QDBusConnection>
#include <QDBusMessage>

#include "Application.h"
#include "Message.h"
#include "Messenger.h"
#include "OS.h"

extern char** environ;

namespace {

std::string gPeerPath = "build/tests/locale_peer";
pid_t gPeer = -1;
std::map<std::string, double> gNanoseconds;

bool start_peer()
{
	std::string ready = "/tmp/bench_app_ready_" + std::to_string(getpid());
	unlink(ready.c_str());
	std::string readyOption = "--ready-file=" + ready;
	char* argv[] = {gPeerPath.data(), (char*)"--texts=38", readyOption.data(), nullptr};
	if (posix_spawn(&gPeer, gPeerPath.c_str(), nullptr, nullptr, argv, environ) != 0)
		return false;
	for (int i = 0; i < 1000; i++) {
		std::ifstream in(ready);
		if (in.good() && in.peek() != EOF) {
			unlink(ready.c_str());
			return true;
		}
		snooze(10000);
	}
	return false;
}

void stop_peer()
{
	if (gPeer <= 0)
		return;
	kill(gPeer, SIGTERM);
	int status;
	waitpid(gPeer, &status, 0);
}

void BM_DefaultTextRequest(benchmark::State& state)
{
	BMessenger messenger(nullptr, gPeer);
	BMessage request(B_GET_PROPERTY);
	request.AddSpecifier("DefaultText");
	BMessage reply;
	for (auto _ : state) {
		status_t status = messenger.SendMessage(&request, &reply, 5000000, 5000000);
		if (status != B_OK || reply.what != B_REPLY) {
			state.SkipWithError("request not answered");
			break;
		}
		benchmark::DoNotOptimize(reply);
	}
	type_code type;
	int32 count = 0;
	reply.GetInfo("result", &type, &count);
	state.counters["texts"] = count;
}
BENCHMARK(BM_DefaultTextRequest)->Unit(benchmark::kMicrosecond);

void BM_PeerPing(benchmark::State& state)
{
	QDBusConnection bus = QDBusConnection::sessionBus();
	QDBusMessage ping =
	    QDBusMessage::createMethodCall(QString("org.vessmor.Team%1").arg(gPeer), "/org/vessmor/App",
	                                   "org.freedesktop.DBus.Peer", "Ping");
	for (auto _ : state) {
		QDBusMessage answer = bus.call(ping, QDBus::Block, 5000);
		if (answer.type() != QDBusMessage::ReplyMessage) {
			state.SkipWithError("ping not answered");
			break;
		}
	}
}
BENCHMARK(BM_PeerPing)->Unit(benchmark::kMicrosecond);

// Keeps each benchmark's time per iteration for the ratio at the end.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
	void ReportRuns(const std::vector<Run>& runs) override
	{
		for (const Run& run : runs) {
			if (run.run_type == Run::RT_Iteration && run.iterations > 0)
				gNanoseconds[run.benchmark_name()] = run.GetAdjustedRealTime() * 1000.0;
		}
		ConsoleReporter::ReportRuns(runs);
	}
};

} // namespace

int main(int argc, char** argv)
{
	for (int i = 1; i < argc; i++) {
		if (strncmp(argv[i], "--peer=", 7) == 0)
			gPeerPath = argv[i] + 7;
	}
	benchmark::Initialize(&argc, argv);
	BApplication app("application/x-vnd.test-benchapp");
	if (!start_peer()) {
		fprintf(stderr, "bench_app: could not start %s\n", gPeerPath.c_str());
		stop_peer();
		return 1;
	}
	RatioReporter reporter;
	benchmark::RunSpecifiedBenchmarks(&reporter);
	stop_peer();
	double request = gNanoseconds["BM_DefaultTextRequest"];
	double ping = gNanoseconds["BM_PeerPing"];
	if (request > 0 && ping > 0)
		printf("DefaultText request / Peer.Ping round trip: %.2fx (goal: within 3x)\n",
		       request / ping);
	return 0;
}
