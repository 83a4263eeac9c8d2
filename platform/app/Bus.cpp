#include "Bus.h"

#include <climits>
#include <cstdlib>
#include <map>
#include <mutex>
#include <set>
#include <unistd.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QThread>

#include "BusObjects.h"
#include "BusWire.h"
#include "MainThread.h"
#include "Message.h"
#include "OS.h"

namespace BPrivate {

const char* const kBusServicePrefix = "org.vessmor.Team";
const char* const kBusObjectPath = "/org/vessmor/App";
const char* const kBusInterface = "org.vessmor.App";

namespace {

struct BusState {
	std::mutex lock;
	bool tried = false;
	bool ok = false;
	QThread* thread = nullptr;
	BusObject* object = nullptr;
	BusNameWatcher* names = nullptr;
	bool registered = false;
	std::map<team_id, app_record> cache;
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

QDBusConnection connection()
{
	return QDBusConnection::sessionBus();
}

QDBusMessage bus_daemon_call(const char* method)
{
	return QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
		QStringLiteral("/org/freedesktop/DBus"), QStringLiteral("org.freedesktop.DBus"),
		QString::fromLatin1(method));
}

QDBusMessage app_call(team_id team, const char* method)
{
	QDBusMessage call = QDBusMessage::createMethodCall(service_name(team),
		QString::fromLatin1(kBusObjectPath), QString::fromLatin1(kBusInterface),
		QString::fromLatin1(method));
	call.setAutoStartService(false);
	return call;
}

// A blocking call that keeps Qt events flowing on the main thread.
QDBusMessage call_bus(const QDBusMessage& call, int timeoutMs)
{
	QDBusConnection bus = connection();
	if (!is_main_thread())
		return bus.call(call, QDBus::Block, timeoutMs);
	QDBusPendingCall pending = bus.asyncCall(call, timeoutMs);
	auto done = std::make_shared<Completion>();
	QDBusPendingCallWatcher watcher(pending);
	QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, [done] { done->Complete(); });
	// The bus library ends the call at timeoutMs; the margin only guards
	// against a lost notification.
	done->Wait((bigtime_t)timeoutMs * 1000 + 2000000);
	if (!pending.isFinished())
		return QDBusMessage::createError(QStringLiteral("org.freedesktop.DBus.Error.NoReply"),
			QStringLiteral("no reply"));
	return pending.reply();
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
	QDBusConnection session = connection();
	if (!session.isConnected())
		return false;

	bus.thread = new QThread;
	bus.thread->setObjectName(QStringLiteral("bus"));
	bus.thread->start();
	bus.object = new BusObject;
	bus.object->moveToThread(bus.thread);
	bus.names = new BusNameWatcher;
	bus.names->moveToThread(bus.thread);
	session.connect(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
		QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameOwnerChanged"), bus.names,
		SLOT(NameOwnerChanged(QString, QString, QString)));
	bus.ok = true;
	return true;
}

status_t Bus::RegisterSelf(std::function<app_record()> provider)
{
	if (!Available())
		return B_UNSUPPORTED;
	BusState& bus = state();
	bus.object->SetProvider(std::move(provider));
	QDBusConnection session = connection();
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
	QDBusConnection session = connection();
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
	return reply.type() == QDBusMessage::ReplyMessage && reply.arguments().size() == 1
		&& reply.arguments().at(0).toBool();
}

std::vector<app_record> Bus::Applications()
{
	std::vector<app_record> records;
	if (!Available())
		return records;
	QDBusMessage reply = call_bus(bus_daemon_call("ListNames"), query_timeout_ms());
	if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1)
		return records;
	std::set<team_id> present;
	for (const QString& name : reply.arguments().at(0).toStringList()) {
		team_id team = team_from_service(name);
		if (team > 0 && team != current_team())
			present.insert(team);
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
	return status_from_reply(call_bus(call, TimeoutMs(timeout)));
}

status_t Bus::Request(const BMessenger::Address& target, const BMessage& message,
	BMessage* reply, bigtime_t timeout)
{
	if (!Available())
		return B_BAD_PORT_ID;
	QByteArray bytes;
	status_t status = flatten_for_wire(message, &bytes);
	if (status != B_OK)
		return status;
	QDBusMessage call = app_call(target.team, "Request");
	call << bytes << target.looperToken << target.handlerToken;
	QDBusMessage answer = call_bus(call, TimeoutMs(timeout));
	status = status_from_reply(answer);
	if (status != B_OK)
		return status;
	if (answer.arguments().size() != 1
		|| answer.arguments().at(0).metaType().id() != QMetaType::QByteArray)
		return B_BAD_REPLY;
	status = unflatten_from_wire(answer.arguments().at(0).toByteArray(), reply);
	if (status != B_OK)
		return B_BAD_REPLY;
	MessageInternals::SetIsReply(*reply, true);
	return B_OK;
}

void BusNameWatcher::NameOwnerChanged(const QString& name, const QString& oldOwner,
	const QString& newOwner)
{
	team_id team = team_from_service(name);
	if (team <= 0 || team == current_team())
		return;
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
		auto* pidWatcher = new QDBusPendingCallWatcher(connection().asyncCall(call,
			query_timeout_ms()), this);
		connect(pidWatcher, &QDBusPendingCallWatcher::finished, this,
			[this, team, pidWatcher] {
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
					connection().asyncCall(app_call(team, "GetAppInfo"), query_timeout_ms()),
					this);
				connect(infoWatcher, &QDBusPendingCallWatcher::finished, this,
					[team, infoWatcher] {
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
