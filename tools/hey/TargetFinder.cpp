#include "TargetFinder.h"

#include <cstdlib>
#include <cstring>
#include <strings.h>

#include <PlainBusClient.h>

namespace {

bool read_team(const std::string& text, team_id* team)
{
	if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos ||
	    text.size() > 10)
		return false;
	long long number = atoll(text.c_str());
	if (number <= 0 || number > INT32_MAX)
		return false;
	*team = (team_id)number;
	return true;
}

std::string leaf_of(const std::string& path)
{
	const size_t slash = path.rfind('/');
	return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

team_id FindTarget(BPrivate::PlainBusClient& bus, const std::string& app)
{
	team_id team;
	if (read_team(app, &team))
		return team;
	const bool signature = app.find('/') != std::string::npos;
	for (const BPrivate::PlainBusClient::Application& running : bus.Applications()) {
		// Signatures are MIME types, whose case does not matter.
		if (signature ? strcasecmp(running.signature.c_str(), app.c_str()) == 0
		              : leaf_of(running.executable) == app)
			return running.team;
	}
	return -1;
}
