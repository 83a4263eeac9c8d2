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
	// Another process giving up a name of the team is no quit of the
	// team's application while that still runs under its other name.
	app_record known;
	const bool stranger = newOwner.isEmpty() && BusState::Default().Cached(team, &known) &&
	                      !known.busOwner.empty() && known.busOwner != oldOwner.toStdString();
	if (stranger)
		return;
	BusState::Default().NoteName(team, !newOwner.isEmpty());
	if (!newOwner.isEmpty() && oldOwner.isEmpty())
		_Launched(team, newOwner);
	else if (newOwner.isEmpty() && !oldOwner.isEmpty())
		_Quit(team);
}

void BusNameWatcher::_Launched(team_id team, const QString& owner)
{
	const int timeoutMs = Bus::TimeoutMs(kRosterQueryTimeout);
	BusState::Default().LaunchSeen(team);
	// Asked without blocking this thread: the newcomer may at the same
	// moment be asking us. The questions go to the connection that took the
	// name, so that what is confirmed is that very connection.
	QDBusMessage call = bus_daemon_call("GetConnectionUnixProcessID");
	call << owner;
	auto* pidWatcher = new QDBusPendingCallWatcher(session_bus().asyncCall(call, timeoutMs), this);
	connect(pidWatcher, &QDBusPendingCallWatcher::finished, this,
	        [this, team, owner, timeoutMs, pidWatcher] {
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
		            session_bus().asyncCall(app_call(owner, kBusGetAppInfo), timeoutMs), this);
		        connect(infoWatcher, &QDBusPendingCallWatcher::finished, this,
		                [team, owner, infoWatcher] {
			                infoWatcher->deleteLater();
			                app_record record;
			                if (!parse_app_info(infoWatcher->reply(), team, &record)) {
				                BusState::Default().LaunchFailed(team);
				                return;
			                }
			                record.busOwner = owner.toStdString();
			                BusState::Watcher watcher = BusState::Default().LaunchConfirmed(record);
			                if (watcher)
				                watcher(true, record);
		                });
	        });
}

void BusNameWatcher::_Quit(team_id team)
{
	app_record record;
	BusState::Watcher watcher = BusState::Default().Quit(team, &record);
	if (watcher)
		watcher(false, record);
}

} // namespace BPrivate
