#include "Bus.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <unistd.h>
#include <vector>

#include <QByteArrayList>
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QThread>

#include "BatchReplies.h"
#include "BusCalls.h"
#include "BusObjects.h"
#include "BusWire.h"
#include "Message.h"
#include "OS.h"

namespace BPrivate {

const char* const kBusServicePrefix = "org.vessmor.Team";
const char* const kBusObjectPath = "/org/vessmor/App";
const char* const kBusInterface = "org.vessmor.App";

namespace {

struct BusState
{
	std::mutex lock;
	bool tried = false;
	bool ok = false;
	QThread* thread = nullptr;
	BusObject* object = nullptr;
	BusNameWatcher* names = nullptr;
	bool registered = false;
	std::map<team_id, app_record> cache;
	// The teams that have a name on the bus, once listed, kept up to date
	// from NameOwnerChanged. A change seen while a listing is under way may
	// be newer than the listing, so it is logged and replayed on top.
	bool listed = false;
	std::set<team_id> teams;
	int listingsUnderWay = 0;
	std::vector<std::pair<team_id, bool>> nameLog;
	// Teams that did not understand Requests: asked one message at a time.
	std::set<team_id> singleRequestsOnly;
	std::set<team_id> pendingLaunches;
	std::function<void(bool, const app_record&)> watcher;
};

BusState& state()
{
	// Lives as long as the process: the bus thread may still use it while
	// static objects are torn down.
	static BusState* busState = new BusState;
	return *busState;
}

// Where incoming calls are answered. The bus library hands every call to
// the thread of the object it is for; on the connection's own thread that
// is one thread switch less per call. The object never blocks there: it
// only reads the call, queues the message and sends replies. Where that
// thread cannot be told, a thread of our own.
QThread* answering_thread(QDBusConnection& session, QThread* fallback)
{
	QDBusConnectionInterface* daemon = session.interface();
	QThread* thread = daemon != nullptr ? daemon->thread() : nullptr;
	QCoreApplication* app = QCoreApplication::instance();
	if (thread == nullptr || thread == QThread::currentThread() ||
	    (app != nullptr && thread == app->thread()) || !thread->isRunning())
		return fallback;
	return thread;
}

int query_timeout_ms()
{
	return (int)(kRosterQueryTimeout / 1000);
}

bool verify_owner(team_id team)
{
	QDBusMessage call = bus_daemon_call("GetConnectionUnixProcessID");
	call << service_name(team);
	QDBusMessage reply = call_bus(call, query_timeout_ms());
	if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1)
		return false;
	bool ok = false;
	uint pid = reply.arguments().at(0).toUInt(&ok);
	return ok && (team_id)pid == team;
}

bool fetch_record(team_id team, app_record* record)
{
	if (!verify_owner(team))
		return false;
	QDBusMessage reply = call_bus(app_call(team, "GetAppInfo"), query_timeout_ms());
	return parse_app_info(reply, team, record);
}

void remember(const app_record& record)
{
	std::lock_guard<std::mutex> guard(state().lock);
	state().cache[record.team] = record;
}

void apply_name(std::set<team_id>* teams, team_id team, bool present)
{
	if (present)
		teams->insert(team);
	else
		teams->erase(team);
}

// A name came or went (from the bus's signal, or learnt from a failed call).
void note_name(team_id team, bool present)
{
	BusState& bus = state();
	std::lock_guard<std::mutex> guard(bus.lock);
	if (!present)
		bus.singleRequestsOnly.erase(team);
	if (bus.listed)
		apply_name(&bus.teams, team, present);
	if (bus.listingsUnderWay > 0)
		bus.nameLog.emplace_back(team, present);
}

// Asks the bus for every name and makes that the known set. The signal is
// subscribed before the first listing, so from then on nothing is missed.
bool list_names(std::set<team_id>* present)
{
	BusState& bus = state();
	size_t mark;
	{
		std::lock_guard<std::mutex> guard(bus.lock);
		bus.listingsUnderWay++;
		mark = bus.nameLog.size();
	}
	QDBusMessage reply = call_bus(bus_daemon_call("ListNames"), query_timeout_ms());
	bool ok = reply.type() == QDBusMessage::ReplyMessage && reply.arguments().size() == 1;
	std::set<team_id> listing;
	if (ok) {
		for (const QString& name : reply.arguments().at(0).toStringList()) {
			team_id team = team_from_service(name);
			if (team > 0 && team != current_team())
				listing.insert(team);
		}
	}
	std::lock_guard<std::mutex> guard(bus.lock);
	bus.listingsUnderWay--;
	if (ok) {
		for (size_t i = mark; i < bus.nameLog.size(); i++)
			apply_name(&listing, bus.nameLog[i].first, bus.nameLog[i].second);
		bus.teams = listing;
		bus.listed = true;
		*present = listing;
	}
	if (bus.listingsUnderWay == 0)
		bus.nameLog.clear();
	return ok;
}

bool understands_requests(team_id team)
{
	std::lock_guard<std::mutex> guard(state().lock);
	return state().singleRequestsOnly.count(team) == 0;
}

// All messages in one Requests call: one round trip, and the peer's
// looper takes them in one go. False when the peer does not know the
// method; nothing was queued there then.
bool request_together(const BMessenger::Address& target, const BMessage* const* messages,
                      int32 count, BMessage* replies, status_t* results, int timeoutMs)
{
	QByteArrayList outgoing;
	std::vector<int32> sent;
	for (int32 i = 0; i < count; i++) {
		QByteArray bytes;
		results[i] = flatten_for_wire(*messages[i], &bytes);
		if (results[i] != B_OK)
			continue;
		outgoing.append(bytes);
		sent.push_back(i);
	}
	if (sent.empty())
		return true;
	// The peer answers with what it has a little before we give up, so an
	// answer that came in time is not lost with the ones that did not.
	int peerWaitMs = timeoutMs - std::min(75, timeoutMs / 10);
	QDBusMessage call = app_call(target.team, "Requests");
	call << QVariant::fromValue(outgoing) << target.looperToken << target.handlerToken
	     << peerWaitMs;
	bigtime_t start = system_time();
	QDBusMessage answer = call_bus(call, timeoutMs);
	if (method_unknown(answer)) {
		std::lock_guard<std::mutex> guard(state().lock);
		state().singleRequestsOnly.insert(target.team);
		return false;
	}
	if (names_nobody(answer))
		note_name(target.team, false);

	status_t status = status_from_reply(answer);
	QByteArrayList answers;
	if (status == B_OK) {
		if (answer.signature() != QLatin1String("aay") || answer.arguments().size() != 1)
			status = B_BAD_REPLY;
		else
			answers = qdbus_cast<QByteArrayList>(answer.arguments().at(0));
		if (status == B_OK && answers.size() != outgoing.size())
			status = B_BAD_REPLY;
	}
	if (status != B_OK) {
		if (status != B_TIMED_OUT && system_time() - start >= (bigtime_t)timeoutMs * 1000)
			status = B_TIMED_OUT;
		for (int32 i : sent)
			results[i] = status;
		return true;
	}
	for (size_t k = 0; k < sent.size(); k++) {
		int32 i = sent[k];
		// An empty slot: not answered within the wait.
		if (answers[k].isEmpty()) {
			results[i] = B_TIMED_OUT;
		} else if (unflatten_from_wire(answers[k], &replies[i]) != B_OK) {
			results[i] = B_BAD_REPLY;
		} else {
			MessageInternals::SetIsReply(replies[i], true);
			results[i] = B_OK;
		}
	}
	return true;
}

} // namespace

