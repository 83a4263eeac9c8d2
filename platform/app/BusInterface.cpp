#include "BusInterface.h"

#include <cctype>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace BPrivate {

const char* const kBusServicePrefix = "org.vessmor.Team";

team_id team_of_bus_name(const char* name)
{
	const size_t prefix = strlen(kBusServicePrefix);
	if (name == nullptr || strncmp(name, kBusServicePrefix, prefix) != 0)
		return -1;
	const char* digits = name + prefix;
	size_t count = 0;
	while (isdigit((unsigned char)digits[count]))
		count++;
	if (count == 0 || count > 10 || digits[0] == '0')
		return -1;
	const char* rest = digits + count;
	if (*rest == '.') {
		// One more element of letters and digits, starting with a letter,
		// as a bus name element must.
		rest++;
		if (!isalpha((unsigned char)*rest))
			return -1;
		while (isalnum((unsigned char)*rest))
			rest++;
	}
	if (*rest != '\0')
		return -1;
	const long long team = strtoll(digits, nullptr, 10);
	return team > 0 && team <= INT32_MAX ? (team_id)team : -1;
}

std::string alternate_bus_name(team_id team, uint64 random)
{
	char word[24];
	snprintf(word, sizeof(word), ".x%016llx", (unsigned long long)random);
	return kBusServicePrefix + std::to_string(team) + word;
}
const char* const kBusObjectPath = "/org/vessmor/App";
const char* const kBusInterface = "org.vessmor.App";
const char* const kBusPropertiesInterface = "org.freedesktop.DBus.Properties";

const char* const kErrorBadMessage = "org.vessmor.Error.BadMessage";
const char* const kErrorTooLarge = "org.vessmor.Error.TooLarge";
const char* const kErrorNoTarget = "org.vessmor.Error.NoTarget";
const char* const kErrorBusy = "org.vessmor.Error.Busy";
const char* const kErrorBadArguments = "org.freedesktop.DBus.Error.InvalidArgs";
const char* const kErrorUnknownMethod = "org.freedesktop.DBus.Error.UnknownMethod";

namespace {

const BusArgument kPostIn[] = {{"message", "ay"},  {"looper", "i"},      {"handler", "i"},
                               {"replyTeam", "i"}, {"replyLooper", "i"}, {"replyHandler", "i"}};
const BusArgument kRequestIn[] = {{"message", "ay"}, {"looper", "i"}, {"handler", "i"}};
const BusArgument kRequestOut[] = {{"reply", "ay"}};
const BusArgument kRequestFdOut[] = {{"reply", "h"}};
const BusArgument kRequestsIn[] = {
    {"messages", "aay"}, {"looper", "i"}, {"handler", "i"}, {"waitMs", "i"}};
const BusArgument kRequestsOut[] = {{"replies", "aay"}};
const BusArgument kAppInfoOut[] = {{"team", "i"},       {"thread", "i"}, {"signature", "s"},
                                   {"executable", "s"}, {"flags", "u"},  {"registered", "x"}};
const BusArgument kGetIn[] = {{"interface", "s"}, {"name", "s"}};
const BusArgument kGetOut[] = {{"value", "v"}};
const BusArgument kGetAllIn[] = {{"interface", "s"}};
const BusArgument kGetAllOut[] = {{"values", "a{sv}"}};

std::string signature_of(std::span<const BusArgument> arguments)
{
	std::string signature;
	for (const BusArgument& argument : arguments)
		signature += argument.type;
	return signature;
}

void add_method(std::string* xml, const BusMethod& method)
{
	*xml += std::string("    <method name=\"") + method.name + "\">\n";
	for (const BusArgument& argument : method.in) {
		*xml += std::string("      <arg name=\"") + argument.name + "\" type=\"" + argument.type +
		        "\" direction=\"in\"/>\n";
	}
	for (const BusArgument& argument : method.out) {
		*xml += std::string("      <arg name=\"") + argument.name + "\" type=\"" + argument.type +
		        "\" direction=\"out\"/>\n";
	}
	*xml += "    </method>\n";
}

} // namespace

const BusMethod kBusPost{kBusInterface, "Post", kPostIn, {}};
const BusMethod kBusRequest{kBusInterface, "Request", kRequestIn, kRequestOut};
const BusMethod kBusRequests{kBusInterface, "Requests", kRequestsIn, kRequestsOut};
const BusMethod kBusRequestFd{kBusInterface, "RequestFd", kRequestIn, kRequestFdOut};
const BusMethod kBusGetAppInfo{kBusInterface, "GetAppInfo", {}, kAppInfoOut};
const BusMethod kBusPropertiesGet{kBusPropertiesInterface, "Get", kGetIn, kGetOut};
const BusMethod kBusPropertiesGetAll{kBusPropertiesInterface, "GetAll", kGetAllIn, kGetAllOut};

std::string BusMethod::InSignature() const
{
	return signature_of(in);
}

int BusMethod::InIndex(const char* name) const
{
	for (size_t i = 0; i < in.size(); i++) {
		if (strcmp(in[i].name, name) == 0)
			return (int)i;
	}
	return -1;
}

std::string BusMethod::OutSignature() const
{
	return signature_of(out);
}

std::string property_name(const BusArgument& appInfoArgument)
{
	std::string name = appInfoArgument.name;
	if (!name.empty())
		name[0] = (char)toupper((unsigned char)name[0]);
	return name;
}

std::span<const BusMethod* const> bus_methods()
{
	static const BusMethod* const methods[] = {
	    &kBusPost,       &kBusRequest,       &kBusRequests,        &kBusRequestFd,
	    &kBusGetAppInfo, &kBusPropertiesGet, &kBusPropertiesGetAll};
	return methods;
}

std::string introspection_xml()
{
	std::string xml;
	for (const char* interface : {kBusInterface, kBusPropertiesInterface}) {
		// Qt puts the first line where it belongs in the node of our path.
		xml += std::string(xml.empty() ? "" : "  ") + "<interface name=\"" + interface + "\">\n";
		for (const BusMethod* method : bus_methods()) {
			if (strcmp(method->interface, interface) == 0)
				add_method(&xml, *method);
		}
		if (interface == kBusInterface) {
			for (const BusArgument& fact : kBusGetAppInfo.out) {
				xml += "    <property name=\"" + property_name(fact) + "\" type=\"" + fact.type +
				       "\" access=\"read\"/>\n";
			}
		}
		xml += "  </interface>\n";
	}
	return xml;
}

} // namespace BPrivate
