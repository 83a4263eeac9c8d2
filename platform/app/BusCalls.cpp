#include "BusCalls.h"

#include <chrono>
#include <climits>
#include <condition_variable>
#include <memory>
#include <mutex>

#include <QDBusPendingCallWatcher>
#include <QEventLoop>
#include <QTimer>

#include "Bus.h"
#include "BusConnection.h"
#include "BusInterface.h"
#include "BusWire.h"
#include "MainThread.h"
#include "Message.h"
#include "OS.h"
#include "SendCancel.h"

namespace BPrivate {

QDBusConnection session_bus()
{
	return BusConnection::Default().Session();
}

QDBusMessage bus_daemon_call(const char* method)
{
	return QDBusMessage::createMethodCall(
	    QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
	    QStringLiteral("org.freedesktop.DBus"), QString::fromLatin1(method));
}

QDBusMessage app_call(const QString& destination, const BusMethod& method)
{
	QDBusMessage call = QDBusMessage::createMethodCall(
	    destination, QString::fromLatin1(kBusObjectPath), QString::fromLatin1(method.interface),
	    QString::fromLatin1(method.name));
	call.setAutoStartService(false);
	return call;
}

namespace {

// The wait of a looper's own thread, which another thread may cancel
// (BLooper::CancelRequests). The bus library gives no wait that can be cut
// short, so this looks at the calls in short steps (the connection's own
// thread marks them finished; no event loop is needed here); the cancel
// wakes it at once. A cancelled wait leaves the calls unfinished, as a
// time-out would.
void wait_cancellable(std::vector<QDBusPendingCall>& calls, int timeoutMs,
                      std::vector<bigtime_t>* finishedAt, CancellableWait& cancel, std::mutex& lock,
                      std::condition_variable& woken)
{
	const auto step = std::chrono::milliseconds(2);
	// The bus library ends each call at its time-out; the margin only
	// guards against a lost notification, as on the main thread.
	const bigtime_t giveUp = system_time() + ((bigtime_t)timeoutMs + 2000) * 1000;
	for (size_t i = 0; i < calls.size(); i++) {
		for (;;) {
			if (calls[i].isFinished()) {
				(*finishedAt)[i] = system_time();
				break;
			}
			std::unique_lock<std::mutex> guard(lock);
			if (cancel.Cancelled() || system_time() >= giveUp)
				return;
			woken.wait_for(guard, step);
		}
	}
}

} // namespace

// Waits until every call has finished; finishedAt[i] is when call i was
// seen to. On the main thread Qt events keep flowing meanwhile, and one
// event loop serves all the calls. The bus library ends each call at
// timeoutMs; the margin only guards against a lost notification.
void wait_for_calls(std::vector<QDBusPendingCall>& calls, int timeoutMs,
                    std::vector<bigtime_t>* finishedAt)
{
	finishedAt->assign(calls.size(), 0);
	if (!is_main_thread()) {
		std::mutex lock;
		std::condition_variable woken;
		CancellableWait cancel([&lock, &woken] {
			std::lock_guard<std::mutex> guard(lock);
			woken.notify_all();
		});
		if (cancel.Possible()) {
			wait_cancellable(calls, timeoutMs, finishedAt, cancel, lock, woken);
			return;
		}
		for (size_t i = 0; i < calls.size(); i++) {
			calls[i].waitForFinished();
			(*finishedAt)[i] = system_time();
		}
		return;
	}
	QEventLoop loop;
	size_t remaining = calls.size();
	std::vector<std::unique_ptr<QDBusPendingCallWatcher>> watchers;
	watchers.reserve(calls.size());
	for (size_t i = 0; i < calls.size(); i++) {
		watchers.push_back(std::make_unique<QDBusPendingCallWatcher>(calls[i]));
		QObject::connect(watchers.back().get(), &QDBusPendingCallWatcher::finished, &loop,
		                 [&loop, &remaining, finishedAt, i] {
			                 if ((*finishedAt)[i] != 0)
				                 return;
			                 (*finishedAt)[i] = system_time();
			                 if (--remaining == 0)
				                 loop.quit();
		                 });
	}
	QTimer guard;
	guard.setSingleShot(true);
	QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
	guard.start(timeoutMs > INT_MAX - 2000 ? INT_MAX : timeoutMs + 2000);
	// The loop also ends when someone asks every loop of the thread to
	// leave (QCoreApplication::exit); then wait on.
	while (remaining > 0 && guard.isActive())
		loop.exec();
}

QDBusMessage finished_reply(const QDBusPendingCall& call)
{
	if (!call.isFinished())
		return QDBusMessage::createError(QStringLiteral("org.freedesktop.DBus.Error.NoReply"),
		                                 QStringLiteral("no reply"));
	return call.reply();
}

QDBusMessage call_bus(const QDBusMessage& call, int timeoutMs)
{
	QDBusConnection bus = session_bus();
	if (!is_main_thread() && !thread_is_cancellable())
		return bus.call(call, QDBus::Block, timeoutMs);
	std::vector<QDBusPendingCall> calls{bus.asyncCall(call, timeoutMs)};
	std::vector<bigtime_t> finishedAt;
	wait_for_calls(calls, timeoutMs, &finishedAt);
	return finished_reply(calls[0]);
}

bool names_nobody(const QDBusMessage& reply)
{
	if (reply.type() != QDBusMessage::ErrorMessage)
		return false;
	QString name = reply.errorName();
	return name == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown") ||
	       name == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner");
}

status_t read_request_reply(const QDBusMessage& answer, BMessage* reply)
{
	status_t status = status_from_reply(answer);
	if (status != B_OK)
		return status;
	if (answer.arguments().size() != 1 ||
	    answer.arguments().at(0).metaType().id() != QMetaType::QByteArray)
		return B_BAD_REPLY;
	if (unflatten_from_wire(answer.arguments().at(0).toByteArray(), reply) != B_OK)
		return B_BAD_REPLY;
	MessageInternals::SetIsReply(*reply, true);
	return B_OK;
}

bool method_unknown(const QDBusMessage& reply)
{
	if (reply.type() != QDBusMessage::ErrorMessage)
		return false;
	QString name = reply.errorName();
	return name == QLatin1String(kErrorUnknownMethod) ||
	       name == QLatin1String("org.freedesktop.DBus.Error.UnknownInterface");
}

} // namespace BPrivate