int Bus::TimeoutMs(bigtime_t timeout)
{
	// Only "forever" is bounded; a long finite wait is the caller's choice.
	if (timeout == B_INFINITE_TIMEOUT)
		timeout = kMaxRemoteWait;
	if (timeout < 0)
		timeout = 0;
	bigtime_t ms = (timeout + 999) / 1000;
	if (ms < 1)
		ms = 1;
	return ms > INT_MAX ? INT_MAX : (int)ms;
}

bool Bus::Available()
{
	BusState& bus = state();
	std::lock_guard<std::mutex> guard(bus.lock);
	if (bus.tried)
		return bus.ok;
	if (QCoreApplication::instance() == nullptr)
		return false; // try again once there is one
	bus.tried = true;
	// Without an address the library would try to start a bus of its own;
	// a program without a session simply runs alone.
	const char* address = getenv("DBUS_SESSION_BUS_ADDRESS");
	if (address == nullptr || address[0] == '\0')
		return false;
	QDBusConnection session = session_bus();
	if (!session.isConnected())
		return false;

	qDBusRegisterMetaType<QByteArrayList>();
	bus.thread = new QThread;
	bus.thread->setObjectName(QStringLiteral("bus"));
	bus.thread->start();
	bus.object = new BusObject;
	bus.object->moveToThread(answering_thread(session, bus.thread));
	bus.names = new BusNameWatcher;
	bus.names->moveToThread(bus.thread);
	session.connect(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
	                QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameOwnerChanged"),
	                bus.names, SLOT(NameOwnerChanged(QString, QString, QString)));
	bus.ok = true;
	return true;
}

