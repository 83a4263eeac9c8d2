#include "TeamOwner.h"

#include <QDBusMessage>
#include <QStringList>

#include "BusCalls.h"
#include "BusState.h"
#include "BusWire.h"
#include "OS.h"

namespace BPrivate {

namespace {

bool bus_answered(const QDBusMessage& reply)
{
	return reply.type() == QDBusMessage::ReplyMessage && reply.arguments().size() == 1;
}

// The unique name holding a well-known name; empty when nobody does.
QString holder_of(const QString& name, int timeoutMs, bool* timedOut)
{
	QDBusMessage call = bus_daemon_call("GetNameOwner");
	call << name;
	QDBusMessage reply = call_bus(call, timeoutMs);
	if (!bus_answered(reply)) {
		*timedOut = *timedOut || status_from_reply(reply) == B_TIMED_OUT;
		return QString();
	}
	return reply.arguments().at(0).toString();
}

// Looks at one name: true when its holder is the team's process.
bool check_name(const QString& name, team_id team, int timeoutMs, QString* owner, team_id* impostor,
                bool* timedOut)
{
	const QString holder = holder_of(name, timeoutMs, timedOut);
	if (holder.isEmpty())
		return false;
	const team_id process = process_of_connection(holder, timeoutMs);
	if (process == team || BusState::Default().VouchedForTesting(team)) {
		*owner = holder;
		return true;
	}
	if (*impostor <= 0)
		*impostor = process;
	return false;
}

} // namespace

team_id process_of_connection(const QString& name, int timeoutMs)
{
	QDBusMessage call = bus_daemon_call("GetConnectionUnixProcessID");
	call << name;
	QDBusMessage reply = call_bus(call, timeoutMs);
	if (!bus_answered(reply))
		return -1;
	bool ok = false;
	const uint process = reply.arguments().at(0).toUInt(&ok);
	return ok && process > 0 && process <= (uint)INT32_MAX ? (team_id)process : -1;
}

status_t find_team_owner(team_id team, int timeoutMs, QString* owner, team_id* impostor)
{
	team_id squatter = -1;
	if (impostor != nullptr)
		*impostor = -1;
	if (team <= 0)
		return B_BAD_PORT_ID;
	std::string known;
	if (BusState::Default().Owner(team, &known)) {
		*owner = QString::fromStdString(known);
		return B_OK;
	}
	bool timedOut = false;
	bool found = check_name(service_name(team), team, timeoutMs, owner, &squatter, &timedOut);
	if (!found) {
		// The application's own name may be held by another process: then
		// it runs under an alternate name of its team, which only a listing
		// shows.
		QDBusMessage listed = call_bus(bus_daemon_call("ListNames"), timeoutMs);
		if (bus_answered(listed)) {
			const QString own = service_name(team);
			for (const QString& name : listed.arguments().at(0).toStringList()) {
				if (name != own && team_from_service(name) == team &&
				    check_name(name, team, timeoutMs, owner, &squatter, &timedOut)) {
					found = true;
					break;
				}
			}
		} else if (status_from_reply(listed) == B_TIMED_OUT) {
			timedOut = true;
		}
	}
	if (impostor != nullptr)
		*impostor = squatter;
	if (found) {
		BusState::Default().NoteOwner(team, owner->toStdString());
		return B_OK;
	}
	if (timedOut)
		return B_TIMED_OUT;
	return squatter > 0 ? B_PERMISSION_DENIED : B_BAD_PORT_ID;
}

} // namespace BPrivate
