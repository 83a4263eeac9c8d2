// The protocol of our object on the session bus, written down once: names,
// methods and their arguments, the app_info facts and the error names. The
// dispatch, the calls to other applications and the introspection data are
// all made from these tables; docs/protocol.md describes them for others.
#ifndef BUS_INTERFACE_H
#define BUS_INTERFACE_H

#include <span>
#include <string>

#include "SupportDefs.h"

namespace BPrivate {

// Names on the bus.
extern const char* const kBusServicePrefix; // + team id
extern const char* const kBusObjectPath;
extern const char* const kBusInterface;
extern const char* const kBusPropertiesInterface;

// The team one of our bus names stands for, or -1 for any other name: the
// application's own name, kBusServicePrefix + team, or the one it takes when
// another process holds that: kBusServicePrefix + team + "." + a word of
// letters and digits. Only the bus can tell whether the owner is that team.
team_id team_of_bus_name(const char* name);
// The name an application takes when its own is held by another process:
// one nobody could have taken ahead of it, the word being random.
std::string alternate_bus_name(team_id team, uint64 random);

// Errors our object answers with.
extern const char* const kErrorBadMessage; // bytes that are no message
extern const char* const kErrorTooLarge;   // more than kMaxWireMessageSize
extern const char* const kErrorNoTarget;   // no such looper or handler
extern const char* const kErrorBusy;       // too many bytes held unanswered
extern const char* const kErrorBadArguments;
extern const char* const kErrorUnknownMethod;

struct BusArgument
{
	const char* name;
	const char* type; // one complete D-Bus type
};

struct BusMethod
{
	const char* interface;
	const char* name;
	std::span<const BusArgument> in;
	std::span<const BusArgument> out;

	// The D-Bus signatures of the arguments and of the reply ("ayii").
	std::string InSignature() const;
	// Where the in argument of that name stands in a call, -1 when the
	// method has none: the dispatch reads arguments by name, so that the
	// order of the table is written down nowhere else.
	int InIndex(const char* name) const;
	std::string OutSignature() const;
};

// The methods of kBusInterface.
extern const BusMethod kBusPost;
extern const BusMethod kBusRequest;
extern const BusMethod kBusRequests;
// Request answered by a sealed memory file instead of bytes on the bus: only
// for callers whose connection passes file descriptors.
extern const BusMethod kBusRequestFd;
extern const BusMethod kBusGetAppInfo;
// The read-only properties: the out arguments of GetAppInfo, each under its
// name with the first letter in upper case ("team" is "Team").
extern const BusMethod kBusPropertiesGet;
extern const BusMethod kBusPropertiesGetAll;

std::string property_name(const BusArgument& appInfoArgument);

// Every method above, the one list the dispatch and Introspect go by.
std::span<const BusMethod* const> bus_methods();

// What our object tells Introspect: every method and property above.
std::string introspection_xml();

} // namespace BPrivate

#endif // BUS_INTERFACE_H