status_t Bus::RegisterSelf(std::function<app_record()> provider)
{
	if (!Available())
		return B_UNSUPPORTED;
	BusState& bus = state();
	bus.object->SetProvider(std::move(provider));
	QDBusConnection session = session_bus();
	if (!session.registerVirtualObject(QString::fromLatin1(kBusObjectPath), bus.object,
	                                   QDBusConnection::SingleNode)) {
		bus.object->SetProvider(nullptr);
		return B_ERROR;
	}
	if (!session.registerService(service_name(current_team()))) {
		session.unregisterObject(QString::fromLatin1(kBusObjectPath));
		bus.object->SetProvider(nullptr);
		return B_NAME_IN_USE;
	}
	std::lock_guard<std::mutex> guard(bus.lock);
	bus.registered = true;
	return B_OK;
}

void Bus::UnregisterSelf()
{
	BusState& bus = state();
	{
		std::lock_guard<std::mutex> guard(bus.lock);
		if (!bus.registered)
			return;
		bus.registered = false;
	}
	QDBusConnection session = session_bus();
	session.unregisterService(service_name(current_team()));
	session.unregisterObject(QString::fromLatin1(kBusObjectPath));
	bus.object->SetProvider(nullptr);
}

bool Bus::IsRegistered(team_id team)
{
	if (team <= 0 || !Available())
		return false;
	if (team == current_team()) {
		std::lock_guard<std::mutex> guard(state().lock);
		return state().registered;
	}
	QDBusMessage call = bus_daemon_call("NameHasOwner");
	call << service_name(team);
	QDBusMessage reply = call_bus(call, query_timeout_ms());
	return reply.type() == QDBusMessage::ReplyMessage && reply.arguments().size() == 1 &&
	       reply.arguments().at(0).toBool();
}

std::vector<app_record> Bus::Applications(bool fresh)
{
	std::vector<app_record> records;
	if (!Available())
		return records;
	std::set<team_id> present;
	bool known = false;
	{
		std::lock_guard<std::mutex> guard(state().lock);
		if (state().listed && !fresh) {
			present = state().teams;
			known = true;
		}
	}
	if (!known && !list_names(&present)) {
		// The bus did not answer: what is known beats nothing.
		std::lock_guard<std::mutex> guard(state().lock);
		if (!state().listed)
			return records;
		present = state().teams;
	}

	std::vector<team_id> missing;
	{
		std::lock_guard<std::mutex> guard(state().lock);
		auto& cache = state().cache;
		for (auto it = cache.begin(); it != cache.end();) {
			if (present.count(it->first) == 0)
				it = cache.erase(it);
			else
				++it;
		}
		for (team_id team : present) {
			if (cache.count(team) == 0)
				missing.push_back(team);
		}
	}
	for (team_id team : missing) {
		app_record record;
		if (fetch_record(team, &record))
			remember(record);
	}
	std::lock_guard<std::mutex> guard(state().lock);
	for (team_id team : present) {
		auto found = state().cache.find(team);
		if (found != state().cache.end())
			records.push_back(found->second);
	}
	return records;
}

bool Bus::Application(team_id team, app_record* record)
{
	if (team <= 0 || team == current_team() || !IsRegistered(team))
		return false;
	{
		std::lock_guard<std::mutex> guard(state().lock);
		auto found = state().cache.find(team);
		if (found != state().cache.end()) {
			*record = found->second;
			return true;
		}
	}
	if (!fetch_record(team, record))
		return false;
	remember(*record);
	return true;
}

void Bus::SetWatcher(std::function<void(bool launched, const app_record&)> watcher)
{
	std::lock_guard<std::mutex> guard(state().lock);
	state().watcher = std::move(watcher);
}

status_t Bus::Post(const BMessenger::Address& target, const BMessage& message,
                   const BMessenger::Address& replyTo, bigtime_t timeout)
{
	if (!Available())
		return B_BAD_PORT_ID;
	QByteArray bytes;
	status_t status = flatten_for_wire(message, &bytes);
	if (status != B_OK)
		return status;
	QDBusMessage call = app_call(target.team, "Post");
	call << bytes << target.looperToken << target.handlerToken << replyTo.team
	     << replyTo.looperToken << replyTo.handlerToken;
	QDBusMessage answer = call_bus(call, TimeoutMs(timeout));
	if (names_nobody(answer))
		note_name(target.team, false);
	return status_from_reply(answer);
}

status_t Bus::Request(const BMessenger::Address& target, const BMessage& message, BMessage* reply,
                      bigtime_t timeout)
{
	const BMessage* messages[] = {&message};
	status_t result;
	RequestAll(target, messages, 1, reply, &result, timeout);
	return result;
}

