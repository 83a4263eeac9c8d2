#include "BusObject.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include <QByteArrayList>
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QDBusVariant>
#include <QTimer>
#include <QVariantMap>

#include "BatchReplies.h"
#include "Bus.h"
#include "BusConnection.h"
#include "BusInterface.h"
#include "BusWire.h"
#include "LooperImpl.h"
#include "Message.h"
#include "ReplyChannels.h"
#include "ScriptingReplies.h"
#include "SealedReply.h"
#include "TokenRegistry.h"

namespace BPrivate {

namespace {

// The reader of a sealed reply unmaps it as soon as it has read it. If our
// descriptor were gone by then, the reader would hold the last reference and
// free every page of the file before it could go on. So we keep a reference
// to a large reply's file a moment longer, and its pages are freed on our
// side, after the answer. What is held at once is bounded: past the bound the
// oldest goes at once, and a fast run of requests costs no more memory than
// that.
class HeldReplyFiles
{
public:
	static HeldReplyFiles& Default()
	{
		static HeldReplyFiles held;
		return held;
	}

	~HeldReplyFiles()
	{
		for (const Held& held : mHeld)
			close(held.fd);
	}

	// Called from the thread of whichever looper answered.
	void Hold(int fd, ssize_t size)
	{
		QCoreApplication* application = QCoreApplication::instance();
		if (size < kLarge || application == nullptr)
			return;
		const int copy = fcntl(fd, F_DUPFD_CLOEXEC, 0);
		if (copy < 0)
			return;
		uint64 id;
		{
			std::lock_guard<std::mutex> lock(mLock);
			id = ++mLastId;
			mHeld.push_back({id, copy, (size_t)size});
			mBytes += (size_t)size;
			while (mBytes > kMostBytes && mHeld.size() > 1)
				_ReleaseFront();
		}
		// The timer runs on the application's thread.
		QMetaObject::invokeMethod(
		    application, [id] { QTimer::singleShot(kHoldMs, [id] { Default()._Release(id); }); },
		    Qt::QueuedConnection);
	}

private:
	struct Held
	{
		uint64 id;
		int fd;
		size_t size;
	};

	static constexpr ssize_t kLarge = 1024 * 1024;
	static constexpr size_t kMostBytes = 64 * 1024 * 1024;
	static constexpr int kHoldMs = 1000;

	void _Release(uint64 id)
	{
		std::lock_guard<std::mutex> lock(mLock);
		// Held in order of their ids; one released early is gone already.
		while (!mHeld.empty() && mHeld.front().id <= id)
			_ReleaseFront();
	}

	void _ReleaseFront()
	{
		close(mHeld.front().fd);
		mBytes -= mHeld.front().size;
		mHeld.pop_front();
	}

	std::mutex mLock;
	std::deque<Held> mHeld;
	size_t mBytes = 0;
	uint64 mLastId = 0;
};

// Why a reply was refused, with the numbers, for the caller to show.
QString too_large_reply_text(const BMessage& reply)
{
	const ssize_t size = reply.FlattenedSize();
	return QString::fromStdString(too_large_text("the reply", size > 0 ? (uint64)size : 0));
}

// Answers a request that came over the bus: the reply (or B_NO_REPLY when
// the message is deleted unanswered) goes back as the method's return, its
// bytes inline (Request) or in a sealed memory file (RequestFd).
class BusRequestChannel : public AddressedReplyChannel
{
public:
	BusRequestChannel(const QDBusMessage& request, const QDBusConnection& connection,
	                  size_t heldBytes, bool asFile)
	    : mRequest(request), mConnection(connection), mHeldBytes(heldBytes), mAsFile(asFile)
	{
	}

	~BusRequestChannel() override
	{
		if (!WasReplied())
			_Send(BMessage(B_NO_REPLY));
		BusConnection::Default().Release(&mRequest, mHeldBytes);
	}

	status_t Deliver(const BMessage& reply, bigtime_t timeout) override
	{
		(void)timeout;
		return _Send(reply);
	}

	bool IsRemote() const override { return true; }

private:
	status_t _Send(const BMessage& reply)
	{
		if (mAsFile)
			return _SendFile(reply);
		QByteArray bytes;
		status_t status = flatten_for_wire(reply, &bytes);
		if (status != B_OK) {
			mConnection.send(mRequest.createErrorReply(QString::fromLatin1(kErrorTooLarge),
			                                           too_large_reply_text(reply)));
			return status;
		}
		return mConnection.send(mRequest.createReply(QVariant(bytes))) ? B_OK : B_BAD_PORT_ID;
	}

	status_t _SendFile(const BMessage& reply)
	{
		status_t status = B_OK;
		const int fd = sealed_reply_file(reply, &status);
		if (fd < 0) {
			if (status == B_BAD_VALUE) {
				mConnection.send(mRequest.createErrorReply(QString::fromLatin1(kErrorTooLarge),
				                                           too_large_reply_text(reply)));
			} else {
				mConnection.send(mRequest.createErrorReply(
				    QDBusError::NoMemory, QStringLiteral("no file for the reply")));
			}
			return status;
		}
		HeldReplyFiles::Default().Hold(fd, reply.FlattenedSize());
		QDBusUnixFileDescriptor file;
		file.giveFileDescriptor(fd);
		return mConnection.send(mRequest.createReply(QVariant::fromValue(file))) ? B_OK
		                                                                         : B_BAD_PORT_ID;
	}

