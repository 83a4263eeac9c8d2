#include "Messenger.h"

#include <algorithm>
#include <strings.h>
#include <vector>

#include "AppRecord.h"
#include "Application.h"
#include "Bus.h"
#include "Handler.h"
#include "LooperImpl.h"
#include "Message.h"
#include "OS.h"
#include "ReplyChannels.h"
#include "SendCancel.h"
#include "TokenRegistry.h"

using BPrivate::LooperImpl;
using BPrivate::MessageInternals;
using BPrivate::TokenRegistry;

namespace {

const BMessenger::Address kNoAddress = {-1, -1, -1};

bool same_signature(const char* a, const std::string& b)
{
	return strcasecmp(a, b.c_str()) == 0;
}

void set_no_reply(BMessage* reply)
{
	reply->MakeEmpty();
	reply->what = B_NO_REPLY;
}

} // namespace

BMessenger::BMessenger() : mAddress(kNoAddress) {}

BMessenger::BMessenger(const BHandler* handler, const BLooper* looper, status_t* result)
    : mAddress(kNoAddress)
{
	status_t status = B_OK;
	if (handler != nullptr) {
		BLooper* owner = handler->Looper();
		if (owner == nullptr)
			status = B_BAD_HANDLER;
		else if (looper != nullptr && looper != owner)
			status = B_MISMATCHED_VALUES;
		else
			mAddress = Address{current_team(), owner->Token(), handler->Token()};
	} else if (looper != nullptr) {
		mAddress = Address{current_team(), looper->Token(), -1};
	} else {
		status = B_BAD_VALUE;
	}
	if (result != nullptr)
		*result = status;
}

BMessenger::BMessenger(const char* signature, team_id team, status_t* result) : mAddress(kNoAddress)
{
	status_t status = B_OK;
	BPrivate::app_record record;
	if (signature == nullptr && team < 0) {
		status = B_BAD_VALUE;
	} else if (team >= 0) {
		if (!BPrivate::app_record_for_team(team, &record))
			status = B_BAD_TEAM_ID;
		else if (signature != nullptr && !same_signature(signature, record.signature))
			status = B_MISMATCHED_VALUES;
	} else {
		std::vector<BPrivate::app_record> matching =
		    BPrivate::app_records_with_signature(signature);
		status = matching.empty() ? B_BAD_VALUE : B_OK;
		if (status == B_OK)
			record = matching.front();
	}
	if (status == B_OK) {
		if (record.team == current_team()) {
			if (be_app != nullptr)
				mAddress = Address{record.team, be_app->Token(), -1};
			else
				status = B_BAD_TEAM_ID;
		} else {
			mAddress = Address{record.team, -1, -1};
		}
	}
	if (result != nullptr)
		*result = status;
}

BMessenger::BMessenger(const BMessenger& other) = default;
BMessenger& BMessenger::operator=(const BMessenger& other) = default;
BMessenger::~BMessenger() = default;

bool BMessenger::operator==(const BMessenger& other) const
{
	return mAddress.team == other.mAddress.team &&
	       mAddress.looperToken == other.mAddress.looperToken &&
	       mAddress.handlerToken == other.mAddress.handlerToken;
}

BMessenger BMessenger::FromAddress(const Address& address)
{
	BMessenger messenger;
	messenger.mAddress = address;
	return messenger;
}

bool BMessenger::IsTargetLocal() const
{
	return mAddress.team >= 0 && mAddress.team == current_team();
}

team_id BMessenger::Team() const
{
	return mAddress.team;
}

bool BMessenger::IsValid() const
{
	if (mAddress.team < 0)
		return false;
	if (!IsTargetLocal())
		return BPrivate::Bus::IsRegistered(mAddress.team);
	TokenRegistry& registry = TokenRegistry::Default();
	std::shared_ptr<LooperImpl> looper = registry.Looper(mAddress.looperToken);
	if (!looper || looper->Owner() == nullptr)
		return false;
	return mAddress.handlerToken < 0 ||
	       registry.LooperOfHandler(mAddress.handlerToken) == mAddress.looperToken;
}

BHandler* BMessenger::Target(BLooper** looper) const
{
	if (looper != nullptr)
		*looper = nullptr;
	if (!IsTargetLocal())
		return nullptr;
	TokenRegistry& registry = TokenRegistry::Default();
	std::shared_ptr<LooperImpl> impl = registry.Looper(mAddress.looperToken);
	if (!impl || impl->Owner() == nullptr)
		return nullptr;
	if (looper != nullptr)
		*looper = impl->Owner();
	if (mAddress.handlerToken < 0)
		return nullptr;
	if (registry.LooperOfHandler(mAddress.handlerToken) != mAddress.looperToken)
		return nullptr;
	return registry.Handler(mAddress.handlerToken);
}

