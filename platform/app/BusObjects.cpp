#include "BusObjects.h"

#include <algorithm>
#include <memory>
#include <vector>

#include <QByteArrayList>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QTimer>
#include <QVariantMap>

#include "BatchReplies.h"
#include "Bus.h"
#include "BusWire.h"
#include "LooperImpl.h"
#include "Message.h"
#include "ReplyChannels.h"
#include "TokenRegistry.h"

namespace BPrivate {

namespace {

// Answers a request that came over the bus: the reply (or B_NO_REPLY when
// the message is deleted unanswered) goes back as the method's return.
class BusRequestChannel : public AddressedReplyChannel
{
public:
	BusRequestChannel(const QDBusMessage& request, const QDBusConnection& connection)
	    : mRequest(request), mConnection(connection)
	{
	}

	~BusRequestChannel() override
	{
		if (!WasReplied())
			_Send(BMessage(B_NO_REPLY));
	}

	status_t Deliver(const BMessage& reply, bigtime_t timeout) override
	{
		(void)timeout;
		return _Send(reply);
	}

private:
	status_t _Send(const BMessage& reply)
	{
		QByteArray bytes;
		status_t status = flatten_for_wire(reply, &bytes);
		if (status != B_OK) {
			mConnection.send(mRequest.createErrorReply(QString::fromLatin1(kErrorTooLarge),
			                                           QStringLiteral("reply too large")));
			return status;
		}
		return mConnection.send(mRequest.createReply(QVariant(bytes))) ? B_OK : B_BAD_PORT_ID;
	}

	QDBusMessage mRequest;
	QDBusConnection mConnection;
};

void send_error(const QDBusMessage& message, const QDBusConnection& connection, const char* name,
                const char* text)
{
	connection.send(message.createErrorReply(QString::fromLatin1(name), QString::fromUtf8(text)));
}

// Finds the looper a message from the bus goes to: -1 is the application.
std::shared_ptr<LooperImpl> incoming_target(int32 looperToken, int32 handlerToken)
{
	TokenRegistry& registry = TokenRegistry::Default();
	if (looperToken < 0)
		looperToken = application_looper_token();
	if (looperToken < 0)
		return nullptr;
	std::shared_ptr<LooperImpl> looper = registry.Looper(looperToken);
	if (!looper || looper->Owner() == nullptr)
		return nullptr;
	if (handlerToken >= 0 && registry.LooperOfHandler(handlerToken) != looperToken)
		return nullptr;
	return looper;
}

// Reads one flattened message of a call; on failure the error is sent.
BMessage* incoming_message(const QByteArray& bytes, const QDBusMessage& message,
                           const QDBusConnection& connection)
{
	if ((size_t)bytes.size() > kMaxWireMessageSize) {
		send_error(message, connection, kErrorTooLarge, "message too large");
		return nullptr;
	}
	auto* result = new BMessage;
	if (unflatten_from_wire(bytes, result) != B_OK) {
		delete result;
		send_error(message, connection, kErrorBadMessage, "not a flattened message");
		return nullptr;
	}
	return result;
}

const char* kIntrospection = R"XML(<interface name="org.vessmor.App">
    <method name="Post">
      <arg name="message" type="ay" direction="in"/>
      <arg name="looper" type="i" direction="in"/>
      <arg name="handler" type="i" direction="in"/>
      <arg name="replyTeam" type="i" direction="in"/>
      <arg name="replyLooper" type="i" direction="in"/>
      <arg name="replyHandler" type="i" direction="in"/>
    </method>
    <method name="Request">
      <arg name="message" type="ay" direction="in"/>
      <arg name="looper" type="i" direction="in"/>
      <arg name="handler" type="i" direction="in"/>
      <arg name="reply" type="ay" direction="out"/>
    </method>
    <method name="Requests">
      <arg name="messages" type="aay" direction="in"/>
      <arg name="looper" type="i" direction="in"/>
      <arg name="handler" type="i" direction="in"/>
      <arg name="waitMs" type="i" direction="in"/>
      <arg name="replies" type="aay" direction="out"/>
    </method>
    <method name="GetAppInfo">
      <arg name="team" type="i" direction="out"/>
      <arg name="thread" type="i" direction="out"/>
      <arg name="signature" type="s" direction="out"/>
      <arg name="executable" type="s" direction="out"/>
      <arg name="flags" type="u" direction="out"/>
      <arg name="registered" type="x" direction="out"/>
    </method>
    <property name="Team" type="i" access="read"/>
    <property name="Thread" type="i" access="read"/>
    <property name="Signature" type="s" access="read"/>
    <property name="Executable" type="s" access="read"/>
    <property name="Flags" type="u" access="read"/>
    <property name="Registered" type="x" access="read"/>
  </interface>
  <interface name="org.freedesktop.DBus.Properties">
    <method name="Get">
      <arg name="interface" type="s" direction="in"/>
      <arg name="name" type="s" direction="in"/>
      <arg name="value" type="v" direction="out"/>
    </method>
    <method name="GetAll">
      <arg name="interface" type="s" direction="in"/>
      <arg name="values" type="a{sv}" direction="out"/>
    </method>
  </interface>
)XML";

} // namespace

