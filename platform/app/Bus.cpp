#include "Bus.h"

#include <algorithm>
#include <climits>
#include <set>
#include <vector>

#include <QByteArrayList>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>

#include "BatchReplies.h"
#include "BusCalls.h"
#include "BusConnection.h"
#include "BusInterface.h"
#include "BusState.h"
#include "BusWire.h"
#include "Message.h"
#include "OS.h"
#include "TeamOwner.h"

namespace BPrivate {

namespace {

int query_timeout_ms()
{
	return Bus::TimeoutMs(kRosterQueryTimeout);
}

// Lets go of an answer on the connection's thread however its function ends.
class AnswerGuard
{
public:
	explicit AnswerGuard(QDBusMessage* answer) : mAnswer(answer) {}
	~AnswerGuard() { BusConnection::Default().Release(mAnswer); }

private:
	QDBusMessage* mAnswer;
};

bool fetch_record(team_id team, app_record* record)
{
	QString owner;
	if (find_team_owner(team, query_timeout_ms(), &owner) != B_OK)
		return false;
	QDBusMessage reply = call_bus(app_call(owner, kBusGetAppInfo), query_timeout_ms());
	if (!parse_app_info(reply, team, record))
		return false;
	record->busOwner = owner.toStdString();
	return true;
}

// The connection to send to; what Request and Post answer when there is
// none: nobody, an impostor, or a bus that did not answer. The bus daemon
// answers these at once, so even a caller's short time-out does not cut
// them short.
status_t destination_of(team_id team, QString* destination)
{
	return find_team_owner(team, query_timeout_ms(), destination);
}

// Asks the bus for every name and makes that the known set. The signal is
// subscribed before the first listing, so from then on nothing is missed.
bool list_names(std::set<team_id>* present)
{
	BusState& state = BusState::Default();
	size_t mark = state.BeginListing();
	QDBusMessage reply = call_bus(bus_daemon_call("ListNames"), query_timeout_ms());
	bool ok = reply.type() == QDBusMessage::ReplyMessage && reply.arguments().size() == 1;
	std::set<team_id> listing;
	if (ok) {
		for (const QString& name : reply.arguments().at(0).toStringList()) {
			team_id team = team_from_service(name);
			if (team > 0 && team != current_team())
				listing.insert(team);
		}
	}
	state.EndListing(mark, ok ? &listing : nullptr);
	if (ok)
		*present = listing;
	return ok;
}

// All messages in one Requests call: one round trip, and the peer's
// looper takes them in one go. False when the peer does not know the
// method or they are too large together; nothing was queued there then.
bool request_together(const BMessenger::Address& target, const QString& destination,
                      const BMessage* const* messages, int32 count, BMessage* replies,
                      status_t* results, int timeoutMs)
{
	QByteArrayList outgoing;
	std::vector<int32> sent;
	for (int32 i = 0; i < count; i++) {
		QByteArray bytes;
		results[i] = flatten_for_wire(*messages[i], &bytes);
		if (results[i] != B_OK)
			continue;
		outgoing.append(bytes);
		sent.push_back(i);
	}
	if (sent.empty())
		return true;
	// Too much for one call: one call each then.
	size_t total = 0;
	for (const QByteArray& bytes : outgoing)
		total += (size_t)bytes.size();
	if (total > kMaxWireMessageSize)
		return false;
	// The peer answers with what it has a little before we give up, so an
	// answer that came in time is not lost with the ones that did not.
	int peerWaitMs = timeoutMs - std::min(75, timeoutMs / 10);
	QDBusMessage call = app_call(destination, kBusRequests);
	call << QVariant::fromValue(outgoing) << target.looperToken << target.handlerToken
	     << peerWaitMs;
	bigtime_t start = system_time();
	QDBusMessage answer = call_bus(call, timeoutMs);
	AnswerGuard letGo(&answer);
	if (method_unknown(answer)) {
		BusState::Default().NoteSingleRequestsOnly(target.team);
		return false;
	}
	if (names_nobody(answer))
		BusState::Default().NoteName(target.team, false);

	status_t status = status_from_reply(answer);
	QByteArrayList answers;
	if (status == B_OK) {
		if (answer.signature() != QLatin1String(kBusRequests.OutSignature().c_str()) ||
		    answer.arguments().size() != 1)
			status = B_BAD_REPLY;
		else
			answers = qdbus_cast<QByteArrayList>(answer.arguments().at(0));
		if (status == B_OK && answers.size() != outgoing.size())
			status = B_BAD_REPLY;
	}
	if (status != B_OK) {
		if (status != B_TIMED_OUT && system_time() - start >= (bigtime_t)timeoutMs * 1000)
			status = B_TIMED_OUT;
		for (int32 i : sent)
			results[i] = status;
		return true;
	}
	for (size_t k = 0; k < sent.size(); k++) {
		int32 i = sent[k];
		// An empty slot: not answered within the wait.
		if (answers[k].isEmpty()) {
			results[i] = B_TIMED_OUT;
		} else if (unflatten_from_wire(answers[k], &replies[i]) != B_OK) {
			results[i] = B_BAD_REPLY;
		} else {
			MessageInternals::SetIsReply(replies[i], true);
			results[i] = B_OK;
		}
	}
	return true;
}

} // namespace

int Bus::TimeoutMs(bigtime_t timeout)
{
	// Only "forever" is bounded; a long finite wait is the caller's choice.
	if (timeout == B_INFINITE_TIMEOUT)
		timeout = kMaxRemoteWait;
	if (timeout < 0)
		timeout = 0;
	bigtime_t ms = (timeout + 999) / 1000;
	if (ms < 1)
		ms = 1;
	return ms > INT_MAX ? INT_MAX : (int)ms;
}

bool Bus::Available()
{
	return BusConnection::Default().Available();
}

status_t Bus::RegisterSelf(std::function<app_record()> provider)
{
	status_t status = BusConnection::Default().Join(std::move(provider));
	if (status == B_OK)
		BusState::Default().SetRegistered(true);
	return status;
}

void Bus::UnregisterSelf()
{
	if (BusState::Default().SetRegistered(false))
		BusConnection::Default().Leave();
}

bool Bus::IsRegistered(team_id team)
{
	if (team <= 0 || !Available())
		return false;
	if (team == current_team())
		return BusState::Default().IsRegistered();
	QString owner;
	return find_team_owner(team, query_timeout_ms(), &owner) == B_OK;
}

std::vector<app_record> Bus::Applications(bool fresh)
{
	std::vector<app_record> records;
	if (!Available())
		return records;
	BusState& state = BusState::Default();
	std::set<team_id> present;
	bool known = !fresh && state.Teams(&present);
	// The bus did not answer: what is known beats nothing.
	if (!known && !list_names(&present) && !state.Teams(&present))
		return records;

	for (team_id team : state.KeepOnly(present)) {
		app_record record;
		if (fetch_record(team, &record))
			state.Remember(record);
	}
	return state.Records(present);
}

bool Bus::Application(team_id team, app_record* record)
{
	if (team <= 0 || team == current_team() || !IsRegistered(team))
		return false;
	if (BusState::Default().Cached(team, record))
		return true;
	if (!fetch_record(team, record))
		return false;
	BusState::Default().Remember(*record);
	return true;
}

void Bus::SetWatcher(std::function<void(bool launched, const app_record&)> watcher)
{
	BusState::Default().SetWatcher(std::move(watcher));
}

status_t Bus::Post(const BMessenger::Address& target, const BMessage& message,
                   const BMessenger::Address& replyTo, bigtime_t timeout)
{
	if (!Available())
		return B_BAD_PORT_ID;
	QByteArray bytes;
	status_t status = flatten_for_wire(message, &bytes);
	if (status != B_OK)
		return status;
	QString destination;
	status = destination_of(target.team, &destination);
	if (status != B_OK)
		return status;
	QDBusMessage call = app_call(destination, kBusPost);
	call << bytes << target.looperToken << target.handlerToken << replyTo.team
	     << replyTo.looperToken << replyTo.handlerToken;
	QDBusMessage answer = call_bus(call, TimeoutMs(timeout));
	if (names_nobody(answer))
		BusState::Default().NoteName(target.team, false);
	return status_from_reply(answer);
}

status_t Bus::Request(const BMessenger::Address& target, const BMessage& message, BMessage* reply,
                      bigtime_t timeout)
{
	const BMessage* messages[] = {&message};
	status_t result;
	RequestAll(target, messages, 1, reply, &result, timeout);
	return result;
}

void Bus::RequestAll(const BMessenger::Address& target, const BMessage* const* messages,
                     int32 count, BMessage* replies, status_t* results, bigtime_t timeout)
{
	if (count <= 0)
		return;
	if (!Available()) {
		std::fill(results, results + count, B_BAD_PORT_ID);
		return;
	}
	const int timeoutMs = TimeoutMs(timeout);
	QString destination;
	const status_t found = destination_of(target.team, &destination);
	if (found != B_OK) {
		std::fill(results, results + count, found);
		for (int32 i = 0; i < count; i++) {
			replies[i].MakeEmpty();
			replies[i].what = B_NO_REPLY;
		}
		return;
	}
	if (count > 1 && count <= kMaxBatchRequests &&
	    BusState::Default().UnderstandsRequests(target.team) &&
	    request_together(target, destination, messages, count, replies, results, timeoutMs))
		return;
	// One call each, all sent before the first wait.
	QDBusConnection bus = session_bus();
	std::vector<QDBusPendingCall> calls;
	std::vector<int32> callOf(count, -1);
	bigtime_t start = system_time();
	for (int32 i = 0; i < count; i++) {
		QByteArray bytes;
		results[i] = flatten_for_wire(*messages[i], &bytes);
		if (results[i] != B_OK)
			continue;
		QDBusMessage call = app_call(destination, kBusRequest);
		call << bytes << target.looperToken << target.handlerToken;
		callOf[i] = (int32)calls.size();
		calls.push_back(bus.asyncCall(call, timeoutMs));
	}
	std::vector<bigtime_t> finishedAt;
	wait_for_calls(calls, timeoutMs, &finishedAt);

	const bigtime_t limit = (bigtime_t)timeoutMs * 1000;
	bool gone = false;
	for (int32 i = 0; i < count; i++) {
		if (callOf[i] < 0)
			continue;
		QDBusMessage answer = finished_reply(calls[callOf[i]]);
		gone = gone || names_nobody(answer);
		status_t status = read_request_reply(answer, &replies[i]);
		// Waiting in one go must not turn a hung peer into a refusing one.
		if (status != B_OK && status != B_TIMED_OUT && finishedAt[callOf[i]] - start >= limit)
			status = B_TIMED_OUT;
		results[i] = status;
	}
	if (gone)
		BusState::Default().NoteName(target.team, false);
	BusConnection::Default().Release(&calls);
}

} // namespace BPrivate
