// plain_peer: an application on the platform layer that speaks no scripting
// suite of its own (only the framework's), for roster and messaging tests.
//
// Usage: plain_peer [--option=value ...] [file ...]
//   --signature=SIG    application signature (application/x-vnd.test-plainpeer)
//   --ready-file=PATH  write "ready <team>" to PATH once the application runs
//   --log-file=PATH    append what the application receives, one line each:
//                      "ready", "refs <path> <path> ...", "argv <count>",
//                      "quit-requested"
//   --refuse-quit      QuitRequested answers false (logged all the same)
//   --start-delay-ms=MS wait MS milliseconds before the application starts
//                      (and joins the bus), so a test can learn its team first
//   --help             print this usage and exit 2
// Files named on the command line arrive as one B_REFS_RECEIVED. Options are
// stable: other tests rely on them. Exits 0 after quitting, 2 on a bad option.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "Application.h"
#include "Entry.h"
#include "Message.h"
#include "PeerOptions.h"

namespace {

const char* kUsage = "usage: plain_peer [--signature=SIG] [--ready-file=PATH] [--log-file=PATH] "
                     "[--refuse-quit] [--start-delay-ms=MS] [file ...]\n";

struct PlainSettings
{
	std::string signature = "application/x-vnd.test-plainpeer";
	std::string readyFile;
	std::string logFile;
	bool refuseQuit = false;
	long startDelayMs = 0;
};

class PlainPeer : public BApplication
{
public:
	explicit PlainPeer(const PlainSettings& settings)
	    : BApplication(settings.signature.c_str()), mSettings(settings)
	{
	}

	void ReadyToRun() override
	{
		_Log("ready");
		write_peer_file(mSettings.readyFile, "ready " + std::to_string(Team()) + "\n");
	}

	void ArgvReceived(int32 argc, char** argv) override
	{
		(void)argv;
		_Log("argv " + std::to_string(argc));
	}

	void RefsReceived(BMessage* message) override
	{
		std::string line = "refs";
		entry_ref ref;
		for (int32 i = 0; message->FindRef("refs", i, &ref) == B_OK; i++) {
			line += ' ';
			line += ref.FullPath();
		}
		_Log(line);
	}

	bool QuitRequested() override
	{
		_Log("quit-requested");
		return !mSettings.refuseQuit;
	}

private:
	void _Log(const std::string& line)
	{
		if (mSettings.logFile.empty())
			return;
		std::ofstream out(mSettings.logFile, std::ios::app);
		out << line << "\n";
	}

	PlainSettings mSettings;
};

} // namespace

int main(int argc, char** argv)
{
	PlainSettings settings;
	std::vector<PeerOption> options;
	bool ok = parse_peer_options(argc, argv, &options);
	for (const PeerOption& option : options) {
		if (option.name == "signature" && option.hasValue)
			settings.signature = option.value;
		else if (option.name == "ready-file" && option.hasValue)
			settings.readyFile = option.value;
		else if (option.name == "log-file" && option.hasValue)
			settings.logFile = option.value;
		else if (option.name == "refuse-quit" && !option.hasValue)
			settings.refuseQuit = true;
		else if (option.name == "start-delay-ms" && option.hasValue)
			settings.startDelayMs = atol(option.value.c_str());
		else
			ok = false;
	}
	if (!ok)
		return peer_usage_error(kUsage);
	if (settings.startDelayMs > 0)
		std::this_thread::sleep_for(std::chrono::milliseconds(settings.startDelayMs));
	return run_peer<PlainPeer>(settings);
}