void BusObject::SetProvider(std::function<app_record()> provider)
{
	std::lock_guard<std::mutex> guard(mLock);
	mProvider = std::move(provider);
}

bool BusObject::_Own(app_record* record)
{
	std::function<app_record()> provider;
	{
		std::lock_guard<std::mutex> guard(mLock);
		provider = mProvider;
	}
	if (!provider)
		return false;
	*record = provider();
	return true;
}

QString BusObject::introspect(const QString& path) const
{
	(void)path;
	return QString::fromLatin1(kIntrospection);
}

bool BusObject::handleMessage(const QDBusMessage& message, const QDBusConnection& connection)
{
	if (message.type() != QDBusMessage::MethodCallMessage)
		return false;
	const QString interface = message.interface();
	const QString member = message.member();
	if (interface == QLatin1String("org.freedesktop.DBus.Properties")) {
		_Properties(message, connection);
		return true;
	}
	if (!interface.isEmpty() && interface != QLatin1String(kBusInterface))
		return false;
	if (member == QLatin1String("Post"))
		_Post(message, connection);
	else if (member == QLatin1String("Request"))
		_Request(message, connection);
	else if (member == QLatin1String("Requests"))
		_Requests(message, connection);
	else if (member == QLatin1String("GetAppInfo"))
		_AppInfo(message, connection);
	else
		return false;
	return true;
}

void BusObject::_Post(const QDBusMessage& message, const QDBusConnection& connection)
{
	if (message.signature() != QLatin1String("ayiiiii")) {
		send_error(message, connection, kErrorBadArguments, "expected (ayiiiii)");
		return;
	}
	const QList<QVariant> args = message.arguments();
	int32 looperToken = args.at(1).toInt();
	int32 handlerToken = args.at(2).toInt();
	std::shared_ptr<LooperImpl> looper = incoming_target(looperToken, handlerToken);
	if (!looper) {
		send_error(message, connection, kErrorNoTarget, "no such target");
		return;
	}
	BMessage* incoming =
	    incoming_message(message.arguments().at(0).toByteArray(), message, connection);
	if (incoming == nullptr)
		return;
	BMessenger::Address replyTo{args.at(3).toInt(), args.at(4).toInt(), args.at(5).toInt()};
	if (replyTo.team > 0) {
		MessageInternals::SetReplyChannel(
		    *incoming, std::make_shared<AddressReplyChannel>(BMessenger::FromAddress(replyTo)));
	}
	if (looper->Enqueue(incoming, handlerToken) != B_OK) {
		send_error(message, connection, kErrorNoTarget, "target has quit");
		return;
	}
	connection.send(message.createReply());
}

void BusObject::_Request(const QDBusMessage& message, const QDBusConnection& connection)
{
	if (message.signature() != QLatin1String("ayii")) {
		send_error(message, connection, kErrorBadArguments, "expected (ayii)");
		return;
	}
	const QList<QVariant> args = message.arguments();
	int32 looperToken = args.at(1).toInt();
	int32 handlerToken = args.at(2).toInt();
	std::shared_ptr<LooperImpl> looper = incoming_target(looperToken, handlerToken);
	if (!looper) {
		send_error(message, connection, kErrorNoTarget, "no such target");
		return;
	}
	BMessage* incoming =
	    incoming_message(message.arguments().at(0).toByteArray(), message, connection);
	if (incoming == nullptr)
		return;
	MessageInternals::SetReplyChannel(*incoming,
	                                  std::make_shared<BusRequestChannel>(message, connection));
	MessageInternals::SetSourceWaiting(*incoming, true);
	// Should the looper be gone, deleting the message answers B_NO_REPLY.
	looper->Enqueue(incoming, handlerToken);
}

