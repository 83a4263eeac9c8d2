// A client of the session bus for command-line programs that only ask
// running applications (hey): the protocol's Request and the roster's facts,
// spoken with the bus library alone. Unlike CommandLineClient.h it needs no
// Qt, no thread and no object of its own, so such a program starts about as
// fast as the bus's own tools. Public for such tools (link platform_app);
// one object per thread. The wire it speaks is docs/protocol.md.
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

	// One deadline (system_time()) for everything asked from now on: each
	// question of the bus and each request waits at most until then, and
	// one asked after it fails at once with B_TIMED_OUT. 0: none.
	void SetDeadline(bigtime_t deadline) { mDeadline = deadline; }
	bool DeadlinePassed() const;
	// The longest a Request waits when told B_INFINITE_TIMEOUT: the layer's
	// bound on any wait for another process.
	static bigtime_t LongestWait();

	// Sends message to the application object of team and waits at most
	// timeout (B_INFINITE_TIMEOUT: LongestWait()) for its reply. It goes to
	// the connection the bus says is the team's own process (the team's
	// name, or the alternate name it took when another process held that);
	// B_PERMISSION_DENIED when only other processes hold the team's names
	// (Impostor() tells which). The other statuses are a BMessenger's:
	// B_BAD_PORT_ID for no such team,
	// B_TIMED_OUT, B_BAD_REPLY for an answer that is no message, and those
	// of the protocol's errors. On failure reply is emptied, its what
	// B_NO_REPLY. Where the connection passes descriptors the reply comes
	// as a sealed file (RequestFd), from older peers inline (Request).
	status_t Request(team_id team, const BMessage& message, BMessage* reply, bigtime_t timeout);

	// The applications on the bus whose name the bus confirms (its owner is
	// the process of the team), in the order they joined.
	std::vector<Application> Applications();

	// After a Request refused with B_PERMISSION_DENIED: the process that
	// holds the team's name.
	team_id Impostor() const { return mImpostor; }
	// The text of the bus error behind the last failed Request ("" when it
	// had none), say why a reply was refused.
	const std::string& ErrorText() const { return mErrorText; }

private:
	// A wait of at most timeout and of what is left before the deadline.
	int _TimeoutMs(bigtime_t timeout) const;
	// The unique name of the connection of team's own process.
	status_t _Destination(team_id team, std::string* destination);
	// The unique name holding a name ("" for nobody) and its process.
	std::string _Holder(const char* name, status_t* status);
	team_id _ProcessOf(const std::string& connection, status_t* status);

	// One call of Request or RequestFd with the flattened message; *unknown
	// when the peer does not know the method.
	status_t _Call(const std::string& destination, const BusMethod& method,
	               const std::string& bytes, bigtime_t timeout, BMessage* reply, bool* unknown);

	DBusConnection* mConnection = nullptr;
	bool mPassFds = true;
	bigtime_t mDeadline = 0;
	team_id mImpostor = -1;
	std::string mErrorText;
};

} // namespace BPrivate

#endif // PLAIN_BUS_CLIENT_H
