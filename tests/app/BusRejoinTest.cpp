// An application the bus drops joins again under its own name: on a bus of
// the test's own whose daemon takes messages of at most 1 MiB, a peer's
// answer over that makes the daemon drop the peer's connection.
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>

#include <gtest/gtest.h>

#include "EnvironmentGuard.h"

#include "BusTestSupport.h"
#include "Message.h"

using namespace apptest;

namespace {

const char* const kDaemon = "/usr/bin/dbus-daemon";

void write_bus_config(const std::string& path, const std::string& socket)
{
	std::ofstream out(path);
	out << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
	       " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
	       "<busconfig>\n"
	       "  <type>session</type>\n"
	       "  <listen>unix:path="
	    << socket
	    << "</listen>\n"
	       "  <auth>EXTERNAL</auth>\n"
	       "  <policy context=\"default\">\n"
	       "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
	       "    <allow eavesdrop=\"true\"/>\n"
	       "    <allow own=\"*\"/>\n"
	       "  </policy>\n"
	       "  <limit name=\"max_message_size\">1048576</limit>\n"
	       "</busconfig>\n";
}

QByteArray flattened_get(const char* property)
{
	BMessage request(B_GET_PROPERTY);
	request.AddSpecifier(property);
	QByteArray bytes(request.FlattenedSize(), 0);
	request.Flatten(bytes.data(), bytes.size());
	return bytes;
}

QDBusMessage ask(QDBusConnection& bus, pid_t team, const char* property, int timeoutMs)
{
	QDBusMessage call = QDBusMessage::createMethodCall(
	    QString("org.vessmor.Team%1").arg(team), "/org/vessmor/App", "org.vessmor.App", "Request");
	call << flattened_get(property) << -1 << -1;
	return bus.call(call, QDBus::Block, timeoutMs);
}

QString owner_of(QDBusConnection& bus, pid_t team)
{
	QDBusConnectionInterface* daemon = bus.interface();
	QDBusReply<QString> owner = daemon->serviceOwner(QString("org.vessmor.Team%1").arg(team));
	return owner.isValid() ? owner.value() : QString();
}

} // namespace

TEST_F(BusTest, AnApplicationTheBusDropsJoinsAgainUnderItsName)
{
	Watchdog watchdog(90);
	struct stat info;
	if (stat(kDaemon, &info) != 0)
		GTEST_SKIP() << "no " << kDaemon;
	ScratchFolder dir;
	const std::string socket = dir / "bus";
	write_bus_config(dir / "bus.conf", socket);
	PeerProcess daemon(kDaemon, {"--config-file=" + dir / "bus.conf", "--nofork"});
	ASSERT_TRUE(daemon.Started());
	ASSERT_TRUE(wait_until([&] { return stat(socket.c_str(), &info) == 0; }, 10000));

	const std::string address = "unix:path=" + socket;
	std::unique_ptr<PeerProcess> peer;
	{
		EnvironmentGuard onOwnBus("DBUS_SESSION_BUS_ADDRESS", address);
		// 60000 texts answer with about 1.4 MB.
		peer = std::make_unique<PeerProcess>(peer_path("locale_peer"),
		                                     WithSignature("locale_peer", {"--texts=60000"}));
	}
	ASSERT_TRUE(peer->Started());
	QDBusConnection bus =
	    QDBusConnection::connectToBus(QString::fromStdString(address), "rejoin-test");
	ASSERT_TRUE(bus.isConnected());
	ASSERT_TRUE(wait_until([&] { return !owner_of(bus, peer->Pid()).isEmpty(); }, 10000));
	const QString firstOwner = owner_of(bus, peer->Pid());

	// The answer cannot travel: the daemon drops the peer.
	QDBusMessage answer = ask(bus, peer->Pid(), "DefaultText", 5000);
	EXPECT_EQ(QDBusMessage::ErrorMessage, answer.type());

	// Back under the same name, on a connection of its own again, and
	// answering.
	ASSERT_TRUE(wait_until(
	    [&] {
		    QString owner = owner_of(bus, peer->Pid());
		    return !owner.isEmpty() && owner != firstOwner;
	    },
	    10000))
	    << "the peer did not join again";
	answer = ask(bus, peer->Pid(), "DefaultLanguage", 5000);
	ASSERT_EQ(QDBusMessage::ReplyMessage, answer.type()) << answer.errorName().toStdString();
	BMessage reply;
	QByteArray bytes = answer.arguments().at(0).toByteArray();
	ASSERT_EQ(B_OK, reply.Unflatten(bytes.constData(), bytes.size()));
	EXPECT_STREQ("English", reply.GetString("result", ""));
	QDBusConnection::disconnectFromBus("rejoin-test");
}
