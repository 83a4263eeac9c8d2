#include "PlainBusClient.h"

#include <dbus/dbus.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "AppDefs.h"
#include "Bus.h"
#include "BusInterface.h"
#include "BusState.h"
#include "Message.h"
#include "OS.h"
#include "ProcessExecutable.h"
#include "SealedReply.h"

namespace BPrivate {

namespace {

const char kDaemon[] = "org.freedesktop.DBus";
const char kDaemonPath[] = "/org/freedesktop/DBus";

std::string service_of(team_id team)
{
	return std::string(kBusServicePrefix) + std::to_string(team);
}

// The status an error name stands for, as the Qt side reads them
// (docs/protocol.md, "Errors").
status_t status_of(const char* name)
{
	static const struct
	{
		const char* name;
		status_t status;
	} kErrors[] = {
	    {DBUS_ERROR_NO_REPLY, B_TIMED_OUT},
	    {DBUS_ERROR_TIMEOUT, B_TIMED_OUT},
	    {DBUS_ERROR_TIMED_OUT, B_TIMED_OUT},
	    {DBUS_ERROR_SERVICE_UNKNOWN, B_BAD_PORT_ID},
	    {DBUS_ERROR_NAME_HAS_NO_OWNER, B_BAD_PORT_ID},
	    {DBUS_ERROR_UNKNOWN_OBJECT, B_BAD_PORT_ID},
	    {DBUS_ERROR_DISCONNECTED, B_BAD_PORT_ID},
	    {kErrorBadMessage, B_BAD_DATA},
	    {kErrorTooLarge, B_BAD_VALUE},
	    {kErrorBadArguments, B_BAD_VALUE},
	    {kErrorNoTarget, B_BAD_HANDLER},
	    {kErrorBusy, B_BUSY},
	};
	for (const auto& known : kErrors) {
		if (name != nullptr && strcmp(name, known.name) == 0)
			return known.status;
	}
	return B_ERROR;
}

// A blocking call; the reply (to unref) or nullptr with *status set.
DBusMessage* call(DBusConnection* connection, DBusMessage* message, int timeoutMs, status_t* status)
{
	DBusError error;
	dbus_error_init(&error);
	DBusMessage* reply =
	    dbus_connection_send_with_reply_and_block(connection, message, timeoutMs, &error);
	dbus_message_unref(message);
	*status = reply != nullptr ? B_OK : status_of(error.name);
	dbus_error_free(&error);
	return reply;
}

DBusMessage* daemon_call(const char* method)
{
	return dbus_message_new_method_call(kDaemon, kDaemonPath, kDaemon, method);
}

void set_no_reply(BMessage* reply)
{
	reply->MakeEmpty();
	reply->what = B_NO_REPLY;
}

// A blocking call of our object; the answer, or nullptr with *status set
// and *unknown telling whether the peer does not know the method.
DBusMessage* call_object(DBusConnection* connection, DBusMessage* message, int timeoutMs,
                         status_t* status, bool* unknown, std::string* errorText)
{
	DBusError error;
	dbus_error_init(&error);
	DBusMessage* reply =
	    dbus_connection_send_with_reply_and_block(connection, message, timeoutMs, &error);
	*status = reply != nullptr ? B_OK : status_of(error.name);
	// Our own errors say why in words worth passing on (a reply's size);
	// the bus library's own are said better by the status.
	const bool ours = error.name != nullptr && strncmp(error.name, "org.vessmor.", 12) == 0;
	*errorText = ours && error.message != nullptr ? error.message : "";
	*unknown = reply == nullptr && error.name != nullptr &&
	           (strcmp(error.name, DBUS_ERROR_UNKNOWN_METHOD) == 0 ||
	            strcmp(error.name, DBUS_ERROR_UNKNOWN_INTERFACE) == 0);
	dbus_error_free(&error);
	return reply;
}

// The reply in an answer to Request: the flattened bytes themselves.
status_t inline_reply(DBusMessage* answer, BMessage* reply)
{
	const char* bytes = nullptr;
	int size = 0;
	if (dbus_message_has_signature(answer, kBusRequest.OutSignature().c_str()) &&
	    dbus_message_get_args(answer, nullptr, DBUS_TYPE_ARRAY, DBUS_TYPE_BYTE, &bytes, &size,
	                          DBUS_TYPE_INVALID) &&
	    size > 0 && (size_t)size <= kMaxWireMessageSize &&
	    reply->Unflatten(bytes, (size_t)size) == B_OK)
		return B_OK;
	return B_BAD_REPLY;
}

// The reply in an answer to RequestFd: a descriptor of a sealed file, which
// is ours to close once read (or refused).
status_t file_reply(DBusMessage* answer, BMessage* reply)
{
	if (!dbus_message_has_signature(answer, kBusRequestFd.OutSignature().c_str()))
		return B_BAD_REPLY;
	int fd = -1;
	if (!dbus_message_get_args(answer, nullptr, DBUS_TYPE_UNIX_FD, &fd, DBUS_TYPE_INVALID))
		return B_BAD_REPLY;
	return read_sealed_reply(fd, reply);
}

} // namespace

PlainBusClient::~PlainBusClient()
{
	if (mConnection != nullptr) {
		dbus_connection_close(mConnection);
		dbus_connection_unref(mConnection);
	}
}

bool PlainBusClient::Connect()
{
	if (mConnection != nullptr)
		return true;
	// Without an address the library would try to start a bus of its own.
	const char* address = getenv("DBUS_SESSION_BUS_ADDRESS");
	if (address == nullptr || address[0] == '\0')
		return false;
	DBusError error;
	dbus_error_init(&error);
	mConnection = dbus_bus_get_private(DBUS_BUS_SESSION, &error);
	dbus_error_free(&error);
	if (mConnection == nullptr)
		return false;
	dbus_connection_set_exit_on_disconnect(mConnection, FALSE);
	// Set, replies come inline only: to compare both ways, or where passing
	// descriptors is unwanted.
	const char* inlineOnly = getenv("VESSMOR_BUS_INLINE_REPLIES");
	mPassFds = inlineOnly == nullptr || inlineOnly[0] == '\0' || strcmp(inlineOnly, "0") == 0;
	return true;
}

bigtime_t PlainBusClient::LongestWait()
{
	return kMaxRemoteWait;
}

bool PlainBusClient::DeadlinePassed() const
{
	return mDeadline > 0 && system_time() >= mDeadline;
}

int PlainBusClient::_TimeoutMs(bigtime_t timeout) const
{
	if (timeout == B_INFINITE_TIMEOUT || timeout > kMaxRemoteWait)
		timeout = kMaxRemoteWait;
	if (mDeadline > 0)
		timeout = std::min(timeout, mDeadline - system_time());
	return (int)std::max<bigtime_t>(timeout / 1000, 1);
}

std::string PlainBusClient::_Holder(const char* name, status_t* status)
{
	DBusMessage* ask = daemon_call("GetNameOwner");
	dbus_message_append_args(ask, DBUS_TYPE_STRING, &name, DBUS_TYPE_INVALID);
	DBusMessage* answer = call(mConnection, ask, _TimeoutMs(kRosterQueryTimeout), status);
	if (answer == nullptr)
		return std::string();
	const char* holder = nullptr;
	std::string unique;
	if (dbus_message_get_args(answer, nullptr, DBUS_TYPE_STRING, &holder, DBUS_TYPE_INVALID))
		unique = holder;
	dbus_message_unref(answer);
	return unique;
}

team_id PlainBusClient::_ProcessOf(const std::string& connection, status_t* status)
{
	const char* name = connection.c_str();
	DBusMessage* ask = daemon_call("GetConnectionUnixProcessID");
	dbus_message_append_args(ask, DBUS_TYPE_STRING, &name, DBUS_TYPE_INVALID);
	DBusMessage* answer = call(mConnection, ask, _TimeoutMs(kRosterQueryTimeout), status);
	if (answer == nullptr)
		return -1;
	dbus_uint32_t process = 0;
	const bool ok =
	    dbus_message_get_args(answer, nullptr, DBUS_TYPE_UINT32, &process, DBUS_TYPE_INVALID);
	dbus_message_unref(answer);
	return ok && process > 0 && process <= (dbus_uint32_t)INT32_MAX ? (team_id)process : -1;
}

status_t PlainBusClient::_Destination(team_id team, std::string* destination)
{
	// Two questions to the bus itself, which answers at once: whose is the
	// name, and whose process is that. Sending to the unique name then
	// reaches the process checked, even should the name change hands.
	status_t status = B_OK;
	const std::string own = service_of(team);
	std::string holder = _Holder(own.c_str(), &status);
	if (!holder.empty()) {
		const team_id process = _ProcessOf(holder, &status);
		if (process == team || BusState::Default().VouchedForTesting(team)) {
			*destination = holder;
			return B_OK;
		}
		mImpostor = process;
	}
	if (status == B_TIMED_OUT || DeadlinePassed())
		return B_TIMED_OUT;
	// Held by another process (or by nobody): the application may answer
	// under an alternate name of its team.
	DBusMessage* listed =
	    call(mConnection, daemon_call("ListNames"), _TimeoutMs(kRosterQueryTimeout), &status);
	if (listed == nullptr)
		return status == B_TIMED_OUT ? B_TIMED_OUT : B_BAD_PORT_ID;
	char** names = nullptr;
	int count = 0;
	if (!dbus_message_get_args(listed, nullptr, DBUS_TYPE_ARRAY, DBUS_TYPE_STRING, &names, &count,
	                           DBUS_TYPE_INVALID))
		count = 0;
	bool found = false;
	for (int i = 0; i < count && !found; i++) {
		if (own == names[i] || team_of_bus_name(names[i]) != team)
			continue;
		holder = _Holder(names[i], &status);
		const team_id process = holder.empty() ? -1 : _ProcessOf(holder, &status);
		if (process == team) {
			*destination = holder;
			found = true;
		} else if (process > 0 && mImpostor <= 0) {
			mImpostor = process;
		}
	}
	if (names != nullptr)
		dbus_free_string_array(names);
	dbus_message_unref(listed);
	if (found)
		return B_OK;
	if (status == B_TIMED_OUT || DeadlinePassed())
		return B_TIMED_OUT;
	return mImpostor > 0 ? B_PERMISSION_DENIED : B_BAD_PORT_ID;
}

status_t PlainBusClient::Request(team_id team, const BMessage& message, BMessage* reply,
                                 bigtime_t timeout)
{
	set_no_reply(reply);
	mImpostor = -1;
	mErrorText.clear();
	if (mConnection == nullptr || team <= 0)
		return B_BAD_PORT_ID;
	if (DeadlinePassed())
		return B_TIMED_OUT;
	const ssize_t size = message.FlattenedSize();
	if (size <= 0 || (size_t)size > kMaxWireMessageSize)
		return B_BAD_VALUE;
	std::string bytes((size_t)size, '\0');
	status_t status = message.Flatten(bytes.data(), size);
	if (status != B_OK)
		return status;
	if (timeout == B_INFINITE_TIMEOUT || timeout > kMaxRemoteWait)
		timeout = kMaxRemoteWait;
	const bigtime_t start = system_time();
	std::string destination;
	status = _Destination(team, &destination);
	if (status != B_OK)
		return status;
	timeout -= system_time() - start;
	if (timeout <= 0)
		return B_TIMED_OUT;

	// Large replies crawl through the bus daemon in small reads; a file
	// passed beside the answer does not. Peers that predate RequestFd say
	// they do not know it, and are asked again the old way, in what is left
	// of the time-out.
	if (mPassFds && dbus_connection_can_send_type(mConnection, DBUS_TYPE_UNIX_FD)) {
		const bigtime_t asked = system_time();
		bool unknown = false;
		status = _Call(destination, kBusRequestFd, bytes, timeout, reply, &unknown);
		if (!unknown)
			return status;
		timeout -= system_time() - asked;
		if (timeout <= 0)
			return B_TIMED_OUT;
	}
	bool unknown = false;
	return _Call(destination, kBusRequest, bytes, timeout, reply, &unknown);
}

status_t PlainBusClient::_Call(const std::string& destination, const BusMethod& method,
                               const std::string& bytes, bigtime_t timeout, BMessage* reply,
                               bool* unknown)
{
	set_no_reply(reply);
	DBusMessage* request = dbus_message_new_method_call(destination.c_str(), kBusObjectPath,
	                                                    method.interface, method.name);
	if (request == nullptr)
		return B_NO_MEMORY;
	dbus_message_set_auto_start(request, FALSE);
	const char* data = bytes.data();
	const dbus_int32_t application = -1; // the application object, its preferred handler
	if (!dbus_message_append_args(request, DBUS_TYPE_ARRAY, DBUS_TYPE_BYTE, &data,
	                              (int)bytes.size(), DBUS_TYPE_INT32, &application, DBUS_TYPE_INT32,
	                              &application, DBUS_TYPE_INVALID)) {
		dbus_message_unref(request);
		return B_NO_MEMORY;
	}
	status_t status = B_OK;
	DBusMessage* answer =
	    call_object(mConnection, request, _TimeoutMs(timeout), &status, unknown, &mErrorText);
	dbus_message_unref(request);
	if (answer == nullptr)
		return status;
	status = &method == &kBusRequestFd ? file_reply(answer, reply) : inline_reply(answer, reply);
	dbus_message_unref(answer);
	if (status != B_OK)
		set_no_reply(reply);
	return status;
}

std::vector<PlainBusClient::Application> PlainBusClient::Applications()
{
	std::vector<Application> applications;
	if (mConnection == nullptr || DeadlinePassed())
		return applications;
	status_t status;
	DBusMessage* listed =
	    call(mConnection, daemon_call("ListNames"), _TimeoutMs(kRosterQueryTimeout), &status);
	if (listed == nullptr)
		return applications;
	char** names = nullptr;
	int count = 0;
	if (!dbus_message_get_args(listed, nullptr, DBUS_TYPE_ARRAY, DBUS_TYPE_STRING, &names, &count,
	                           DBUS_TYPE_INVALID))
		count = 0;
	std::vector<team_id> seen;
	for (int i = 0; i < count && !DeadlinePassed(); i++) {
		const team_id team = team_of_bus_name(names[i]);
		if (team <= 0 || std::find(seen.begin(), seen.end(), team) != seen.end())
			continue;
		// A name counts only when its holder is the process it names; the
		// questions go to that holder, not to whoever holds the name next.
		const std::string holder = _Holder(names[i], &status);
		if (holder.empty() || _ProcessOf(holder, &status) != team)
			continue;
		DBusMessage* ask = dbus_message_new_method_call(
		    holder.c_str(), kBusObjectPath, kBusGetAppInfo.interface, kBusGetAppInfo.name);
		dbus_message_set_auto_start(ask, FALSE);
		DBusMessage* info = call(mConnection, ask, _TimeoutMs(kRosterQueryTimeout), &status);
		if (info == nullptr)
			continue;
		dbus_int32_t infoTeam = 0;
		dbus_int32_t thread = 0;
		const char* signature = nullptr;
		const char* executable = nullptr;
		dbus_uint32_t flags = 0;
		dbus_int64_t registered = 0;
		if (dbus_message_has_signature(info, kBusGetAppInfo.OutSignature().c_str()) &&
		    dbus_message_get_args(info, nullptr, DBUS_TYPE_INT32, &infoTeam, DBUS_TYPE_INT32,
		                          &thread, DBUS_TYPE_STRING, &signature, DBUS_TYPE_STRING,
		                          &executable, DBUS_TYPE_UINT32, &flags, DBUS_TYPE_INT64,
		                          &registered, DBUS_TYPE_INVALID) &&
		    infoTeam == team) {
			Application application;
			application.team = team;
			application.signature = signature;
			// What the process itself runs beats what it says it runs.
			application.executable = executable_of(team);
			if (application.executable.empty())
				application.executable = executable;
			application.registered = registered;
			applications.push_back(application);
			seen.push_back(team);
		}
		dbus_message_unref(info);
	}
	if (names != nullptr)
		dbus_free_string_array(names);
	dbus_message_unref(listed);
	std::stable_sort(
	    applications.begin(), applications.end(),
	    [](const Application& a, const Application& b) { return a.registered < b.registered; });
	return applications;
}

} // namespace BPrivate