	QDBusMessage mRequest;
	QDBusConnection mConnection;
	size_t mHeldBytes;
	bool mAsFile;
};

// A call's arguments, read by the names the table gives them, so that the
// order of the table is written down nowhere else. The call's signature
// matched its method before, so a name places its argument. A name the
// method lacks is a fault of this file, never of the caller: the program
// stops and says so rather than read another argument in its place.
class CallArguments
{
public:
	CallArguments(const BusMethod& method, const QDBusMessage& message)
	    : mMethod(method), mValues(message.arguments())
	{
	}

	bool Has(const char* name) const { return mMethod.InIndex(name) >= 0; }

	const QVariant& operator[](const char* name) const
	{
		const int index = mMethod.InIndex(name);
		if (index < 0 || index >= mValues.size()) {
			fprintf(stderr, "bus method %s has no argument %s\n", mMethod.name, name);
			abort();
		}
		return mValues.at(index);
	}

private:
	const BusMethod& mMethod;
	const QList<QVariant> mValues;
};

void send_error(const QDBusMessage& message, const QDBusConnection& connection, const char* name,
                const std::string& text)
{
	connection.send(
	    message.createErrorReply(QString::fromLatin1(name), QString::fromStdString(text)));
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
std::unique_ptr<BMessage> incoming_message(const QByteArray& bytes, const QDBusMessage& message,
                                           const QDBusConnection& connection)
{
	if ((size_t)bytes.size() > kMaxWireMessageSize) {
		send_error(message, connection, kErrorTooLarge, "message too large");
		return nullptr;
	}
	auto result = std::make_unique<BMessage>();
	if (unflatten_from_wire(bytes, result.get()) != B_OK) {
		send_error(message, connection, kErrorBadMessage, "not a flattened message");
		return nullptr;
	}
	return result;
}

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
	return QString::fromStdString(introspection_xml());
}

bool BusObject::handleMessage(const QDBusMessage& message, const QDBusConnection& connection)
{
	if (message.type() != QDBusMessage::MethodCallMessage)
		return false;
	const QString interface = message.interface();
	if (interface == QLatin1String(kBusPropertiesInterface)) {
		_Properties(message, connection);
		return true;
	}
	if (!interface.isEmpty() && interface != QLatin1String(kBusInterface))
		return false;
	using Handler = void (BusObject::*)(const QDBusMessage&, const QDBusConnection&);
	static const std::pair<const BusMethod*, Handler> handlers[] = {
	    {&kBusPost, &BusObject::_Post},          {&kBusRequest, &BusObject::_Request},
	    {&kBusRequests, &BusObject::_Requests},  {&kBusRequestFd, &BusObject::_RequestFd},
	    {&kBusGetAppInfo, &BusObject::_AppInfo},
	};
	// Without descriptor passing on our connection RequestFd is unknown
	// here, and the caller asks with Request.
	const bool passesFds =
	    (connection.connectionCapabilities() & QDBusConnection::UnixFileDescriptorPassing) != 0;
	for (const auto& [method, handler] : handlers) {
		if (method == &kBusRequestFd && !passesFds)
			continue;
		if (message.member() == QLatin1String(method->name)) {
			(this->*handler)(message, connection);
			return true;
		}
	}
	return false;
}

bool BusObject::_Accept(const BusMethod& method, bool held, const QDBusMessage& message,
                        const QDBusConnection& connection, Accepted* accepted)
{
	const std::string signature = method.InSignature();
	if (message.signature() != QLatin1String(signature.c_str())) {
		send_error(message, connection, kErrorBadArguments, "expected (" + signature + ")");
		return false;
	}
	// Every such call carries a message or a batch of them, and its target.
	const CallArguments args(method, message);
	QByteArrayList list;
	if (args.Has("messages")) {
		list = qdbus_cast<QByteArrayList>(args["messages"]);
		if (list.isEmpty() || list.size() > kMaxBatchRequests) {
			send_error(message, connection, kErrorBadArguments,
			           "expected 1 to " + std::to_string(kMaxBatchRequests) + " messages");
			return false;
		}
	} else {
		list.append(args["message"].toByteArray());
	}
	int32 looperToken = args["looper"].toInt();
	accepted->handlerToken = args["handler"].toInt();
	accepted->looper = incoming_target(looperToken, accepted->handlerToken);
	if (!accepted->looper) {
		send_error(message, connection, kErrorNoTarget, "no such target");
		return false;
	}
	size_t total = 0;
	for (const QByteArray& bytes : list)
		total += (size_t)bytes.size();
	if (total > kMaxWireMessageSize) {
		send_error(message, connection, kErrorTooLarge, "messages too large");
		return false;
	}
	// All or nothing: one bad message queues none of them.
	for (const QByteArray& bytes : list) {
		accepted->messages.emplace_back(incoming_message(bytes, message, connection));
		if (!accepted->messages.back())
			return false;
	}
	// Held until answered: refused while others hold too much already.
	if (held) {
		if (!BusConnection::Default().Hold(total)) {
			send_error(message, connection, kErrorBusy, "too many requests unanswered");
			return false;
		}
		accepted->heldBytes = total;
	}
	return true;
}

void BusObject::_Post(const QDBusMessage& message, const QDBusConnection& connection)
{
	Accepted call;
	if (!_Accept(kBusPost, false, message, connection, &call))
		return;
	const CallArguments args(kBusPost, message);
	std::unique_ptr<BMessage> incoming = std::move(call.messages[0]);
	BMessenger::Address replyTo{args["replyTeam"].toInt(), args["replyLooper"].toInt(),
	                            args["replyHandler"].toInt()};
	if (replyTo.team > 0) {
		MessageInternals::SetReplyChannel(
		    *incoming, std::make_shared<AddressReplyChannel>(BMessenger::FromAddress(replyTo)));
	}
	if (call.looper->Enqueue(std::move(incoming), call.handlerToken) != B_OK) {
		send_error(message, connection, kErrorNoTarget, "target has quit");
		return;
	}
	connection.send(message.createReply());
}

void BusObject::_Request(const QDBusMessage& message, const QDBusConnection& connection)
{
	_RequestAnswered(kBusRequest, message, connection);
}

void BusObject::_RequestFd(const QDBusMessage& message, const QDBusConnection& connection)
{
	_RequestAnswered(kBusRequestFd, message, connection);
}

void BusObject::_RequestAnswered(const BusMethod& method, const QDBusMessage& message,
                                 const QDBusConnection& connection)
{
	Accepted call;
	if (!_Accept(method, true, message, connection, &call))
		return;
	std::unique_ptr<BMessage> incoming = std::move(call.messages[0]);
	MessageInternals::SetReplyChannel(
	    *incoming, std::make_shared<BusRequestChannel>(message, connection, call.heldBytes,
	                                                   &method == &kBusRequestFd));
	MessageInternals::SetSourceWaiting(*incoming, true);
	// Should the looper be gone, deleting the message answers B_NO_REPLY.
	call.looper->Enqueue(std::move(incoming), call.handlerToken);
}

void BusObject::_Requests(const QDBusMessage& message, const QDBusConnection& connection)
{
	Accepted call;
	if (!_Accept(kBusRequests, true, message, connection, &call))
		return;
	auto batch = std::make_shared<BatchReplies>(message, connection, (int)call.messages.size(),
	                                            call.heldBytes);
	for (size_t i = 0; i < call.messages.size(); i++) {
		std::unique_ptr<BMessage> incoming = std::move(call.messages[i]);
		MessageInternals::SetReplyChannel(*incoming,
		                                  std::make_shared<BatchReplyChannel>(batch, (int)i));
		MessageInternals::SetSourceWaiting(*incoming, true);
		// Should the looper be gone, deleting the message answers B_NO_REPLY.
		call.looper->Enqueue(std::move(incoming), call.handlerToken);
	}
	// The asker's own time-out is a little longer: what is answered by then
	// still reaches it.
	int waitMs = CallArguments(kBusRequests, message)["waitMs"].toInt();
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
	reply.setArguments(app_info_arguments(own));
	connection.send(reply);
}

bool BusObject::_Is(const BusMethod& method, const QDBusMessage& message)
{
	return message.member() == QLatin1String(method.name) &&
	       message.signature() == QLatin1String(method.InSignature().c_str());
}

void BusObject::_Properties(const QDBusMessage& message, const QDBusConnection& connection)
{
	app_record own;
	if (!_Own(&own)) {
		send_error(message, connection, kErrorNoTarget, "no application");
		return;
	}
	// The properties are GetAppInfo's answer, one by one.
	QVariantMap values;
	const QList<QVariant> facts = app_info_arguments(own);
	for (size_t i = 0; i < kBusGetAppInfo.out.size(); i++)
		values.insert(QString::fromStdString(property_name(kBusGetAppInfo.out[i])), facts.at(i));

	auto ours = [&](const CallArguments& args) {
		return args["interface"].toString() == QLatin1String(kBusInterface);
	};
	if (_Is(kBusPropertiesGetAll, message)) {
		const bool asked = ours(CallArguments(kBusPropertiesGetAll, message));
		connection.send(message.createReply(QVariant::fromValue(asked ? values : QVariantMap())));
		return;
	}
	if (_Is(kBusPropertiesGet, message)) {
		const CallArguments args(kBusPropertiesGet, message);
		QString name = args["name"].toString();
		if (!ours(args) || !values.contains(name)) {
			send_error(message, connection, kErrorBadArguments, "no such property");
			return;
		}
		connection.send(message.createReply(QVariant::fromValue(QDBusVariant(values.value(name)))));
		return;
	}
	send_error(message, connection, kErrorUnknownMethod, "properties are read-only");
}

} // namespace BPrivate
