#include "FakeTeam.h"

#include <unistd.h>

#include <QDBusConnection>

#include "BusState.h"

namespace {

const char* const kObjectPath = "/org/vessmor/App";

QString ServiceName(team_id team)
{
	return QString("org.vessmor.Team%1").arg(team);
}

} // namespace

FakeTeam::FakeTeam(const char* connection, QDBusVirtualObject* object)
    : mConnection(connection), mTeam(2000000000 + getpid())
{
	QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, mConnection);
	mRegistered = bus.isConnected() && bus.registerVirtualObject(kObjectPath, object) &&
	              bus.registerService(ServiceName(mTeam));
	// No process has the team's id, so the owner of its name could never be
	// that process.
	BPrivate::BusState::Default().VouchForTesting(mTeam, true);
}

FakeTeam::~FakeTeam()
{
	BPrivate::BusState::Default().VouchForTesting(mTeam, false);
	QDBusConnection bus(mConnection);
	bus.unregisterService(ServiceName(mTeam));
	bus.unregisterObject(kObjectPath);
	QDBusConnection::disconnectFromBus(mConnection);
}

BMessenger FakeTeam::Messenger() const
{
	return BMessenger::FromAddress({mTeam, -1, -1});
}
