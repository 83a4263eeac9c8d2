// The reply paths of delivered messages: a waiting sender, a reply-to
// address (in this process or another), and the application's quit round.
#ifndef REPLY_CHANNELS_H
#define REPLY_CHANNELS_H

#include <functional>
#include <memory>
#include <mutex>

#include "MainThread.h"
#include "Message.h"
#include "Messenger.h"

namespace BPrivate {

// Every channel of the app kit can tell the message's return address.
class AddressedReplyChannel : public ReplyChannel
{
public:
	virtual BMessenger ReturnAddress() const { return BMessenger(); }
	// Whether the reply leaves this process, and so meets the bus's size
	// limit.
	virtual bool IsRemote() const { return false; }
};

// Whether the reply to message (delivered, its sender waiting or given a
// reply address) goes to another process.
bool reply_leaves_process(const BMessage& message);

// Where a synchronous sender waits for its reply.
struct ReplySlot
{
	Completion done;
	std::mutex lock;
	BMessage reply;
};

// Fills the slot with the reply, or with B_NO_REPLY when the message is
// deleted unanswered.
class WaitingReplyChannel : public AddressedReplyChannel
{
public:
	explicit WaitingReplyChannel(std::shared_ptr<ReplySlot> slot);
	~WaitingReplyChannel() override;
	status_t Deliver(const BMessage& reply, bigtime_t timeout) override;

private:
	std::shared_ptr<ReplySlot> mSlot;
};

// Sends the reply as a new message to an address.
class AddressReplyChannel : public AddressedReplyChannel
{
public:
	explicit AddressReplyChannel(const BMessenger& target);
	status_t Deliver(const BMessage& reply, bigtime_t timeout) override;
	BMessenger ReturnAddress() const override { return mTarget; }
	bool IsRemote() const override;

private:
	BMessenger mTarget;
};

// Calls back with the reply, or with B_NO_REPLY when the message is deleted
// unanswered (the looper it waited in went away).
class CallbackReplyChannel : public AddressedReplyChannel
{
public:
	explicit CallbackReplyChannel(std::function<void(const BMessage&)> callback);
	~CallbackReplyChannel() override;
	status_t Deliver(const BMessage& reply, bigtime_t timeout) override;

private:
	std::function<void(const BMessage&)> mCallback;
};

// The channel for replyTo (nullptr: be_app), or none when there is no target.
std::shared_ptr<ReplyChannel> channel_for_reply_to(BHandler* replyTo);
std::shared_ptr<ReplyChannel> channel_for_reply_to(const BMessenger& replyTo);

} // namespace BPrivate

#endif // REPLY_CHANNELS_H
