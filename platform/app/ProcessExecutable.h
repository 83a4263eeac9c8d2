// What a running process executes, read from /proc without Qt, so that the
// plain bus client and the Qt side of the kit share it.
#ifndef PROCESS_EXECUTABLE_H
#define PROCESS_EXECUTABLE_H

#include <string>

#include "SupportDefs.h"

namespace BPrivate {

// The executable of a running process (links resolved), "" when unknown.
std::string executable_of(team_id team);

} // namespace BPrivate

#endif // PROCESS_EXECUTABLE_H
