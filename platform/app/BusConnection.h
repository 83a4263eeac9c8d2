// The process's connection to the session bus and the Qt objects that serve
// it: the bus thread, the exported object and the watcher of names. Made on
// first use and kept for the life of the process; should the bus drop the
// connection, a new one is made and the application joins again under its
// name. Any thread.
#ifndef BUS_CONNECTION_H
#define BUS_CONNECTION_H

#include <functional>
#include <mutex>
#include <vector>

#include "AppRecord.h"

#include <QDBusConnection>
#include <QDBusPendingCall>
#include <QString>

class QDBusMessage;
class QThread;

namespace BPrivate {

class BusNameWatcher;
class BusObject;

class BusConnection
{
public:
	static BusConnection& Default();

	// Connects on first use. False without a Qt application (asked again
	// once there is one) or without a session bus address.
	bool Available();
	// The connection in use now.
	QDBusConnection Session();

	// Exports the object, answering app_info from provider, and takes this
	// process's bus name; Leave gives both up.
	status_t Join(std::function<app_record()> provider);
	void Leave();

	// Counts bytes of incoming calls held until answered; false (nothing
	// counted) when that would pass kMaxHeldRequestBytes.
	bool Hold(size_t bytes);
	// Lets go of an incoming call held for heldBytes on the connection's
	// own thread. The bus library stops reading once the calls
	// it handed out hold more than its limit (63 MiB) and starts again when
	// one is let go, from the thread that lets go; only on the connection's
	// thread does that reach Qt's watch of the socket. Anywhere else the
	// application would stay deaf on the bus for good.
	void Release(QDBusMessage* message, size_t heldBytes);
	// The same for answers to our own calls: the bus library holds what a
	// peer answers just the same.
	void Release(QDBusMessage* answer);
	void Release(std::vector<QDBusPendingCall>* calls);

private:
	// On the bus thread, every kCheckMs: a lost connection is made anew.
	void _Check();
	bool _Register(QDBusConnection& session);
	// Takes the team's bus name, or, when another process holds it, an
	// alternate one of the team's (BusInterface.h); false when neither.
	bool _TakeName(QDBusConnection& session);
	void _Subscribe(QDBusConnection& session);

	std::mutex mLock;
	// The connection's name; empty: Qt's own session connection.
	QString mName;
	// The bus name this application answers under, once joined.
	QString mServiceName;
	int mGeneration = 0;
	bool mJoined = false;
	bool mTried = false;
	bool mOk = false;
	QThread* mThread = nullptr;
	BusObject* mObject = nullptr;
	BusNameWatcher* mNames = nullptr;
	size_t mHeldBytes = 0;
};

} // namespace BPrivate

#endif // BUS_CONNECTION_H
