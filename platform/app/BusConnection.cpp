#include "BusConnection.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <utility>

#include <QByteArrayList>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusReply>
#include <QThread>
#include <QTimer>

#include "Bus.h"
#include "BusCalls.h"
#include "BusInterface.h"
#include "BusNameWatcher.h"
#include "BusObject.h"
#include "BusState.h"
#include "BusWire.h"
#include "OS.h"

namespace BPrivate {

namespace {

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

// How often the bus thread looks whether the connection is still there.
const int kCheckMs = 1000;

// Moves what held holds to the thread of home and lets go of it there.
template <typename Held> void let_go_on_thread_of(QObject* home, Held* held)
{
	if (home == nullptr || home->thread() == QThread::currentThread()) {
		*held = Held();
		return;
	}
	// One owner only, so that the last reference surely goes over there.
	auto moved = std::make_unique<Held>();
	std::swap(*moved, *held);
	// Should the call not be queued, the function and what it holds go
	// here, as the plain case above does.
	QMetaObject::invokeMethod(
	    home, [moved = std::move(moved)]() mutable { moved.reset(); }, Qt::QueuedConnection);
}

} // namespace

BusConnection& BusConnection::Default()
{
	// Lives as long as the process: the bus thread may still use it while
	// static objects are torn down.
	static BusConnection* connection = new BusConnection;
	return *connection;
}

bool BusConnection::Available()
{
	std::lock_guard<std::mutex> guard(mLock);
	if (mTried)
		return mOk;
	if (QCoreApplication::instance() == nullptr)
		return false; // try again once there is one
	mTried = true;
	// Without an address the library would try to start a bus of its own;
	// a program without a session simply runs alone.
	const char* address = getenv("DBUS_SESSION_BUS_ADDRESS");
	if (address == nullptr || address[0] == '\0')
		return false;
	QDBusConnection session = QDBusConnection::sessionBus();
	if (!session.isConnected())
		return false;

	qDBusRegisterMetaType<QByteArrayList>();
	mThread = new QThread;
	mThread->setObjectName(QStringLiteral("bus"));
	mThread->start();
	mObject = new BusObject;
	mObject->moveToThread(answering_thread(session, mThread));
	mNames = new BusNameWatcher;
	mNames->moveToThread(mThread);
	_Subscribe(session);
	QMetaObject::invokeMethod(mNames, [this] {
		auto* timer = new QTimer(mNames);
		QObject::connect(timer, &QTimer::timeout, mNames, [this] { _Check(); });
		timer->start(kCheckMs);
	});
	mOk = true;
	return true;
}

QDBusConnection BusConnection::Session()
{
	std::lock_guard<std::mutex> guard(mLock);
	return mName.isEmpty() ? QDBusConnection::sessionBus() : QDBusConnection(mName);
}

void BusConnection::_Subscribe(QDBusConnection& session)
{
	session.connect(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
	                QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameOwnerChanged"),
	                mNames, SLOT(NameOwnerChanged(QString, QString, QString)));
}

bool BusConnection::_Register(QDBusConnection& session)
{
	return session.registerVirtualObject(QString::fromLatin1(kBusObjectPath), mObject,
	                                     QDBusConnection::SingleNode);
}

void BusConnection::_Check()
{
	if (Session().isConnected())
		return;
	// The bus dropped us (or went away): a fresh connection, and the
	// application back under its own name, so that others reach it again.
	QString name = QStringLiteral("org.vessmor.bus-%1").arg(++mGeneration);
	QDBusConnection fresh = QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
	if (!fresh.isConnected()) {
		QDBusConnection::disconnectFromBus(name);
		return; // next time
	}
	QString old;
	bool joined;
	{
		std::lock_guard<std::mutex> guard(mLock);
		old = mName;
		mName = name;
		joined = mJoined;
	}
	if (!old.isEmpty())
		QDBusConnection::disconnectFromBus(old);
	_Subscribe(fresh);
	// Names came and went unseen meanwhile: the next look asks the bus.
	BusState::Default().Unlist();
	if (joined && _Register(fresh))
		_TakeName(fresh);
}

bool BusConnection::_TakeName(QDBusConnection& session)
{
	const QString own = service_name(current_team());
	QString held;
	{
		std::lock_guard<std::mutex> guard(mLock);
		held = mServiceName;
	}
	// Back under the name it had (after a lost connection), else its own.
	if (!held.isEmpty() && session.registerService(held))
		return true;
	if (held != own && session.registerService(own)) {
		std::lock_guard<std::mutex> guard(mLock);
		mServiceName = own;
		return true;
	}
	// Any process may take the name of a process id ahead of the process
	// that gets it. Answering under no name would leave requests for this
	// team to whoever holds it; an alternate name with a random word
	// cannot have been taken ahead, and the roster and our clients find it
	// by its team and the bus's word on whose process it is.
	std::random_device random;
	for (int attempt = 0; attempt < 3; attempt++) {
		const uint64 word = ((uint64)random() << 32) | random();
		const QString alternate = QString::fromStdString(alternate_bus_name(current_team(), word));
		if (session.registerService(alternate)) {
			const QDBusReply<QString> holder = session.interface()->serviceOwner(own);
			fprintf(stderr, "%s is held by another process (%s); answering as %s\n",
			        qPrintable(own), holder.isValid() ? qPrintable(holder.value()) : "gone",
			        qPrintable(alternate));
			std::lock_guard<std::mutex> guard(mLock);
			mServiceName = alternate;
			return true;
		}
	}
	return false;
}

status_t BusConnection::Join(std::function<app_record()> provider)
{
	if (!Available())
		return B_UNSUPPORTED;
	mObject->SetProvider(std::move(provider));
	QDBusConnection session = Session();
	if (!_Register(session)) {
		mObject->SetProvider(nullptr);
		return B_ERROR;
	}
	if (!_TakeName(session)) {
		session.unregisterObject(QString::fromLatin1(kBusObjectPath));
		mObject->SetProvider(nullptr);
		return B_NAME_IN_USE;
	}
	std::lock_guard<std::mutex> guard(mLock);
	mJoined = true;
	return B_OK;
}

bool BusConnection::Hold(size_t bytes)
{
	std::lock_guard<std::mutex> guard(mLock);
	if (bytes > kMaxHeldRequestBytes - mHeldBytes)
		return false;
	mHeldBytes += bytes;
	return true;
}

void BusConnection::Release(QDBusMessage* message, size_t heldBytes)
{
	{
		std::lock_guard<std::mutex> guard(mLock);
		mHeldBytes -= std::min(heldBytes, mHeldBytes);
	}
	let_go_on_thread_of(mObject, message);
}

void BusConnection::Release(QDBusMessage* answer)
{
	let_go_on_thread_of(mObject, answer);
}

void BusConnection::Release(std::vector<QDBusPendingCall>* calls)
{
	let_go_on_thread_of(mObject, calls);
}

void BusConnection::Leave()
{
	QString held;
	{
		std::lock_guard<std::mutex> guard(mLock);
		mJoined = false;
		held = mServiceName;
		mServiceName.clear();
	}
	QDBusConnection session = Session();
	if (!held.isEmpty())
		session.unregisterService(held);
	session.unregisterObject(QString::fromLatin1(kBusObjectPath));
	mObject->SetProvider(nullptr);
}

} // namespace BPrivate
