#include "LocaleSuiteClient.h"

#include "LocaleFile.h"

#include <AppDefs.h>
#include <OS.h>

#include <cstring>

namespace LocaleSuite {

const char* const kName = "suite/vnd.Vessmor-locale";
const char* const kDefaultText = "DefaultText";
const char* const kDefaultLanguage = "DefaultLanguage";
const char* const kTextAppID = "TextAppID";
const char* const kFieldResult = "result";

} // namespace LocaleSuite

using namespace LocaleSuite;

namespace {

const char* const kPropSuites = "Suites";
const char* const kFieldSuites = "suites";

bigtime_t sDefaultSuitesTimeout = kSuitesTimeout;
bigtime_t sDefaultReferenceTimeout = kReferenceTimeout;

} // namespace

void LocaleSuiteClient::SetDefaultTimeouts(bigtime_t suitesTimeout, bigtime_t referenceTimeout)
{
	sDefaultSuitesTimeout = suitesTimeout;
	sDefaultReferenceTimeout = referenceTimeout;
}

LocaleSuiteClient::LocaleSuiteClient(team_id ownTeam)
    : LocaleSuiteClient(ownTeam, sDefaultSuitesTimeout, sDefaultReferenceTimeout)
{
}

LocaleSuiteClient::LocaleSuiteClient(team_id ownTeam, bigtime_t suitesTimeout,
                                     bigtime_t referenceTimeout)
    : mOwnTeam(ownTeam), mSuitesTimeout(suitesTimeout), mReferenceTimeout(referenceTimeout)
{
}

bool LocaleSuiteClient::IsLocaleApp(team_id team) const
{
	if (team < 0)
		return false;
	if (team == mOwnTeam)
		return true;

	// A messenger that found no such team has none; one whose application
	// has gone since then fails on the send. Asking IsValid() on top would
	// cost another round trip through the bus for every application.
	BMessenger target(nullptr, team);
	if (target.Team() < 0)
		return false;

	BMessage reply;
	if (_Ask(target, kPropSuites, &reply, mSuitesTimeout) != B_OK)
		return false;
	return ListsLocaleSuite(reply);
}

status_t LocaleSuiteClient::FetchReference(const char* signature, BMessage* reference) const
{
	if (signature == nullptr || reference == nullptr)
		return B_BAD_VALUE;
	BMessenger target(signature);
	return FetchReference(target, reference);
}

status_t LocaleSuiteClient::FetchReference(const BMessenger& target, BMessage* reference) const
{
	if (reference == nullptr)
		return B_BAD_VALUE;
	if (target.Team() < 0)
		return B_BAD_TEAM_ID;

	// The three questions go out together and are answered in this order;
	// another process then costs one round trip instead of three, and one
	// that hangs costs one time-out.
	const char* const properties[] = {kDefaultLanguage, kTextAppID, kDefaultText};
	const int32 count = 3;
	BMessage requests[count];
	BMessage* outgoing[count];
	for (int32 i = 0; i < count; i++) {
		requests[i].what = B_GET_PROPERTY;
		requests[i].AddSpecifier(properties[i]);
		outgoing[i] = &requests[i];
	}
	BMessage replies[count];
	status_t results[count];
	target.SendRequests(outgoing, count, replies, results, mReferenceTimeout);

	// The language and the id are one string each. A reply without "result"
	// still answers: the field is then present and empty, which the display
	// shows as it would any other name.
	const char* const singleFields[] = {kLocaleFieldLanguage, kLocaleFieldAppID};
	status_t result = B_OK;
	const char* value = nullptr;
	for (int32 i = 0; i < count; i++) {
		status_t status = _Outcome(results[i], replies[i]);
		if (status == B_TIMED_OUT)
			return status;
		if (status != B_OK) {
			result = status;
			continue;
		}
		if (i < 2) {
			if (replies[i].FindString(kFieldResult, 0, &value) != B_OK)
				value = "";
			reference->AddString(singleFields[i], value);
			continue;
		}
		for (int32 index = 0; replies[i].FindString(kFieldResult, index, &value) == B_OK; index++)
			reference->AddString(kLocaleFieldText, EscapeReferenceText(value).c_str());
	}
	return result;
}

bool LocaleSuiteClient::ListsLocaleSuite(const BMessage& reply)
{
	const char* suite = nullptr;
	for (int32 index = 0; reply.FindString(kFieldSuites, index, &suite) == B_OK; index++) {
		if (suite != nullptr && strcmp(suite, kName) == 0)
			return true;
	}
	return false;
}

std::string LocaleSuiteClient::EscapeReferenceText(const char* text)
{
	std::string result;
	if (text == nullptr)
		return result;
	// Line feeds first, then backslash-t: a backslash-n made here is never
	// taken for the start of a backslash-t pair, and a tab already in the
	// text stays a tab.
	for (const char* p = text; *p != '\0'; p++) {
		if (*p == '\n')
			result += "\\n";
		else if (*p == '\\' && p[1] == 't') {
			result += '\t';
			p++;
		} else
			result += *p;
	}
	return result;
}

status_t LocaleSuiteClient::_Ask(const BMessenger& target, const char* property, BMessage* reply,
                                 bigtime_t timeout) const
{
	BMessage request(B_GET_PROPERTY);
	request.AddSpecifier(property);
	// Cleared first, so that a reply left over from an earlier request never
	// counts for this one whatever the send does with it.
	reply->MakeEmpty();
	reply->what = 0;
	bigtime_t start = system_time();
	status_t status = target.SendMessage(&request, reply, timeout, timeout);
	if (_Outcome(status, *reply) == B_OK)
		return B_OK;
	// Delivery and reply each have the time-out; a send that failed late is
	// a hung target even if the layer called it something else.
	if (status == B_TIMED_OUT || system_time() - start >= timeout)
		return B_TIMED_OUT;
	return B_ERROR;
}

status_t LocaleSuiteClient::_Outcome(status_t sendStatus, const BMessage& reply)
{
	if (reply.what == B_REPLY)
		return B_OK;
	return sendStatus == B_TIMED_OUT ? B_TIMED_OUT : B_ERROR;
}