void BusObject::_Requests(const QDBusMessage& message, const QDBusConnection& connection)
{
	if (message.signature() != QLatin1String("aayiii")) {
		send_error(message, connection, kErrorBadArguments, "expected (aayiii)");
		return;
	}
	const QList<QVariant> args = message.arguments();
	const QByteArrayList list = qdbus_cast<QByteArrayList>(args.at(0));
	if (list.isEmpty() || list.size() > kMaxBatchRequests) {
		send_error(message, connection, kErrorBadArguments, "expected 1 to 64 messages");
		return;
	}
	int32 looperToken = args.at(1).toInt();
	int32 handlerToken = args.at(2).toInt();
	std::shared_ptr<LooperImpl> looper = incoming_target(looperToken, handlerToken);
	if (!looper) {
		send_error(message, connection, kErrorNoTarget, "no such target");
		return;
	}
	// All or nothing: one bad message queues none of them.
	std::vector<std::unique_ptr<BMessage>> incoming;
	for (const QByteArray& bytes : list) {
		incoming.emplace_back(incoming_message(bytes, message, connection));
		if (!incoming.back())
			return;
	}
	auto batch = std::make_shared<BatchReplies>(message, connection, (int)incoming.size());
	for (size_t i = 0; i < incoming.size(); i++) {
		MessageInternals::SetReplyChannel(*incoming[i],
		                                  std::make_shared<BatchReplyChannel>(batch, (int)i));
		MessageInternals::SetSourceWaiting(*incoming[i], true);
		// Should the looper be gone, deleting the message answers B_NO_REPLY.
		looper->Enqueue(incoming[i].release(), handlerToken);
	}
	// The asker's own time-out is a little longer: what is answered by then
	// still reaches it.
	int waitMs = args.at(3).toInt();
	if (waitMs > 0) {
		// Precise: a coarse timer may be late by more than that margin.
		QTimer::singleShot((int)std::min<bigtime_t>(waitMs, kMaxRemoteWait / 1000),
		                   Qt::PreciseTimer, this, [batch] { batch->SendNow(); });
	}
}

void BusObject::_AppInfo(const QDBusMessage& message, const QDBusConnection& connection)
{
	app_record own;
	if (!_Own(&own)) {
		send_error(message, connection, kErrorNoTarget, "no application");
		return;
	}
	QDBusMessage reply = message.createReply();
	reply << (int32)own.team << (int32)own.thread << QString::fromStdString(own.signature)
	      << QString::fromStdString(own.executable) << (uint32)own.flags
	      << (qlonglong)own.registeredAt;
	connection.send(reply);
}

void BusObject::_Properties(const QDBusMessage& message, const QDBusConnection& connection)
{
	app_record own;
	if (!_Own(&own)) {
		send_error(message, connection, kErrorNoTarget, "no application");
		return;
	}
	QVariantMap values;
	values.insert(QStringLiteral("Team"), (int32)own.team);
	values.insert(QStringLiteral("Thread"), (int32)own.thread);
	values.insert(QStringLiteral("Signature"), QString::fromStdString(own.signature));
	values.insert(QStringLiteral("Executable"), QString::fromStdString(own.executable));
	values.insert(QStringLiteral("Flags"), (uint32)own.flags);
	values.insert(QStringLiteral("Registered"), (qlonglong)own.registeredAt);

	const QList<QVariant> args = message.arguments();
	if (message.member() == QLatin1String("GetAll") && message.signature() == QLatin1String("s")) {
		if (args.at(0).toString() != QLatin1String(kBusInterface)) {
			connection.send(message.createReply(QVariant::fromValue(QVariantMap())));
			return;
		}
		connection.send(message.createReply(QVariant::fromValue(values)));
		return;
	}
	if (message.member() == QLatin1String("Get") && message.signature() == QLatin1String("ss")) {
		QString name = args.at(1).toString();
		if (args.at(0).toString() != QLatin1String(kBusInterface) || !values.contains(name)) {
			send_error(message, connection, kErrorBadArguments, "no such property");
			return;
		}
		connection.send(message.createReply(QVariant::fromValue(QDBusVariant(values.value(name)))));
		return;
	}
	send_error(message, connection, "org.freedesktop.DBus.Error.UnknownMethod",
	           "properties are read-only");
}

} // namespace BPrivate
