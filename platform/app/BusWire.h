// The wire form of the bus protocol: names, error names, flattened
// messages and app_info replies, checked as outside input.
#ifndef BUS_WIRE_H
#define BUS_WIRE_H

#include <QByteArray>
#include <QDBusMessage>
#include <QString>
#include <QVariantList>

#include "AppRecord.h"
#include "ProcessExecutable.h"

class BMessage;

namespace BPrivate {

QString service_name(team_id team);
// The team of one of our bus names, or -1 for any other name.
team_id team_from_service(const QString& name);

status_t flatten_for_wire(const BMessage& message, QByteArray* bytes);
status_t unflatten_from_wire(const QByteArray& bytes, BMessage* message);

// B_OK for a method return; otherwise the status the error stands for.
status_t status_from_reply(const QDBusMessage& reply);

// The answer to GetAppInfo (and the values of the properties), in the order
// of its arguments.
QVariantList app_info_arguments(const app_record& record);
// Reads a GetAppInfo reply of the given team. The executable is taken from
// the process itself where the system lets us.
bool parse_app_info(const QDBusMessage& reply, team_id team, app_record* record);

} // namespace BPrivate

#endif // BUS_WIRE_H
