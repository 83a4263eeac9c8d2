#ifndef LOCALE_SUITE_CLIENT_H
#define LOCALE_SUITE_CLIENT_H

// The asking side of the locale scripting suite: whether a running
// application speaks it, and fetching its default texts as a reference
// message (the locale file's fields kLocaleFieldLanguage, kLocaleFieldAppID
// and kLocaleFieldText).
//
// Every request is synchronous and bounded by a finite time-out; a request
// that runs out, fails to be delivered or is answered with anything but
// B_REPLY counts as unanswered. Call from any thread except the looper of
// the application being asked (the editor's window thread is the usual one).

#include <Message.h>
#include <Messenger.h>

#include <string>

namespace LocaleSuite {

// The suite's name as it appears in a "Suites" reply, its properties, and
// the field of the answers. Both sides of the suite use these: the editor's
// application answers, this client asks.
extern const char* const kName; // "suite/vnd.Vessmor-locale"
extern const char* const kDefaultText;
extern const char* const kDefaultLanguage;
extern const char* const kTextAppID;
extern const char* const kFieldResult; // "result"

} // namespace LocaleSuite

// An application that does not say within this time which suites it speaks
// is not listed; a reference request gets longer, since 38 or 100,000 texts
// may have to be gathered first.
const bigtime_t kSuitesTimeout = 2000000;
const bigtime_t kReferenceTimeout = 10000000;

class LocaleSuiteClient
{
public:
	// ownTeam is answered true without a request (the editor itself); pass
	// -1 when there is no such team. The first form uses the default
	// time-outs.
	explicit LocaleSuiteClient(team_id ownTeam);
	LocaleSuiteClient(team_id ownTeam, bigtime_t suitesTimeout, bigtime_t referenceTimeout);

	// Test seam: the time-outs the first constructor uses from now on (the
	// constants above at start).
	static void SetDefaultTimeouts(bigtime_t suitesTimeout, bigtime_t referenceTimeout);

	// True when the application of that team lists LocaleSuite::kName among
	// its suites.
	bool IsLocaleApp(team_id team) const;

	// Asks the application with that signature for its language, id and
	// texts, in that order, and adds every answered one to reference (which
	// should be empty). A text's line feeds become backslash-n and its
	// backslash-t pairs a tab. The three questions go out together, so
	// another application costs one round trip and, should it hang, one
	// time-out; the first question that runs out of time ends the fetch,
	// with what was answered before it kept. Returns B_OK when all three were
	// answered, B_BAD_VALUE for a null signature, B_BAD_TEAM_ID when no
	// application has it, B_TIMED_OUT after a time-out, B_ERROR when a
	// request was refused.
	status_t FetchReference(const char* signature, BMessage* reference) const;

	// The same, with an already made messenger.
	status_t FetchReference(const BMessenger& target, BMessage* reference) const;

	// Whether a "Suites" reply lists the locale suite.
	static bool ListsLocaleSuite(const BMessage& reply);

	// A default text made fit for one comment line.
	static std::string EscapeReferenceText(const char* text);

private:
	// Sends a B_GET_PROPERTY for property; B_OK when the reply's what is
	// B_REPLY (cleared before the send, so an earlier reply never counts),
	// B_TIMED_OUT when it did not come in time, B_ERROR otherwise.
	status_t _Ask(const BMessenger& target, const char* property, BMessage* reply,
	              bigtime_t timeout) const;

	// What one answer counts as: B_OK for a B_REPLY, B_TIMED_OUT when the
	// send ran out of time, B_ERROR otherwise.
	static status_t _Outcome(status_t sendStatus, const BMessage& reply);

	team_id mOwnTeam;
	bigtime_t mSuitesTimeout;
	bigtime_t mReferenceTimeout;
};

#endif // LOCALE_SUITE_CLIENT_H
