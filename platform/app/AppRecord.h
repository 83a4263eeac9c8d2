// What the layer knows of one running application, here or across the bus.
#ifndef APP_RECORD_H
#define APP_RECORD_H

#include <string>
#include <vector>

#include "SupportDefs.h"

struct app_info;

namespace BPrivate {

struct app_record
{
	team_id team = -1;
	thread_id thread = -1;
	uint32 flags = 0;
	std::string signature;
	std::string executable;     // absolute path, links resolved
	bigtime_t registeredAt = 0; // system_time() when it registered
	std::string busOwner;       // the unique bus name of its connection
};

// This process's application (false when there is none) and every running
// application, this one included, in the order they registered.
bool own_app_record(app_record* record);
// fresh: ask the bus for its listing again rather than use what is known.
std::vector<app_record> running_app_records(bool fresh = false);
// The running applications with that signature (case ignored), in the same
// order. A miss asks the bus afresh: the one wanted may have only just
// started.
std::vector<app_record> app_records_with_signature(const char* signature);
bool app_record_for_team(team_id team, app_record* record);

void fill_app_info(const app_record& record, app_info* info);

// The token of this process's application looper, -1 when there is none.
int32 application_looper_token();
void set_application_looper_token(int32 token);

} // namespace BPrivate

#endif // APP_RECORD_H
