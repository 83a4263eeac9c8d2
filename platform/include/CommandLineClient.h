// For command-line programs that talk to running applications without being
// one (no BApplication, no window system): messengers to other teams and the
// roster work once the client is started.
#ifndef _COMMAND_LINE_CLIENT_H
#define _COMMAND_LINE_CLIENT_H

namespace BPrivate {

// Connects this process to the session bus as a plain client. Call once,
// from main, before any BMessenger or BRoster use; false when there is no
// session bus. Not for a process that makes a BApplication.
bool start_command_line_client();

} // namespace BPrivate

#endif // _COMMAND_LINE_CLIENT_H
