// name_squatter: a process that takes bus names of the layer's form and then
// never reads from the bus again: it answers nothing, neither requests nor
// the application-info question. For tests of what a client does with a
// name held by the wrong process, or with peers that stay silent.
//
// Usage: name_squatter [--option=value ...]
//   --name=NAME        take NAME (may be given several times)
//   --own-team         take the name of its own team, org.vessmor.Team<pid>
//   --ready-file=PATH  write "ready <pid>" to PATH once every name is held
//   --lifetime-ms=MS   exit after MS milliseconds (60000), should nobody end it
//   --help             print this usage and exit 2
// Exits 0 after its lifetime, 1 without a session bus or when a name could
// not be taken, 2 on a bad option. Options are stable: other tests rely on them.
#include <dbus/dbus.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "PeerOptions.h"

namespace {

const char* kUsage = "usage: name_squatter [--name=NAME ...] [--own-team] [--ready-file=PATH] "
                     "[--lifetime-ms=MS]\n";

} // namespace

int main(int argc, char** argv)
{
	std::vector<PeerOption> options;
	if (!parse_peer_options(argc, argv, &options)) {
		fputs(kUsage, stderr);
		return 2;
	}
	std::vector<std::string> names;
	std::string readyFile;
	long lifetimeMs = 60000;
	for (const PeerOption& option : options) {
		if (option.name == "name" && option.hasValue && !option.value.empty()) {
			names.push_back(option.value);
		} else if (option.name == "own-team" && !option.hasValue) {
			names.push_back("org.vessmor.Team" + std::to_string(getpid()));
		} else if (option.name == "ready-file" && option.hasValue) {
			readyFile = option.value;
		} else if (option.name == "lifetime-ms" && option.hasValue) {
			lifetimeMs = atol(option.value.c_str());
		} else {
			fprintf(stderr, "name_squatter: bad option --%s\n%s", option.name.c_str(), kUsage);
			return 2;
		}
	}
	DBusError error;
	dbus_error_init(&error);
	DBusConnection* bus = dbus_bus_get_private(DBUS_BUS_SESSION, &error);
	if (bus == nullptr) {
		fprintf(stderr, "name_squatter: no session bus\n");
		return 1;
	}
	for (const std::string& name : names) {
		if (dbus_bus_request_name(bus, name.c_str(), DBUS_NAME_FLAG_DO_NOT_QUEUE, &error) !=
		    DBUS_REQUEST_NAME_REPLY_PRIMARY_OWNER) {
			fprintf(stderr, "name_squatter: %s not taken\n", name.c_str());
			return 1;
		}
	}
	write_peer_file(readyFile, "ready " + std::to_string(getpid()) + "\n");
	// Never reading again: every call to it waits out its caller's time-out.
	std::this_thread::sleep_for(std::chrono::milliseconds(lifetimeMs));
	dbus_connection_close(bus);
	dbus_connection_unref(bus);
	return 0;
}
