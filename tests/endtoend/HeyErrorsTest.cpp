// What hey does with bad input, with requests nobody can answer, and with
// peers that answer badly or not at all: one clear line, a status, and no
// wait beyond the time-out.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QDBusVirtualObject>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <AppDefs.h>
#include <Errors.h>
#include <Message.h>

#include "EditorFixture.h"

namespace {

using namespace std::chrono_literals;

// A line of its own on standard error, naming the tool.
bool OneLineError(const HeyResult& result)
{
	return result.err.rfind("hey: ", 0) == 0 && result.err.find('\n') != std::string::npos;
}

TEST(HeyUsageTest, BadCommandLinesAreRefusedWithStatusTwo)
{
	const std::vector<std::vector<std::string>> bad = {
	    {},
	    {"LocaleEditor"},
	    {"LocaleEditor", "fetch", "Title"},
	    {"LocaleEditor", "get", "Title", "of"},
	    {"LocaleEditor", "set", "Frame", "to"},
	    {"LocaleEditor", "set", "Frame", "to", "BRect(1,2)"},
	    {"LocaleEditor", "set", "Frame", "with", "novalue"},
	    {"LocaleEditor", "get", "Title", "extra", "words"},
	    {"LocaleEditor", "get", "View", "[1 to 0]"},
	    {"-t", "soon", "LocaleEditor", "get", "Name"},
	    {"-x", "LocaleEditor", "get", "Name"},
	};
	for (const std::vector<std::string>& arguments : bad) {
		HeyResult result = RunHey(arguments);
		EXPECT_EQ(2, result.exitCode) << testing::PrintToString(arguments);
		EXPECT_TRUE(OneLineError(result)) << result.err;
		EXPECT_TRUE(result.out.empty());
	}
}

TEST(HeyUsageTest, AnApplicationThatIsNotRunningIsStatusTwo)
{
	for (const char* app : {"NoSuchProgram", "application/x-vnd.nobody-here", "999999"}) {
		HeyResult result = RunHey({"-t", "2000", app, "get", "Name"});
		EXPECT_EQ(2, result.exitCode) << app;
		EXPECT_NE(std::string::npos, result.err.find("no application")) << result.err;
	}
}

class VerbErrorsTest : public EditorFixture
{
};

TEST_F(VerbErrorsTest, EveryVerbHasItsErrorReply)
{
	const std::vector<std::vector<std::string>> refused = {
	    {"get", "Colour", "of", "Window", "0"},
	    {"set", "Title", "of", "Window", "0"},            // no value
	    {"set", "Title", "of", "Window", "0", "to", "5"}, // not a string
	    {"set", "Look", "of", "Window", "0", "to", "1"},  // read-only
	    {"do", "View", "bkg_view", "of", "Window", "0"},  // not a control
	    {"count", "Text", "of", "View", "txtctrl_version", "of", "Window", "0"},
	    {"create", "View", "of", "Window", "0"},
	    {"delete", "View", "0", "of", "Window", "0"},
	    {"getsuites", "of", "View", "nowhere", "of", "Window", "0"},
	    {"'zzzz'", "Frame", "of", "Window", "0"},
	};
	for (const std::vector<std::string>& words : refused) {
		HeyResult result = Hey(words);
		EXPECT_EQ(1, result.exitCode) << testing::PrintToString(words) << result.out << result.err;
		EXPECT_EQ(0u, result.out.rfind("Reply BMessage(", 0)) << result.out;
	}
	// Nothing of that changed the window.
	HeyResult look = Hey({"get", "Title", "of", "Window", "0"});
	EXPECT_EQ("Korvane Locale Editor", ResultString(look));
}

// Requests to a team this process claims on the bus, answered badly or
// not at all. No process has such an id. Unless told otherwise it does not
// know RequestFd, as a program that predates it.
class HostilePeer : public QDBusVirtualObject
{
public:
	enum FileMode { kNoFiles, kPipe, kUnsealed, kOversize, kBytesInstead };
	bool silent = false;
	bool answerWell = false; // Request gets a proper reply
	FileMode files = kNoFiles;

	HostilePeer() { EXPECT_EQ(0, pipe2(mPipe, O_CLOEXEC)); }
	~HostilePeer() override
	{
		close(mPipe[0]);
		close(mPipe[1]);
	}

