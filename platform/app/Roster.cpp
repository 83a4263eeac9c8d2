#include "Roster.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <strings.h>
#include <sys/stat.h>
#include <vector>

#include <QProcess>
#include <QStringList>

#include "AppRecord.h"
#include "Bus.h"
#include "Entry.h"
#include "List.h"
#include "Message.h"
#include "OS.h"

namespace {

const BRoster sRoster;

struct Watcher
{
	BMessenger target;
	uint32 mask;
};

std::mutex sWatchersLock;
std::vector<Watcher> sWatchers;

BPrivate::document_opener sOpener = nullptr;

// How long the opener is waited for. Without a program for the type (no
// browser, say) it ends at once with an error; an opener that runs on is
// taken to have found one.
const int kOpenerVerdictMs = 2000;

status_t open_with_desktop(const char* path)
{
	auto opener = std::make_unique<QProcess>();
	opener->setProcessChannelMode(QProcess::ForwardedChannels);
	opener->start(QStringLiteral("xdg-open"), QStringList{QString::fromUtf8(path)});
	if (!opener->waitForStarted())
		return B_LAUNCH_FAILED_NO_PREFERRED_APP;
	if (opener->waitForFinished(kOpenerVerdictMs)) {
		const bool opened = opener->exitStatus() == QProcess::NormalExit && opener->exitCode() == 0;
		return opened ? B_OK : B_LAUNCH_FAILED_NO_PREFERRED_APP;
	}
	// Still running: it goes on by itself, and is reaped when it ends.
	QProcess* running = opener.release();
	QObject::connect(running, &QProcess::finished, running, &QObject::deleteLater);
	return B_OK;
}

void notify_watchers(bool launched, const BPrivate::app_record& record)
{
	BMessage notice(launched ? B_SOME_APP_LAUNCHED : B_SOME_APP_QUIT);
	notice.AddString("be:signature", record.signature.c_str());
	notice.AddInt32("be:team", record.team);
	notice.AddInt32("be:thread", record.thread);
	notice.AddInt32("be:flags", (int32)record.flags);
	entry_ref ref;
	if (!record.executable.empty() && get_ref_for_path(record.executable.c_str(), &ref) == B_OK)
		notice.AddRef("be:ref", &ref);

	uint32 bit = launched ? B_REQUEST_LAUNCHED : B_REQUEST_QUIT;
	std::vector<BMessenger> targets;
	{
		std::lock_guard<std::mutex> guard(sWatchersLock);
		for (const Watcher& watcher : sWatchers) {
			if ((watcher.mask & bit) != 0)
				targets.push_back(watcher.target);
		}
	}
	for (const BMessenger& target : targets)
		target.SendMessage(&notice, (BHandler*)nullptr, BPrivate::kRosterQueryTimeout);
}

} // namespace

const BRoster* be_roster = &sRoster;

namespace BPrivate {

std::vector<app_record> running_app_records(bool fresh)
{
	std::vector<app_record> records = Bus::Applications(fresh);
	app_record own;
	if (own_app_record(&own))
		records.push_back(own);
	std::sort(records.begin(), records.end(), [](const app_record& a, const app_record& b) {
		if (a.registeredAt != b.registeredAt)
			return a.registeredAt < b.registeredAt;
		return a.team < b.team;
	});
	return records;
}

std::vector<app_record> app_records_with_signature(const char* signature)
{
	std::vector<app_record> matching;
	for (bool fresh : {false, true}) {
		for (const app_record& record : running_app_records(fresh)) {
			if (strcasecmp(record.signature.c_str(), signature) == 0)
				matching.push_back(record);
		}
		if (!matching.empty())
			break;
	}
	return matching;
}

bool app_record_for_team(team_id team, app_record* record)
{
	if (team == current_team())
		return own_app_record(record);
	return Bus::Application(team, record);
}

void fill_app_info(const app_record& record, app_info* info)
{
	info->thread = record.thread;
	info->team = record.team;
	info->port = -1;
	info->flags = record.flags;
	strncpy(info->signature, record.signature.c_str(), sizeof(info->signature) - 1);
	info->signature[sizeof(info->signature) - 1] = '\0';
	info->ref = entry_ref();
	if (!record.executable.empty())
		get_ref_for_path(record.executable.c_str(), &info->ref);
}

void set_document_opener(document_opener opener)
{
	sOpener = opener;
}

} // namespace BPrivate

