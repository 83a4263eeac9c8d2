// hey: sends one scripting message to a running application and prints the
// reply.
//
//   hey [-j] [-t MS] APP VERB [SPECIFIER [of SPECIFIER]*] [to VALUE]
//       [with NAME=VALUE [and NAME=VALUE]*]
//
// Exit status: 0 for a reply, 1 for an error reply or no reply in time, 2
// for bad usage or no such application.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <AppDefs.h>
#include <Errors.h>
#include <Message.h>
#include <OS.h>
#include <PlainBusClient.h>

#include "HeyRequest.h"
#include "ReplyPrinter.h"
#include "TargetFinder.h"

namespace {

const int kExitReply = 0;
const int kExitErrorReply = 1;
const int kExitUsage = 2;
// The whole run without -t: the layer's longest wait for another process.
const bigtime_t kMaxRun = BPrivate::PlainBusClient::LongestWait();

const char* kUsage =
    "usage: hey [-j] [-t MS] APP VERB [SPECIFIER [of SPECIFIER]*] [to VALUE]\n"
    "           [with NAME=VALUE [and NAME=VALUE]*]\n"
    "  APP        a signature, an executable's name or a team\n"
    "  VERB       get set do count create delete getsuites quit, or a 4-character code\n"
    "  SPECIFIER  Name | Name N | Name [N] | Name [-N] | Name [N to M] | Name \"text\"\n"
    "  VALUE      \"text\" 42 1.5 true false BPoint(x,y) BRect(l,t,r,b) rgb_color(r,g,b,a)\n"
    "             text_run_array(OFFSET \"FAMILY\" \"STYLE\" SIZE rgb_color(r,g,b,a); ...)\n"
    "  -j         print the reply as JSON\n"
    "  -t MS      wait at most MS milliseconds for the reply\n";

int usage_error(const std::string& reason)
{
	fprintf(stderr, "hey: %s\n%s", reason.c_str(), kUsage);
	return kExitUsage;
}

// An error reply: not understood, or an "error" other than B_OK.
bool is_error_reply(const BMessage& reply)
{
	if (reply.what == B_MESSAGE_NOT_UNDERSTOOD)
		return true;
	int32 error = B_OK;
	return reply.FindInt32("error", &error) == B_OK && error != B_OK;
}

} // namespace

int main(int argc, char** argv)
{
	bool json = false;
	bigtime_t timeout = B_INFINITE_TIMEOUT;
	int at = 1;
	for (; at < argc && argv[at][0] == '-' && argv[at][1] != '\0'; at++) {
		if (strcmp(argv[at], "-j") == 0) {
			json = true;
		} else if (strcmp(argv[at], "-t") == 0 && at + 1 < argc) {
			char* end = nullptr;
			errno = 0;
			long ms = strtol(argv[++at], &end, 10);
			if (errno != 0 || end == argv[at] || *end != '\0' || ms <= 0 || ms > 3600 * 1000)
				return usage_error(std::string("bad time-out ") + argv[at]);
			timeout = (bigtime_t)ms * 1000;
		} else if (strcmp(argv[at], "-h") == 0 || strcmp(argv[at], "--help") == 0) {
			fputs(kUsage, stdout);
			return kExitReply;
		} else {
			return usage_error(std::string("unknown option ") + argv[at]);
		}
	}
	if (argc - at < 2)
		return usage_error("an application and a verb are needed");
	const std::string app = argv[at++];
	HeyRequest request;
	if (!request.Parse(std::vector<std::string>(argv + at, argv + argc)))
		return usage_error(request.Error());

	// The bus library alone, not the layer's messengers over Qt: a run of
	// hey is mostly its start, and this starts as fast as the bus's tools.
	BPrivate::PlainBusClient bus;
	if (!bus.Connect()) {
		fprintf(stderr, "hey: no session bus to find %s on\n", app.c_str());
		return kExitUsage;
	}
	// One deadline for the whole run: finding the application (whose
	// candidates may each be slow to say what they are) counts against -t as
	// much as the request itself does.
	bus.SetDeadline(system_time() + (timeout == B_INFINITE_TIMEOUT ? kMaxRun : timeout));
	const team_id team = FindTarget(bus, app);
	if (team < 0 && bus.DeadlinePassed()) {
		fprintf(stderr, "hey: %s was not found in time\n", app.c_str());
		return kExitErrorReply;
	}
	if (team < 0) {
		fprintf(stderr, "hey: no application %s is running\n", app.c_str());
		return kExitUsage;
	}

	BMessage reply;
	status_t status = bus.Request(team, request.Message(), &reply, timeout);
	if (status == B_TIMED_OUT) {
		fprintf(stderr, "hey: %s did not answer in time\n", app.c_str());
		return kExitErrorReply;
	}
	if (status == B_PERMISSION_DENIED) {
		fprintf(stderr,
		        "hey: the bus name of team %d is held by process %d, not by team %d: refused\n",
		        (int)team, (int)bus.Impostor(), (int)team);
		return kExitErrorReply;
	}
	if (status == B_BAD_PORT_ID) {
		fprintf(stderr, "hey: no application %s is running\n", app.c_str());
		return kExitUsage;
	}
	if (status == B_BAD_HANDLER) {
		fprintf(stderr, "hey: application %s is gone\n", app.c_str());
		return kExitUsage;
	}
	if (status != B_OK) {
		const std::string why = bus.ErrorText().empty() ? b_status_string(status) : bus.ErrorText();
		fprintf(stderr, "hey: no usable reply from %s: %s\n", app.c_str(), why.c_str());
		return kExitErrorReply;
	}
	if (json) {
		const std::string text = FormatReplyJson(reply, request.AsksSuites());
		fwrite(text.data(), 1, text.size(), stdout);
	} else {
		WriteReply(stdout, reply, request.AsksSuites());
	}
	if (!is_error_reply(reply))
		return kExitReply;
	// What the application said went wrong, where it said it in words.
	const char* why = nullptr;
	if (reply.FindString("message", &why) == B_OK && why != nullptr && why[0] != '\0')
		fprintf(stderr, "hey: %s\n", why);
	return kExitErrorReply;
}