void Bus::RequestAll(const BMessenger::Address& target, const BMessage* const* messages,
                     int32 count, BMessage* replies, status_t* results, bigtime_t timeout)
{
	if (count <= 0)
		return;
	if (!Available()) {
		std::fill(results, results + count, B_BAD_PORT_ID);
		return;
	}
	const int timeoutMs = TimeoutMs(timeout);
	if (count > 1 && count <= kMaxBatchRequests && understands_requests(target.team) &&
	    request_together(target, messages, count, replies, results, timeoutMs))
		return;
	// One call each, all sent before the first wait.
	QDBusConnection bus = session_bus();
	std::vector<QDBusPendingCall> calls;
	std::vector<int32> callOf(count, -1);
	bigtime_t start = system_time();
	for (int32 i = 0; i < count; i++) {
		QByteArray bytes;
		results[i] = flatten_for_wire(*messages[i], &bytes);
		if (results[i] != B_OK)
			continue;
		QDBusMessage call = app_call(target.team, "Request");
		call << bytes << target.looperToken << target.handlerToken;
		callOf[i] = (int32)calls.size();
		calls.push_back(bus.asyncCall(call, timeoutMs));
	}
	std::vector<bigtime_t> finishedAt;
	wait_for_calls(calls, timeoutMs, &finishedAt);

	const bigtime_t limit = (bigtime_t)timeoutMs * 1000;
	bool gone = false;
	for (int32 i = 0; i < count; i++) {
		if (callOf[i] < 0)
			continue;
		QDBusMessage answer = finished_reply(calls[callOf[i]]);
		gone = gone || names_nobody(answer);
		status_t status = read_request_reply(answer, &replies[i]);
		// Waiting in one go must not turn a hung peer into a refusing one.
		if (status != B_OK && status != B_TIMED_OUT && finishedAt[callOf[i]] - start >= limit)
			status = B_TIMED_OUT;
		results[i] = status;
	}
	if (gone)
		note_name(target.team, false);
}

void BusNameWatcher::NameOwnerChanged(const QString& name, const QString& oldOwner,
                                      const QString& newOwner)
{
	team_id team = team_from_service(name);
	if (team <= 0 || team == current_team())
		return;
	note_name(team, !newOwner.isEmpty());
	BusState& bus = state();
	if (!newOwner.isEmpty() && oldOwner.isEmpty()) {
		{
			std::lock_guard<std::mutex> guard(bus.lock);
			bus.pendingLaunches.insert(team);
		}
		// Asked without blocking this thread: the newcomer may at the same
		// moment be asking us.
		QDBusMessage call = bus_daemon_call("GetConnectionUnixProcessID");
		call << name;
		auto* pidWatcher =
		    new QDBusPendingCallWatcher(session_bus().asyncCall(call, query_timeout_ms()), this);
		connect(pidWatcher, &QDBusPendingCallWatcher::finished, this, [this, team, pidWatcher] {
			pidWatcher->deleteLater();
			QDBusMessage reply = pidWatcher->reply();
			bool ok = false;
			if (reply.type() == QDBusMessage::ReplyMessage && reply.arguments().size() == 1)
				ok = (team_id)reply.arguments().at(0).toUInt() == team;
			if (!ok) {
				std::lock_guard<std::mutex> guard(state().lock);
				state().pendingLaunches.erase(team);
				return;
			}
			auto* infoWatcher = new QDBusPendingCallWatcher(
			    session_bus().asyncCall(app_call(team, "GetAppInfo"), query_timeout_ms()), this);
			connect(infoWatcher, &QDBusPendingCallWatcher::finished, this, [team, infoWatcher] {
				infoWatcher->deleteLater();
				app_record record;
				bool ok = parse_app_info(infoWatcher->reply(), team, &record);
				std::function<void(bool, const app_record&)> watcher;
				{
					std::lock_guard<std::mutex> guard(state().lock);
					bool stillPending = state().pendingLaunches.erase(team) > 0;
					if (!ok || !stillPending)
						return;
					state().cache[team] = record;
					watcher = state().watcher;
				}
				if (watcher)
					watcher(true, record);
			});
		});
		return;
	}
	if (newOwner.isEmpty() && !oldOwner.isEmpty()) {
		app_record record;
		record.team = team;
		std::function<void(bool, const app_record&)> watcher;
		{
			std::lock_guard<std::mutex> guard(bus.lock);
			bus.pendingLaunches.erase(team);
			auto found = bus.cache.find(team);
			if (found != bus.cache.end()) {
				record = found->second;
				bus.cache.erase(found);
			}
			watcher = bus.watcher;
		}
		if (watcher)
			watcher(false, record);
	}
}

} // namespace BPrivate
