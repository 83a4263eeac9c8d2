// Follows the names on the bus (its NameOwnerChanged signal) on the bus
// thread: keeps the known teams up to date and tells the watcher of
// launches, once a newcomer's app_info is in, and of quits.
#ifndef BUS_NAME_WATCHER_H
#define BUS_NAME_WATCHER_H

#include <QObject>
#include <QString>

#include "SupportDefs.h"

namespace BPrivate {

class BusNameWatcher : public QObject
{
	Q_OBJECT

public slots:
	void NameOwnerChanged(const QString& name, const QString& oldOwner, const QString& newOwner);

private:
	// owner: the unique name that took the name. Only the connection of
	// the team's own process counts as the team.
	void _Launched(team_id team, const QString& owner);
	void _Quit(team_id team);
};

} // namespace BPrivate

#endif // BUS_NAME_WATCHER_H
