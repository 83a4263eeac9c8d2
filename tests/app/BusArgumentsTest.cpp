// The application object reads each argument of a call by its name: every
// method of the interface is called with a different value in each argument,
// placed where the one table says, and the call only arrives and answers as
// it should when the object takes each value from that place.
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <unistd.h>

#include <QByteArray>
#include <QByteArrayList>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusUnixFileDescriptor>
#include <QDBusVariant>
#include <QVariantMap>

#include <gtest/gtest.h>

#include "BusInterface.h"
#include "BusTestSupport.h"
#include "Looper.h"
#include "Message.h"
#include "SealedReply.h"
#include "Wait.h"

using namespace apptest;

namespace {

const uint32 kMsgEcho = 'echo';
// Kept unanswered till the test ends, so a batch waits its whole waitMs.
const uint32 kMsgHush = 'hush';

// Answers every message but kMsgHush with its own token, so a reply tells
// which handler the call reached.
class EchoHandler : public BHandler
{
public:
	EchoHandler() : BHandler("echo") {}

	void MessageReceived(BMessage* message) override
	{
		if (message->what == kMsgHush) {
			std::lock_guard<std::mutex> guard(mLock);
			mHeld.reset(Looper()->DetachCurrentMessage());
			return;
		}
		BMessage reply(kMsgEcho);
		reply.AddInt32("handler", Token());
		message->SendReply(&reply);
	}

private:
	std::mutex mLock;
	std::unique_ptr<BMessage> mHeld;
};

QByteArray flattened(uint32 what)
{
	BMessage message(what);
	QByteArray bytes(message.FlattenedSize(), 0);
	EXPECT_EQ(B_OK, message.Flatten(bytes.data(), bytes.size()));
	return bytes;
}

BMessage unflattened(const QByteArray& bytes)
{
	BMessage message;
	EXPECT_EQ(B_OK, message.Unflatten(bytes.constData(), bytes.size()));
	return message;
}

} // namespace

TEST_F(BusTest, EveryMethodReadsEachArgumentByItsName)
{
	Watchdog watchdog(60);
	qDBusRegisterMetaType<QByteArrayList>();
	run_app(app.get(), [&] {
		// Tokens and the team are all different numbers: a value read from
		// another argument's place names no target, or the wrong one.
		auto echo = std::make_unique<EchoHandler>(); // outlives its looper
		RecordingLooper target;
		ASSERT_TRUE(target.ChangeHandlers({echo.get()}));
		RecordingLooper replies;
		const int looper = target.looper->Token();
		const int handler = echo->Token();
		ASSERT_NE(looper, handler);

		// A connection of its own: the layer's is busy answering.
		QDBusConnection bus =
		    QDBusConnection::connectToBus(QDBusConnection::SessionBus, "arguments-by-name");
		ASSERT_TRUE(bus.isConnected());
		const QString service = QString("org.vessmor.Team%1").arg(getpid());
		// The application takes its name on the bus as it starts running.
		ASSERT_TRUE(WaitFor([&] { return bus.interface()->isServiceRegistered(service).value(); }))
		    << "the application has no name on the bus";
		const int waitMs = 700;
		const QVariantMap values{{"message", flattened('one')},
		                         {"messages", QVariant::fromValue(QByteArrayList{
		                                          flattened('rqs1'), flattened(kMsgHush)})},
		                         {"looper", looper},
		                         {"handler", handler},
		                         {"replyTeam", (int)getpid()},
		                         {"replyLooper", (int)replies.looper->Token()},
		                         {"replyHandler", (int)replies.handler->Token()},
		                         {"waitMs", waitMs},
		                         {"interface", QString(BPrivate::kBusInterface)},
		                         {"name", QString("Signature")}};
		// The arguments in the order the table gives them.
		auto call = [&](const BPrivate::BusMethod& method) {
			QDBusMessage message = QDBusMessage::createMethodCall(service, BPrivate::kBusObjectPath,
			                                                      method.interface, method.name);
			for (const BPrivate::BusArgument& argument : method.in) {
				EXPECT_TRUE(values.contains(argument.name)) << method.name << " " << argument.name;
				message << values.value(argument.name);
			}
			return bus.call(message, QDBus::Block, 20000);
		};
		auto answeredBy = [](const BMessage& reply) {
			return reply.what == kMsgEcho ? reply.GetInt32("handler", -1) : -1;
		};

		// Post: the target, and a reply address in the other looper.
		QDBusMessage reply = call(BPrivate::kBusPost);
		ASSERT_EQ(QDBusMessage::ReplyMessage, reply.type()) << reply.errorMessage().toStdString();
		ASSERT_TRUE(replies.handler->WaitForCount(1, 10000)) << "the reply address was misread";
		EXPECT_EQ(handler, answeredBy(replies.handler->MessageAt(0)));

		reply = call(BPrivate::kBusRequest);
		ASSERT_EQ(QDBusMessage::ReplyMessage, reply.type()) << reply.errorMessage().toStdString();
		EXPECT_EQ(handler, answeredBy(unflattened(reply.arguments().at(0).toByteArray())));

		reply = call(BPrivate::kBusRequestFd);
		ASSERT_EQ(QDBusMessage::ReplyMessage, reply.type()) << reply.errorMessage().toStdString();
		QDBusUnixFileDescriptor file =
		    qvariant_cast<QDBusUnixFileDescriptor>(reply.arguments().at(0));
		BMessage fromFile;
		ASSERT_EQ(B_OK, BPrivate::read_sealed_reply(dup(file.fileDescriptor()), &fromFile));
		EXPECT_EQ(handler, answeredBy(fromFile));

		// Requests: one answered at once, one held, so the batch comes back
		// only when waitMs, unlike any token, has passed.
		const auto start = std::chrono::steady_clock::now();
		reply = call(BPrivate::kBusRequests);
		const auto waited = std::chrono::steady_clock::now() - start;
		ASSERT_EQ(QDBusMessage::ReplyMessage, reply.type()) << reply.errorMessage().toStdString();
		EXPECT_GE(waited, std::chrono::milliseconds(waitMs - 50));
		EXPECT_LT(waited, std::chrono::milliseconds(15000));
		QByteArrayList answers = qdbus_cast<QByteArrayList>(reply.arguments().at(0));
		ASSERT_EQ(2, answers.size());
		EXPECT_EQ(handler, answeredBy(unflattened(answers.at(0))));
		EXPECT_TRUE(answers.at(1).isEmpty()) << "the held one is unanswered";

		// The properties: the interface and the name each in its place.
		reply = call(BPrivate::kBusPropertiesGet);
		ASSERT_EQ(QDBusMessage::ReplyMessage, reply.type()) << reply.errorMessage().toStdString();
		EXPECT_EQ(QString(kBusTestSignature),
		          qvariant_cast<QDBusVariant>(reply.arguments().at(0)).variant().toString());
		reply = call(BPrivate::kBusPropertiesGetAll);
		ASSERT_EQ(QDBusMessage::ReplyMessage, reply.type());
		EXPECT_EQ(getpid(), qdbus_cast<QVariantMap>(reply.arguments().at(0)).value("Team").toInt());

		reply = call(BPrivate::kBusGetAppInfo);
		ASSERT_EQ(QDBusMessage::ReplyMessage, reply.type());
		EXPECT_EQ(getpid(), reply.arguments().at(0).toInt());
		QDBusConnection::disconnectFromBus("arguments-by-name");
	});
}
