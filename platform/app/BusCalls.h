// Calls on the session bus as the layer makes them: building them, and
// waiting for their answers without stopping Qt on the main thread.
// Layer-internal; any thread.
#ifndef BUS_CALLS_H
#define BUS_CALLS_H

#include <vector>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>

#include "SupportDefs.h"

class BMessage;

namespace BPrivate {

struct BusMethod;

QDBusConnection session_bus();
// A call to the bus itself, and to a method of an application's object.
QDBusMessage bus_daemon_call(const char* method);
// destination: the unique name of the team's connection (find_team_owner).
QDBusMessage app_call(const QString& destination, const BusMethod& method);

// Waits until every call has finished; finishedAt[i] is when call i was
// seen to. On the main thread Qt events keep flowing meanwhile; on a
// looper's own thread BLooper::CancelRequests ends the wait early, leaving
// the calls unfinished (a NoReply, as after a time-out).
void wait_for_calls(std::vector<QDBusPendingCall>& calls, int timeoutMs,
                    std::vector<bigtime_t>* finishedAt);
// The answer of a call, or a NoReply error when it never finished.
QDBusMessage finished_reply(const QDBusPendingCall& call);
// A blocking call that keeps Qt events flowing on the main thread and can
// be cancelled on a looper's own thread.
QDBusMessage call_bus(const QDBusMessage& call, int timeoutMs);

// The bus said there is nobody of that name (any more).
bool names_nobody(const QDBusMessage& reply);
// The peer does not know the method (an application of another make).
bool method_unknown(const QDBusMessage& reply);
// Reads the answer to a Request into reply: B_OK, the status the error
// stands for, or B_BAD_REPLY for anything but one flattened message.
status_t read_request_reply(const QDBusMessage& answer, BMessage* reply);

} // namespace BPrivate

#endif // BUS_CALLS_H
