// The plain bus client (no Qt, for command-line tools): a request to another
// process answers as a messenger's does, its errors are a messenger's, and
// the applications it lists are those the roster trusts.
#include <dirent.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QDBusVirtualObject>

#include <gtest/gtest.h>

#include "BusTestSupport.h"
#include "EnvironmentGuard.h"
#include "OS.h"
#include "PlainBusClient.h"
#include "SealedReply.h"
#include "Wait.h"

using namespace apptest;
using BPrivate::PlainBusClient;

namespace {

int open_descriptors()
{
	int count = 0;
	if (DIR* folder = opendir("/proc/self/fd")) {
		while (readdir(folder) != nullptr)
			count++;
		closedir(folder);
	}
	return count;
}

// A team of the test's own that answers Request and RequestFd as it is told:
// as an application of this layer does, as one that predates RequestFd, or
// with descriptors no reply should come in.
class FilePeer : public QDBusVirtualObject
{
public:
	enum Mode { kSealedFile, kOld, kPipe, kUnsealed, kOversize, kBytesInstead, kSilent };
	std::atomic<Mode> mode = kSealedFile;
	std::atomic<int> fileCalls = 0;
	std::atomic<int> inlineCalls = 0;

	FilePeer()
	{
		// The writer stays open, so a client that read the pipe would hang.
		EXPECT_EQ(0, pipe2(mPipe, O_CLOEXEC));
	}
	~FilePeer() override
	{
		close(mPipe[0]);
		close(mPipe[1]);
	}

	QString introspect(const QString&) const override { return QString(); }
	bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
	{
		const std::string reply = flattened(large_text_reply(2000000));
		if (message.member() == QLatin1String("Request")) {
			inlineCalls++;
			QByteArray bytes(reply.data(), (qsizetype)reply.size());
			connection.send(message.createReply(QVariant(bytes)));
			return true;
		}
		if (message.member() != QLatin1String("RequestFd") || mode == kOld)
			return false;
		fileCalls++;
		const int sealed = F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE | F_SEAL_SEAL;
		switch (mode) {
		case kSealedFile:
			_SendFile(message, connection, reply, sealed, -1);
			break;
		case kPipe:
			connection.send(
			    message.createReply(QVariant::fromValue(QDBusUnixFileDescriptor(mPipe[0]))));
			break;
		case kUnsealed:
			_SendFile(message, connection, reply, 0, -1);
			break;
		case kOversize:
			_SendFile(message, connection, reply, sealed, 17 * 1024 * 1024);
			break;
		case kBytesInstead:
			connection.send(
			    message.createReply(QVariant(QByteArray(reply.data(), (qsizetype)reply.size()))));
			break;
		default:
			break;
		}
		return true;
	}

private:
	void _SendFile(const QDBusMessage& message, const QDBusConnection& connection,
	               const std::string& bytes, int seals, off_t size)
	{
		int fd = memfd_create("peer", MFD_CLOEXEC | MFD_ALLOW_SEALING);
		ASSERT_GE(fd, 0);
		ASSERT_EQ((ssize_t)bytes.size(), write(fd, bytes.data(), bytes.size()));
		if (size >= 0) {
			ASSERT_EQ(0, ftruncate(fd, size));
		}
		if (seals != 0) {
			ASSERT_EQ(0, fcntl(fd, F_ADD_SEALS, seals));
		}
		QDBusUnixFileDescriptor file;
		file.giveFileDescriptor(fd);
		connection.send(message.createReply(QVariant::fromValue(file)));
	}