bool BMessenger::LockTarget() const
{
	return LockTargetWithTimeout(B_INFINITE_TIMEOUT) == B_OK;
}

status_t BMessenger::LockTargetWithTimeout(bigtime_t timeout) const
{
	if (!IsTargetLocal())
		return B_BAD_VALUE;
	std::shared_ptr<LooperImpl> impl = TokenRegistry::Default().Looper(mAddress.looperToken);
	if (!impl)
		return B_BAD_VALUE;
	if (!impl->Lock(timeout))
		return impl->Owner() == nullptr ? B_BAD_VALUE : B_TIMED_OUT;
	return B_OK;
}

namespace {

// The local looper a messenger points at, with the handler check done.
status_t local_target(const BMessenger::Address& address, std::shared_ptr<LooperImpl>* looper)
{
	TokenRegistry& registry = TokenRegistry::Default();
	*looper = registry.Looper(address.looperToken);
	if (!*looper || (*looper)->Owner() == nullptr)
		return B_BAD_PORT_ID;
	if (address.handlerToken >= 0 &&
	    registry.LooperOfHandler(address.handlerToken) != address.looperToken)
		return B_BAD_HANDLER;
	return B_OK;
}

} // namespace

status_t BMessenger::SendMessage(uint32 command, BHandler* replyTo) const
{
	BMessage message(command);
	return SendMessage(&message, replyTo);
}

status_t BMessenger::SendMessage(BMessage* message, BHandler* replyTo, bigtime_t timeout) const
{
	if (message == nullptr)
		return B_BAD_VALUE;
	if (replyTo != nullptr && replyTo->Looper() == nullptr)
		return B_BAD_HANDLER;
	BMessenger replyAddress;
	if (replyTo != nullptr)
		replyAddress = BMessenger(replyTo);
	return SendMessage(message, replyAddress, timeout);
}

status_t BMessenger::SendMessage(BMessage* message, BMessenger replyTo, bigtime_t timeout) const
{
	if (message == nullptr)
		return B_BAD_VALUE;
	if (mAddress.team < 0)
		return B_BAD_PORT_ID;
	if (!IsTargetLocal()) {
		BMessenger address = replyTo.GetAddress().team >= 0 ? replyTo : be_app_messenger;
		return BPrivate::Bus::Post(mAddress, *message, address.GetAddress(), timeout);
	}
	std::shared_ptr<LooperImpl> looper;
	status_t status = local_target(mAddress, &looper);
	if (status != B_OK)
		return status;
	auto copy = std::make_unique<BMessage>(*message);
	MessageInternals::SetReplyChannel(*copy, BPrivate::channel_for_reply_to(replyTo));
	return looper->Enqueue(std::move(copy), mAddress.handlerToken);
}

status_t BMessenger::SendMessage(uint32 command, BMessage* reply) const
{
	BMessage message(command);
	return SendMessage(&message, reply);
}

status_t BMessenger::SendMessage(BMessage* message, BMessage* reply, bigtime_t deliveryTimeout,
                                 bigtime_t replyTimeout) const
{
	(void)deliveryTimeout; // local queues take a message at once
	if (message == nullptr || reply == nullptr)
		return B_BAD_VALUE;
	if (mAddress.team < 0) {
		set_no_reply(reply);
		return B_BAD_PORT_ID;
	}
	if (!IsTargetLocal()) {
		status_t status = BPrivate::Bus::Request(mAddress, *message, reply, replyTimeout);
		if (status != B_OK)
			set_no_reply(reply);
		return status;
	}

	std::shared_ptr<LooperImpl> looper;
	status_t status = local_target(mAddress, &looper);
	if (status != B_OK) {
		set_no_reply(reply);
		return status;
	}
	// Waiting for a message that only this very thread could dispatch would
	// never end. A GUI looper asked from the main thread outside any
	// dispatch is fine: the wait's event loop dispatches it.
	if (looper->CallerIsDispatcher() &&
	    (looper->Kind() == BPrivate::kOwnThread || BPrivate::gui_dispatch_depth() > 0)) {
		set_no_reply(reply);
		return B_WOULD_BLOCK;
	}

	auto slot = std::make_shared<BPrivate::ReplySlot>();
	auto copy = std::make_unique<BMessage>(*message);
	MessageInternals::SetReplyChannel(*copy, std::make_shared<BPrivate::WaitingReplyChannel>(slot));
	MessageInternals::SetSourceWaiting(*copy, true);
	status = looper->Enqueue(std::move(copy), mAddress.handlerToken);
	if (status != B_OK) {
		set_no_reply(reply);
		return status;
	}
	// A cancel (BLooper::CancelRequests) ends the wait as its time-out would.
	BPrivate::CancellableWait cancel([slot] { slot->done.Complete(); });
	if (cancel.Cancelled() || !slot->done.Wait(replyTimeout) || cancel.Cancelled()) {
		set_no_reply(reply);
		return B_TIMED_OUT;
	}
	std::lock_guard<std::mutex> guard(slot->lock);
	*reply = slot->reply;
	MessageInternals::SetIsReply(*reply, true);
	return B_OK;
}

