// The application hey talks to: a signature, an executable's name or a
// team (process id).
#ifndef TARGET_FINDER_H
#define TARGET_FINDER_H

#include <string>

#include <SupportDefs.h>

namespace BPrivate {
class PlainBusClient;
}

// The team APP names; -1 when no running application matches. A team is a
// number, taken as it is: whether it runs, and whether the bus name of it is
// held by that very process, the request finds out. A signature has a slash; any
// other word is compared with the leaf name of each application's
// executable. The application that joined the bus first wins.
team_id FindTarget(BPrivate::PlainBusClient& bus, const std::string& app);

#endif // TARGET_FINDER_H
