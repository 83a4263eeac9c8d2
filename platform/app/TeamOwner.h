// Which connection on the session bus is the application of a team. A bus
// name says nothing by itself: any process may take "org.vessmor.Team<n>"
// for a process id that is not its own, ahead of the application that will
// get that id. So the layer sends to a team only through the connection the
// bus says belongs to that very process, found here. Layer-internal; any
// thread; blocking.
#ifndef TEAM_OWNER_H
#define TEAM_OWNER_H

#include <QString>

#include "SupportDefs.h"

namespace BPrivate {

// B_OK with the unique bus name of the connection of process team that
// holds one of the team's names (its own, or the alternate it took because
// another process held that). B_PERMISSION_DENIED when only other processes
// hold them (*impostor: the process of the first one seen); B_BAD_PORT_ID
// when nobody holds one; B_TIMED_OUT when the bus did not answer in time.
// What was found is kept until a name of the team changes hands.
status_t find_team_owner(team_id team, int timeoutMs, QString* owner, team_id* impostor = nullptr);

// The process of a connection (a unique or well-known name), or -1.
team_id process_of_connection(const QString& name, int timeoutMs);

} // namespace BPrivate

#endif // TEAM_OWNER_H
