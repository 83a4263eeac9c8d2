#include "BusNameWatcher.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>

#include "Bus.h"
#include "BusCalls.h"
#include "BusInterface.h"
#include "BusState.h"
#include "BusWire.h"
#include "OS.h"

namespace BPrivate {

void BusNameWatcher::NameOwnerChanged(const QString& name, const QString& oldOwner,
                                      const QString& newOwner)
{
	team_id team = team_from_service(name);
	if (team <= 0 || team == current_team())
		return;
	BusState::Default().NoteName(team, !newOwner.isEmpty());
	if (!newOwner.isEmpty() && oldOwner.isEmpty())
		_Launched(name);
	else if (newOwner.isEmpty() && !oldOwner.isEmpty())
		_Quit(name);
}

void BusNameWatcher::_Launched(const QString& name)
{
	const team_id team = team_from_service(name);
	const int timeoutMs = Bus::TimeoutMs(kRosterQueryTimeout);
	BusState::Default().LaunchSeen(team);
	// Asked without blocking this thread: the newcomer may at the same
	// moment be asking us.
	QDBusMessage call = bus_daemon_call("GetConnectionUnixProcessID");
	call << name;
	auto* pidWatcher = new QDBusPendingCallWatcher(session_bus().asyncCall(call, timeoutMs), this);
	connect(pidWatcher, &QDBusPendingCallWatcher::finished, this,
	        [this, team, timeoutMs, pidWatcher] {
		        pidWatcher->deleteLater();
		        QDBusMessage reply = pidWatcher->reply();
		        bool ok = false;
		        if (reply.type() == QDBusMessage::ReplyMessage && reply.arguments().size() == 1)
			        ok = (team_id)reply.arguments().at(0).toUInt() == team;
		        if (!ok) {
			        BusState::Default().LaunchFailed(team);
			        return;
		        }
		        auto* infoWatcher = new QDBusPendingCallWatcher(
		            session_bus().asyncCall(app_call(team, kBusGetAppInfo), timeoutMs), this);
		        connect(infoWatcher, &QDBusPendingCallWatcher::finished, this, [team, infoWatcher] {
			        infoWatcher->deleteLater();
			        app_record record;
			        if (!parse_app_info(infoWatcher->reply(), team, &record)) {
				        BusState::Default().LaunchFailed(team);
				        return;
			        }
			        BusState::Watcher watcher = BusState::Default().LaunchConfirmed(record);
			        if (watcher)
				        watcher(true, record);
		        });
	        });
}

void BusNameWatcher::_Quit(const QString& name)
{
	app_record record;
	BusState::Watcher watcher = BusState::Default().Quit(team_from_service(name), &record);
	if (watcher)
		watcher(false, record);
}

} // namespace BPrivate
