// Large requests from other local programs: the application refuses what it
// cannot hold and answer, and stays on the bus answering everybody else.
#include <string>
#include <vector>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDBusVirtualObject>

#include <gtest/gtest.h>

#include "BusTestSupport.h"
#include "FakeTeam.h"
#include "Message.h"
#include "Messenger.h"

using namespace apptest;

namespace {

std::vector<std::string> lines_of(const std::string& text)
{
	std::vector<std::string> lines;
	size_t start = 0;
	for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
		lines.push_back(text.substr(start, end - start));
	return lines;
}

// Starts a bulk_sender at the team; its results land in dir.
std::unique_ptr<PeerProcess> start_sender(const ScratchFolder& dir, const char* leaf, team_id team,
                                          const std::vector<std::string>& options)
{
	std::vector<std::string> args{"--to=" + std::to_string(team), "--result-file=" + dir / leaf};
	args.insert(args.end(), options.begin(), options.end());
	auto sender = std::make_unique<PeerProcess>(peer_path("bulk_sender"), args);
	EXPECT_TRUE(sender->Started());
	return sender;
}

// The application answers on the bus: a property of its object, and a
// message to its looper.
void expect_answering(team_id team, const char* signature)
{
	QDBusMessage get =
	    QDBusMessage::createMethodCall(QString("org.vessmor.Team%1").arg(team), "/org/vessmor/App",
	                                   "org.freedesktop.DBus.Properties", "Get");
	get << QString("org.vessmor.App") << QString("Signature");
	QDBusMessage reply = QDBusConnection::sessionBus().call(get, QDBus::Block, 5000);
	ASSERT_EQ(QDBusMessage::ReplyMessage, reply.type()) << reply.errorName().toStdString();
	EXPECT_EQ(
	    signature,
	    qvariant_cast<QDBusVariant>(reply.arguments().at(0)).variant().toString().toStdString());

	BMessage answer;
	ASSERT_EQ(B_OK, ask_property(BMessenger(nullptr, team), "Suites", &answer));
	EXPECT_EQ((uint32)B_REPLY, answer.what);
}

// A program pretending to be an application, answering every Request with
// bytes just under 64 MiB.
class HugeAnswers : public QDBusVirtualObject
{
public:
	QString introspect(const QString&) const override { return QString(); }
	bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
	{
		if (message.member() != QLatin1String("Request"))
			return false;
		connection.send(
		    message.createReply(QVariant(QByteArray(63 * 1024 * 1024 + 512 * 1024, 'x'))));
		return true;
	}
};

} // namespace

// Two programs each ask with a request just under 64 MiB at once. Together
// they pass what the bus library holds before it stops reading (63 MiB);
// the application used to go deaf on the bus for good after them.
TEST_F(BusTest, RequestsOverTheLimitFromTwoProgramsAreRefusedAndTheApplicationAnswersOn)
{
	Watchdog watchdog(120);
	ScratchFolder dir;
	run_app(app.get(), [&] {
		auto peer = StartPeer("locale_peer", {"--language=Deutsch"});
		const std::string bytes = "--bytes=" + std::to_string(63 * 1024 * 1024 + 512 * 1024);
		auto first = start_sender(dir, "first", peer->Pid(), {bytes});
		auto second = start_sender(dir, "second", peer->Pid(), {bytes});
		ASSERT_EQ(0, first->WaitForExit(60000));
		ASSERT_EQ(0, second->WaitForExit(60000));
		for (const char* leaf : {"first", "second"}) {
			EXPECT_EQ((std::vector<std::string>{"org.vessmor.Error.TooLarge", "done"}),
			          lines_of(ReadFileBytes(dir / leaf)))
			    << leaf;
		}

		expect_answering(peer->Pid(), localeSignature.c_str());
		BMessage reply;
		ASSERT_EQ(B_OK, ask_property(BMessenger(nullptr, peer->Pid()), "DefaultLanguage", &reply));
		EXPECT_STREQ("Deutsch", reply.GetString("result", ""));
	});
}

// Requests the application keeps unanswered hold their bytes on its side of
// the bus; past a share well below the bus library's limit it refuses more.
TEST_F(BusTest, RequestsHeldUnansweredAreRefusedAsBusyBeyondTheirShare)
{
	Watchdog watchdog(120);
	ScratchFolder dir;
	run_app(app.get(), [&] {
		auto peer = StartPeer("locale_peer", {"--silent"});
		// 12 MiB each: two fit in the share, the third does not.
		auto sender = start_sender(
		    dir, "held", peer->Pid(),
		    {"--bytes=" + std::to_string(12 * 1024 * 1024), "--count=3", "--timeout-ms=2000"});
		ASSERT_EQ(0, sender->WaitForExit(60000));
		EXPECT_EQ((std::vector<std::string>{"org.freedesktop.DBus.Error.NoReply",
		                                    "org.freedesktop.DBus.Error.NoReply",
		                                    "org.vessmor.Error.Busy", "done"}),
		          lines_of(ReadFileBytes(dir / "held")));

		// A messenger sees it as busy, and small questions are still answered.
		BMessage large = get_property("DefaultText");
		std::string data(12 * 1024 * 1024, 'x');
		large.AddData("data", B_RAW_TYPE, data.data(), (ssize_t)data.size(), false);
		BMessage reply;
		EXPECT_EQ(B_BUSY,
		          BMessenger(nullptr, peer->Pid()).SendMessage(&large, &reply, 5000000, 5000000));
		expect_answering(peer->Pid(), localeSignature.c_str());
	});
}

// An answer just under 64 MiB to the application's own question passes what
// the bus library holds before it stops reading, as two large requests do.
TEST_F(BusTest, AnAnswerOverTheLimitIsRefusedAndTheAskerStillHearsTheBus)
{
	Watchdog watchdog(120);
	HugeAnswers object;
	RunWithFakeTeam("huge-answers", &object, [&](const FakeTeam&, BMessenger& target) {
		auto peer = StartPeer("locale_peer", {"--language=Deutsch"});
		BMessage request = get_property("DefaultText");
		BMessage reply;
		EXPECT_EQ(B_BAD_REPLY, target.SendMessage(&request, &reply, 20000000, 20000000));

		ASSERT_EQ(B_OK, ask_property(BMessenger(nullptr, peer->Pid()), "DefaultLanguage", &reply));
		EXPECT_STREQ("Deutsch", reply.GetString("result", ""));
	});
}
