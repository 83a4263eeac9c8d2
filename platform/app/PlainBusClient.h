// A client of the session bus for command-line programs that only ask
// running applications (hey): the protocol's Request and the roster's facts,
// spoken with the bus library alone. Unlike CommandLineClient.h it needs no
// Qt, no thread and no object of its own, so such a program starts about as
// fast as the bus's own tools. Layer-internal; one thread.
#ifndef PLAIN_BUS_CLIENT_H
#define PLAIN_BUS_CLIENT_H

#include <string>
#include <vector>

#include "SupportDefs.h"

class BMessage;
struct DBusConnection;

namespace BPrivate {

struct BusMethod;

class PlainBusClient
{
public:
	struct Application
	{
		team_id team = -1;
		std::string signature;
		std::string executable; // what the process runs, links resolved
		int64 registered = 0;
	};

	PlainBusClient() = default;
	~PlainBusClient();
	PlainBusClient(const PlainBusClient&) = delete;
	PlainBusClient& operator=(const PlainBusClient&) = delete;

	// Connects to the session bus; false without one (no address, or it
	// does not answer).
	bool Connect();

	// Sends message to the application object of team and waits at most
	// timeout (B_INFINITE_TIMEOUT: kMaxRemoteWait) for its reply. The
	// statuses are a BMessenger's: B_BAD_PORT_ID for no such team,
	// B_TIMED_OUT, B_BAD_REPLY for an answer that is no message, and those
	// of the protocol's errors. On failure reply is emptied, its what
	// B_NO_REPLY. Where the connection passes descriptors the reply comes
	// as a sealed file (RequestFd), from older peers inline (Request).
	status_t Request(team_id team, const BMessage& message, BMessage* reply, bigtime_t timeout);

	// The applications on the bus whose name the bus confirms (its owner is
	// the process of the team), in the order they joined.
	std::vector<Application> Applications();

private:
	// One call of Request or RequestFd with the flattened message; *unknown
	// when the peer does not know the method.
	status_t _Call(team_id team, const BusMethod& method, const std::string& bytes,
	               bigtime_t timeout, BMessage* reply, bool* unknown);

	DBusConnection* mConnection = nullptr;
	bool mPassFds = true;
};

// The executable of a running process (links resolved), "" when unknown.
std::string executable_of(team_id team);

} // namespace BPrivate

#endif // PLAIN_BUS_CLIENT_H
