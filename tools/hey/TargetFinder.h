// The application hey talks to: a signature, an executable's name or a
// team (process id).
#ifndef TARGET_FINDER_H
#define TARGET_FINDER_H

#include <string>

#include <Messenger.h>

// A messenger to the application APP names; an empty one (Team() < 0)
// when no running application matches. A team is a number; a signature
// has a slash; any other word is compared with the leaf name of each
// application's executable (the first registered wins, as with a
// signature). A team is asked as long as it is on the bus, even when it
// does not tell the roster what it is.
BMessenger FindTarget(const std::string& app);

#endif // TARGET_FINDER_H