	int mPipe[2] = {-1, -1};
};

TEST_F(BusTest, APlainClientAsksAPeerAndListsItAsTheRosterDoes)
{
	Watchdog watchdog(60);
	run_app(app.get(), [&] {
		auto peer = StartPeer("locale_peer", {"--text=first", "--text=second"});
		PlainBusClient client;
		ASSERT_TRUE(client.Connect());

		BMessage reply;
		ASSERT_EQ(B_OK, client.Request(peer->Pid(), get_property("DefaultText"), &reply, 5000000));
		EXPECT_EQ((uint32)B_REPLY, reply.what);
		EXPECT_STREQ("first", reply.GetString("result", 0, ""));
		EXPECT_STREQ("second", reply.GetString("result", 1, ""));

		bool listed = false;
		for (const PlainBusClient::Application& running : client.Applications()) {
			if (running.team != peer->Pid())
				continue;
			listed = true;
			EXPECT_EQ(localeSignature, running.signature);
			EXPECT_EQ(peer_path("locale_peer"), running.executable);
		}
		EXPECT_TRUE(listed);
	});
}

TEST_F(BusTest, APlainClientsErrorsAreThoseOfAMessenger)
{
	Watchdog watchdog(60);
	run_app(app.get(), [&] {
		auto peer = StartPeer("locale_peer", {"--silent"});
		PlainBusClient client;
		ASSERT_TRUE(client.Connect());

		BMessage reply(B_REPLY);
		bigtime_t start = system_time();
		EXPECT_EQ(B_TIMED_OUT,
		          client.Request(peer->Pid(), get_property("DefaultText"), &reply, 400000));
		EXPECT_LT(system_time() - start, 1500000);
		EXPECT_EQ((uint32)B_NO_REPLY, reply.what);

		// No application under that team: the bus says so at once.
		reply.what = B_REPLY;
		EXPECT_EQ(B_BAD_PORT_ID,
		          client.Request(peer->Pid() + 1000000, get_property("Suites"), &reply, 5000000));
		EXPECT_EQ((uint32)B_NO_REPLY, reply.what);
	});
}

TEST_F(BusTest, LargeRepliesComeInASealedFileAndOldPeersAreAskedInline)
{
	Watchdog watchdog(60);
	FilePeer object;
	RunWithFakeTeam("file-peer", &object, [&](const FakeTeam& fake, BMessenger&) {
		const std::string expected = flattened(large_text_reply(2000000));
		PlainBusClient client;
		ASSERT_TRUE(client.Connect());
		BMessage reply;
		ASSERT_EQ(B_OK, client.Request(fake.Team(), get_property("Text"), &reply, 5000000));
		EXPECT_EQ(expected, flattened(reply));
		EXPECT_EQ(1, object.fileCalls.load());
		EXPECT_EQ(0, object.inlineCalls.load()) << "asked twice";

		// A peer without RequestFd: asked again with Request, same reply.
		object.mode = FilePeer::kOld;
		reply.MakeEmpty();
		ASSERT_EQ(B_OK, client.Request(fake.Team(), get_property("Text"), &reply, 5000000));
		EXPECT_EQ(expected, flattened(reply));
		EXPECT_EQ(1, object.inlineCalls.load());

		// Told to, the client asks inline only.
		object.mode = FilePeer::kSealedFile;
		EnvironmentGuard inlineOnly("VESSMOR_BUS_INLINE_REPLIES", "1");
		PlainBusClient inlineClient;
		ASSERT_TRUE(inlineClient.Connect());
		reply.MakeEmpty();
		ASSERT_EQ(B_OK, inlineClient.Request(fake.Team(), get_property("Text"), &reply, 5000000));
		EXPECT_EQ(expected, flattened(reply));
		EXPECT_EQ(1, object.fileCalls.load());
		EXPECT_EQ(2, object.inlineCalls.load());
	});
}

TEST_F(BusTest, HostileFileRepliesAreRefusedWithoutLeakingDescriptors)
{
	Watchdog watchdog(60);
	FilePeer object;
	RunWithFakeTeam("hostile-files", &object, [&](const FakeTeam& fake, BMessenger&) {
		PlainBusClient client;
		ASSERT_TRUE(client.Connect());
		BMessage reply;
		// Once answered well, so that the connections have all they keep.
		ASSERT_EQ(B_OK, client.Request(fake.Team(), get_property("Text"), &reply, 5000000));
		const int descriptors = open_descriptors();

		for (int round = 0; round < 3; round++) {
			for (FilePeer::Mode mode : {FilePeer::kPipe, FilePeer::kUnsealed, FilePeer::kOversize,
			                            FilePeer::kBytesInstead}) {
				object.mode = mode;
				reply = BMessage(B_REPLY);
				bigtime_t start = system_time();
				EXPECT_EQ(B_BAD_REPLY,
				          client.Request(fake.Team(), get_property("Text"), &reply, 2000000))
				    << "mode " << mode;
				EXPECT_LT(system_time() - start, 1500000) << "mode " << mode;
				EXPECT_EQ((uint32)B_NO_REPLY, reply.what);
			}
		}
		EXPECT_EQ(0, object.inlineCalls.load()) << "a bad answer is no reason to ask again";

		object.mode = FilePeer::kSilent;
		bigtime_t start = system_time();
		EXPECT_EQ(B_TIMED_OUT, client.Request(fake.Team(), get_property("Text"), &reply, 300000));
		EXPECT_LT(system_time() - start, 1500000);

		// What the peer's side still holds of its answers goes once they
		// are sent; what the client took must be closed by then.
		EXPECT_TRUE(WaitUntil([&] { return open_descriptors() <= descriptors; }))
		    << open_descriptors() - descriptors << " descriptors more than before";
	});
}

TEST(PlainBusClient, WithoutASessionBusNothingIsAsked)
{
	EnvironmentGuard noBus("DBUS_SESSION_BUS_ADDRESS", std::nullopt);
	PlainBusClient client;
	EXPECT_FALSE(client.Connect());
	BMessage reply;
	EXPECT_EQ(B_BAD_PORT_ID, client.Request(getpid(), get_property("Suites"), &reply, 100000));
	EXPECT_TRUE(client.Applications().empty());
}

} // namespace