namespace {

// Every message is queued before the first wait, so the looper can answer
// them one after another while we wait.
void send_local_requests(const BMessenger::Address& address, BMessage* const* messages, int32 count,
                         BMessage* replies, status_t* results, bigtime_t timeout)
{
	std::shared_ptr<LooperImpl> looper;
	status_t status = local_target(address, &looper);
	if (status == B_OK && looper->CallerIsDispatcher() &&
	    (looper->Kind() == BPrivate::kOwnThread || BPrivate::gui_dispatch_depth() > 0))
		status = B_WOULD_BLOCK;
	if (status != B_OK) {
		std::fill(results, results + count, status);
		return;
	}
	std::vector<std::shared_ptr<BPrivate::ReplySlot>> slots(count);
	for (int32 i = 0; i < count; i++) {
		slots[i] = std::make_shared<BPrivate::ReplySlot>();
		auto copy = std::make_unique<BMessage>(*messages[i]);
		MessageInternals::SetReplyChannel(
		    *copy, std::make_shared<BPrivate::WaitingReplyChannel>(slots[i]));
		MessageInternals::SetSourceWaiting(*copy, true);
		results[i] = looper->Enqueue(std::move(copy), address.handlerToken);
	}
	const bigtime_t deadline = timeout == B_INFINITE_TIMEOUT
	                               ? B_INFINITE_TIMEOUT
	                               : system_time() + std::max<bigtime_t>(timeout, 0);
	// A cancel (BLooper::CancelRequests) ends the waits as their time-out
	// would.
	BPrivate::CancellableWait cancel([&slots] {
		for (const std::shared_ptr<BPrivate::ReplySlot>& slot : slots)
			slot->done.Complete();
	});
	for (int32 i = 0; i < count; i++) {
		if (results[i] != B_OK)
			continue;
		bigtime_t wait = deadline == B_INFINITE_TIMEOUT
		                     ? B_INFINITE_TIMEOUT
		                     : std::max<bigtime_t>(deadline - system_time(), 0);
		if (cancel.Cancelled() || !slots[i]->done.Wait(wait) || cancel.Cancelled()) {
			results[i] = B_TIMED_OUT;
			continue;
		}
		std::lock_guard<std::mutex> guard(slots[i]->lock);
		replies[i] = slots[i]->reply;
		MessageInternals::SetIsReply(replies[i], true);
	}
}

} // namespace

status_t BMessenger::SendRequests(BMessage* const* messages, int32 count, BMessage* replies,
                                  status_t* results, bigtime_t timeout) const
{
	if (messages == nullptr || replies == nullptr || results == nullptr || count < 0)
		return B_BAD_VALUE;
	for (int32 i = 0; i < count; i++) {
		if (messages[i] == nullptr)
			return B_BAD_VALUE;
	}
	if (mAddress.team < 0) {
		std::fill(results, results + count, B_BAD_PORT_ID);
	} else if (!IsTargetLocal()) {
		std::vector<const BMessage*> outgoing(messages, messages + count);
		BPrivate::Bus::RequestAll(mAddress, outgoing.data(), count, replies, results, timeout);
	} else {
		send_local_requests(mAddress, messages, count, replies, results, timeout);
	}
	status_t first = B_OK;
	for (int32 i = 0; i < count; i++) {
		if (results[i] == B_OK)
			continue;
		set_no_reply(&replies[i]);
		if (first == B_OK)
			first = results[i];
	}
	return first;
}
