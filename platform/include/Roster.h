// BRoster: the running applications of the session.
#ifndef _ROSTER_H
#define _ROSTER_H

#include "AppDefs.h"
#include "EntryRef.h"
#include "Messenger.h"
#include "SupportDefs.h"

class BList;
class BMessage;

struct app_info
{
	app_info();
	~app_info();

	thread_id thread; // the application's looper thread
	team_id team;     // the process id
	port_id port;     // unused, -1
	uint32 flags;     // B_MULTIPLE_LAUNCH etc.
	entry_ref ref;    // the executable, links resolved
	char signature[B_MIME_TYPE_LENGTH];
};

// Applications are found on the session bus (see docs/protocol.md); without
// a bus the roster knows only this process's own application. Queries to
// other processes use short time-outs, so a hung peer costs little.
class BRoster
{
public:
	BRoster();
	~BRoster();

	bool IsRunning(const char* signature) const;
	team_id TeamFor(const char* signature) const;

	// Team ids as list items ((void*)(addr_t)team), in the order the
	// applications registered.
	void GetAppList(BList* teamIDList) const;
	void GetAppList(const char* signature, BList* teamIDList) const;

	status_t GetAppInfo(const char* signature, app_info* info) const;
	status_t GetRunningAppInfo(team_id team, app_info* info) const;

	// Launch and quit notices (B_SOME_APP_LAUNCHED, B_SOME_APP_QUIT) with
	// "be:signature", "be:team", "be:thread", "be:flags", "be:ref".
	// Watching again with the same target replaces its mask.
	status_t StartWatching(BMessenger target,
	                       uint32 eventMask = B_REQUEST_LAUNCHED | B_REQUEST_QUIT) const;
	status_t StopWatching(BMessenger target) const;

	// Opens a document with the desktop's preferred application. The team
	// of the opener is not known here: *appTeam becomes -1. Fails with
	// B_ENTRY_NOT_FOUND when the file does not exist.
	status_t Launch(const entry_ref* ref, const BMessage* initialMessage = nullptr,
	                team_id* appTeam = nullptr) const;
};

extern const BRoster* be_roster;

namespace BPrivate {

// Test seam: what BRoster::Launch uses to open a document (by default
// xdg-open). An empty function restores the default.
typedef status_t (*document_opener)(const char* path);
void set_document_opener(document_opener opener);

} // namespace BPrivate

#endif // _ROSTER_H
