#include "BusWire.h"

#include <climits>
#include <unistd.h>

#include "Bus.h"
#include "BusInterface.h"
#include "Message.h"

namespace BPrivate {

namespace {

// Generous, but a peer cannot make us keep megabytes of "signature".
const int kMaxSignatureLength = B_MIME_TYPE_LENGTH - 1;
const int kMaxPathLength = 4096;

} // namespace

QString service_name(team_id team)
{
	return QString::fromLatin1(kBusServicePrefix) + QString::number(team);
}

team_id team_from_service(const QString& name)
{
	return team_of_bus_name(name.toLatin1().constData());
}

status_t flatten_for_wire(const BMessage& message, QByteArray* bytes)
{
	ssize_t size = message.FlattenedSize();
	if (size <= 0)
		return B_BAD_VALUE;
	if ((size_t)size > kMaxWireMessageSize)
		return B_BAD_VALUE;
	bytes->resize(size);
	return message.Flatten(bytes->data(), size);
}

status_t unflatten_from_wire(const QByteArray& bytes, BMessage* message)
{
	if (bytes.isEmpty() || (size_t)bytes.size() > kMaxWireMessageSize) {
		message->MakeEmpty();
		message->what = 0;
		return B_BAD_DATA;
	}
	status_t status = message->Unflatten(bytes.constData(), (size_t)bytes.size());
	return status == B_OK ? B_OK : B_BAD_DATA;
}

status_t status_from_reply(const QDBusMessage& reply)
{
	if (reply.type() == QDBusMessage::ReplyMessage)
		return B_OK;
	if (reply.type() != QDBusMessage::ErrorMessage)
		return B_ERROR;
	QString name = reply.errorName();
	if (name == QLatin1String("org.freedesktop.DBus.Error.NoReply") ||
	    name == QLatin1String("org.freedesktop.DBus.Error.Timeout") ||
	    name == QLatin1String("org.freedesktop.DBus.Error.TimedOut"))
		return B_TIMED_OUT;
	if (name == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown") ||
	    name == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner") ||
	    name == QLatin1String("org.freedesktop.DBus.Error.UnknownObject") ||
	    name == QLatin1String("org.freedesktop.DBus.Error.Disconnected"))
		return B_BAD_PORT_ID;
	if (name == QLatin1String(kErrorBadMessage))
		return B_BAD_DATA;
	if (name == QLatin1String(kErrorTooLarge) || name == QLatin1String(kErrorBadArguments))
		return B_BAD_VALUE;
	if (name == QLatin1String(kErrorNoTarget))
		return B_BAD_HANDLER;
	if (name == QLatin1String(kErrorBusy))
		return B_BUSY;
	return B_ERROR;
}

QVariantList app_info_arguments(const app_record& record)
{
	return {(int32)record.team,
	        (int32)record.thread,
	        QString::fromStdString(record.signature),
	        QString::fromStdString(record.executable),
	        (uint32)record.flags,
	        (qlonglong)record.registeredAt};
}

bool parse_app_info(const QDBusMessage& reply, team_id team, app_record* record)
{
	if (reply.type() != QDBusMessage::ReplyMessage ||
	    reply.signature() != QLatin1String(kBusGetAppInfo.OutSignature().c_str()))
		return false;
	const QList<QVariant> args = reply.arguments();
	if (args.size() != 6 || args.at(0).toInt() != team)
		return false;
	QByteArray signature = args.at(2).toString().toUtf8();
	QByteArray executable = args.at(3).toString().toUtf8();
	if (signature.size() > kMaxSignatureLength || executable.size() > kMaxPathLength)
		return false;
	record->team = team;
	record->thread = args.at(1).toInt();
	record->signature = signature.toStdString();
	record->flags = args.at(4).toUInt();
	record->registeredAt = args.at(5).toLongLong();
	// What the process itself runs beats what it says it runs.
	record->executable = executable_of(team);
	if (record->executable.empty())
		record->executable = executable.toStdString();
	return true;
}

} // namespace BPrivate