	QString introspect(const QString&) const override { return QString(); }
	bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
	{
		if (message.member() == QLatin1String("RequestFd") && files != kNoFiles) {
			_AnswerWithFile(message, connection);
			return true;
		}
		if (message.member() != QLatin1String("Request"))
			return false;
		if (silent)
			return true;
		connection.send(message.createReply(
		    QVariant(answerWell ? Reply() : QByteArray("1BOF but nothing more"))));
		return true;
	}

	static QByteArray Reply()
	{
		BMessage reply(B_REPLY);
		reply.AddString("result", "old but well");
		reply.AddInt32("error", B_OK);
		QByteArray bytes(reply.FlattenedSize(), 0);
		reply.Flatten(bytes.data(), bytes.size());
		return bytes;
	}

private:
	void _AnswerWithFile(const QDBusMessage& message, const QDBusConnection& connection)
	{
		const QByteArray bytes = Reply();
		if (files == kPipe) {
			// Its writer stays open: reading it would wait for ever.
			connection.send(
			    message.createReply(QVariant::fromValue(QDBusUnixFileDescriptor(mPipe[0]))));
			return;
		}
		if (files == kBytesInstead) {
			connection.send(message.createReply(QVariant(bytes)));
			return;
		}
		int fd = memfd_create("hostile", MFD_CLOEXEC | MFD_ALLOW_SEALING);
		if (write(fd, bytes.constData(), bytes.size()) != bytes.size())
			ADD_FAILURE() << "no memory file";
		if (files == kOversize) {
			ftruncate(fd, 64 * 1024 * 1024);
			fcntl(fd, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE | F_SEAL_SEAL);
		}
		QDBusUnixFileDescriptor file;
		file.giveFileDescriptor(fd);
		connection.send(message.createReply(QVariant::fromValue(file)));
	}

	int mPipe[2] = {-1, -1};
};

TEST(HostilePeerTest, SilenceCostsTheTimeOutAndGarbageIsReported)
{
	int argc = 1;
	char name[] = "endtoend";
	char* argv[] = {name, nullptr};
	QCoreApplication app(argc, argv);
	// This process's own team: the bus vouches that the name is held by it.
	const int team = getpid();
	QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "hostile");
	ASSERT_TRUE(bus.isConnected());
	HostilePeer peer;
	ASSERT_TRUE(bus.registerVirtualObject("/org/vessmor/App", &peer));
	ASSERT_TRUE(bus.registerService(QString("org.vessmor.Team%1").arg(team)));

	HeyResult garbage = RunHey({"-t", "3000", std::to_string(team), "get", "Name"});
	EXPECT_EQ(1, garbage.exitCode) << garbage.out << garbage.err;
	EXPECT_TRUE(OneLineError(garbage)) << garbage.err;
	EXPECT_TRUE(garbage.out.empty());

	peer.silent = true;
	HeyResult silent = RunHey({"-t", "400", std::to_string(team), "get", "Name"});
	EXPECT_EQ(1, silent.exitCode) << silent.err;
	EXPECT_NE(std::string::npos, silent.err.find("did not answer in time")) << silent.err;
	// It waited for the peer: the bus's coarse timers may end the wait a
	// little early, never at once.
	EXPECT_GE(silent.took, 300ms);
	EXPECT_LT(silent.took, 3000ms) << "hey waited beyond its time-out";

	// A program that predates RequestFd and answers well is answered.
	peer.silent = false;
	peer.answerWell = true;
	HeyResult old = RunHey({"-t", "3000", std::to_string(team), "get", "Name"});
	EXPECT_EQ(0, old.exitCode) << old.err;
	EXPECT_EQ("old but well", ResultString(old));

	// Descriptors that are no sealed reply: one line each, no hang.
	for (HostilePeer::FileMode mode : {HostilePeer::kPipe, HostilePeer::kUnsealed,
	                                   HostilePeer::kOversize, HostilePeer::kBytesInstead}) {
		peer.files = mode;
		HeyResult bad = RunHey({"-t", "3000", std::to_string(team), "get", "Name"});
		EXPECT_EQ(1, bad.exitCode) << "mode " << mode << ": " << bad.out << bad.err;
		EXPECT_TRUE(OneLineError(bad)) << bad.err;
		EXPECT_EQ(std::string::npos, bad.err.find('\n', bad.err.find('\n') + 1)) << bad.err;
		EXPECT_TRUE(bad.out.empty()) << bad.out;
		EXPECT_LT(bad.took, 2000ms) << "mode " << mode;
	}

	bus.unregisterService(QString("org.vessmor.Team%1").arg(team));
	bus.unregisterObject("/org/vessmor/App");
	QDBusConnection::disconnectFromBus("hostile");
}

} // namespace
