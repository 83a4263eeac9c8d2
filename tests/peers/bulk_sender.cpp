// bulk_sender: a program that is no application of the layer, only a client
// of the session bus, asking an application with large Request calls as any
// local program can; for tests of what the application survives.
//
// Usage: bulk_sender --to=TEAM [--option=value ...]
//   --to=TEAM          the team asked (its application object)
//   --bytes=N          bytes of the raw field "data" added to each request (1000000)
//   --count=N          Request calls sent at once, before waiting for any (1)
//   --timeout-ms=MS    how long each call waits for its answer (20000)
//   --result-file=PATH write one line per call, in the order sent: "reply" or
//                      the D-Bus error name; then "done"
//   --help             print this usage and exit 2
// Each request is B_GET_PROPERTY for "DefaultText" (so that locale_peer
// --silent holds it unanswered). Exits 0 once every call ended, 1 without a
// session bus, 2 on a bad option. Options are stable: other tests rely on them.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>

#include "BusInterface.h"
#include "Message.h"
#include "PeerOptions.h"

namespace {

const char* kUsage = "usage: bulk_sender --to=TEAM [--bytes=N] [--count=N] [--timeout-ms=MS] "
                     "[--result-file=PATH]\n";

QByteArray flattened_request(long long bytes)
{
	BMessage request(B_GET_PROPERTY);
	request.AddSpecifier("DefaultText");
	{
		std::string data((size_t)bytes, 'x');
		request.AddData("data", B_RAW_TYPE, data.data(), (ssize_t)data.size(), false);
	}
	QByteArray flat(request.FlattenedSize(), 0);
	if (request.Flatten(flat.data(), flat.size()) != B_OK)
		return QByteArray();
	return flat;
}

} // namespace

int main(int argc, char** argv)
{
	long long to = -1;
	long long bytes = 1000000;
	int count = 1;
	int timeoutMs = 20000;
	std::string resultFile;
	std::vector<PeerOption> options;
	bool ok = parse_peer_options(argc, argv, &options);
	for (const PeerOption& option : options) {
		if (option.name == "to" && option.hasValue)
			to = atoll(option.value.c_str());
		else if (option.name == "bytes" && option.hasValue)
			bytes = atoll(option.value.c_str());
		else if (option.name == "count" && option.hasValue)
			count = atoi(option.value.c_str());
		else if (option.name == "timeout-ms" && option.hasValue)
			timeoutMs = atoi(option.value.c_str());
		else if (option.name == "result-file" && option.hasValue)
			resultFile = option.value;
		else
			ok = false;
	}
	if (!ok || to <= 0 || bytes < 0 || count < 1 || timeoutMs < 1)
		return peer_usage_error(kUsage);

	QCoreApplication app(argc, argv);
	QDBusConnection bus = QDBusConnection::sessionBus();
	if (!bus.isConnected())
		return 1;
	using namespace BPrivate;
	std::vector<QDBusPendingCall> calls;
	{
		QByteArray request = flattened_request(bytes);
		for (int i = 0; i < count; i++) {
			QDBusMessage call = QDBusMessage::createMethodCall(
			    QString::fromLatin1(kBusServicePrefix) + QString::number(to),
			    QString::fromLatin1(kBusObjectPath), QString::fromLatin1(kBusInterface),
			    QString::fromLatin1(kBusRequest.name));
			call << request << -1 << -1;
			calls.push_back(bus.asyncCall(call, timeoutMs));
		}
	}
	std::string results;
	for (QDBusPendingCall& call : calls) {
		call.waitForFinished();
		QDBusMessage reply = call.reply();
		results += reply.type() == QDBusMessage::ReplyMessage ? std::string("reply")
		                                                      : reply.errorName().toStdString();
		results += "\n";
	}
	write_peer_file(resultFile, results + "done\n");
	return 0;
}
