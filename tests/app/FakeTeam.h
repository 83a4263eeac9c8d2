// A team no process has, answered by an object of the test itself: a second
// bus connection owns the team's name and serves its object path, so the
// test decides every byte a messenger to that team gets back.
#ifndef FAKE_TEAM_H
#define FAKE_TEAM_H

#include <QString>

#include "Messenger.h"
#include "OS.h"

class QDBusVirtualObject;

class FakeTeam
{
public:
	// connection names the bus connection; object answers the requests to
	// the team, served by the main thread, and must outlive this.
	FakeTeam(const char* connection, QDBusVirtualObject* object);
	~FakeTeam();

	FakeTeam(const FakeTeam&) = delete;
	FakeTeam& operator=(const FakeTeam&) = delete;

	// True when the connection is up and holds the name and the object.
	bool Registered() const { return mRegistered; }
	// Above any process id (the kernel's limit is far lower).
	team_id Team() const { return mTeam; }
	// To the team's application, as a messenger to any other team is.
	BMessenger Messenger() const;

private:
	QString mConnection;
	team_id mTeam;
	bool mRegistered = false;
};

#endif // FAKE_TEAM_H