app_info::app_info() : thread(-1), team(-1), port(-1), flags(0)
{
	signature[0] = '\0';
}

app_info::~app_info() {}

BRoster::BRoster() {}

BRoster::~BRoster() {}

bool BRoster::IsRunning(const char* signature) const
{
	return TeamFor(signature) >= 0;
}

team_id BRoster::TeamFor(const char* signature) const
{
	if (signature == nullptr)
		return B_BAD_VALUE;
	std::vector<BPrivate::app_record> matching = BPrivate::app_records_with_signature(signature);
	return matching.empty() ? B_ERROR : matching.front().team;
}

void BRoster::GetAppList(BList* teamIDList) const
{
	if (teamIDList == nullptr)
		return;
	for (const BPrivate::app_record& record : BPrivate::running_app_records())
		teamIDList->AddItem((void*)(addr_t)record.team);
}

void BRoster::GetAppList(const char* signature, BList* teamIDList) const
{
	if (signature == nullptr || teamIDList == nullptr)
		return;
	for (const BPrivate::app_record& record : BPrivate::app_records_with_signature(signature))
		teamIDList->AddItem((void*)(addr_t)record.team);
}

status_t BRoster::GetAppInfo(const char* signature, app_info* info) const
{
	if (signature == nullptr || info == nullptr)
		return B_BAD_VALUE;
	std::vector<BPrivate::app_record> matching = BPrivate::app_records_with_signature(signature);
	if (matching.empty())
		return B_ERROR;
	BPrivate::fill_app_info(matching.front(), info);
	return B_OK;
}

status_t BRoster::GetRunningAppInfo(team_id team, app_info* info) const
{
	if (info == nullptr)
		return B_BAD_VALUE;
	BPrivate::app_record record;
	if (team < 0 || !BPrivate::app_record_for_team(team, &record))
		return B_BAD_TEAM_ID;
	BPrivate::fill_app_info(record, info);
	return B_OK;
}

status_t BRoster::StartWatching(BMessenger target, uint32 eventMask) const
{
	if (target.Team() < 0 || eventMask == 0)
		return B_BAD_VALUE;
	{
		std::lock_guard<std::mutex> guard(sWatchersLock);
		bool found = false;
		for (Watcher& watcher : sWatchers) {
			if (watcher.target == target) {
				watcher.mask = eventMask;
				found = true;
			}
		}
		if (!found)
			sWatchers.push_back(Watcher{target, eventMask});
	}
	BPrivate::Bus::Available();
	BPrivate::Bus::SetWatcher(notify_watchers);
	return B_OK;
}

status_t BRoster::StopWatching(BMessenger target) const
{
	std::lock_guard<std::mutex> guard(sWatchersLock);
	auto found =
	    std::find_if(sWatchers.begin(), sWatchers.end(),
	                 [&target](const Watcher& watcher) { return watcher.target == target; });
	if (found == sWatchers.end())
		return B_BAD_VALUE;
	sWatchers.erase(found);
	return B_OK;
}

status_t BRoster::Launch(const entry_ref* ref, const BMessage* initialMessage,
                         team_id* appTeam) const
{
	(void)initialMessage;
	if (appTeam != nullptr)
		*appTeam = -1;
	if (ref == nullptr || ref->name == nullptr)
		return B_BAD_VALUE;
	std::string path = ref->FullPath();
	struct stat info;
	if (path.empty() || stat(path.c_str(), &info) != 0)
		return B_ENTRY_NOT_FOUND;
	return sOpener != nullptr ? sOpener(path.c_str()) : open_with_desktop(path.c_str());
}
