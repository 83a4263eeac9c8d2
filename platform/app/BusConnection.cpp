#include "BusConnection.h"

#include <algorithm>
#include <cstdlib>

#include <QByteArrayList>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QThread>

#include "Bus.h"
#include "BusCalls.h"
#include "BusInterface.h"
#include "BusNameWatcher.h"
#include "BusObject.h"
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
	QDBusConnection session = session_bus();
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
	session.connect(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
	                QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameOwnerChanged"),
	                mNames, SLOT(NameOwnerChanged(QString, QString, QString)));
	mOk = true;
	return true;
}

status_t BusConnection::Join(std::function<app_record()> provider)
{
	if (!Available())
		return B_UNSUPPORTED;
	mObject->SetProvider(std::move(provider));
	QDBusConnection session = session_bus();
	if (!session.registerVirtualObject(QString::fromLatin1(kBusObjectPath), mObject,
	                                   QDBusConnection::SingleNode)) {
		mObject->SetProvider(nullptr);
		return B_ERROR;
	}
	if (!session.registerService(service_name(current_team()))) {
		session.unregisterObject(QString::fromLatin1(kBusObjectPath));
		mObject->SetProvider(nullptr);
		return B_NAME_IN_USE;
	}
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
	QObject* home = mObject;
	if (home == nullptr || home->thread() == QThread::currentThread()) {
		*message = QDBusMessage();
		return;
	}
	// One owner only, so that the last reference surely goes over there.
	auto* held = new QDBusMessage;
	held->swap(*message);
	if (!QMetaObject::invokeMethod(
	        home, [held] { delete held; }, Qt::QueuedConnection))
		delete held;
}

void BusConnection::Leave()
{
	QDBusConnection session = session_bus();
	session.unregisterService(service_name(current_team()));
	session.unregisterObject(QString::fromLatin1(kBusObjectPath));
	mObject->SetProvider(nullptr);
}

} // namespace BPrivate
