#include "ReplyChannels.h"

#include "Application.h"
#include "Handler.h"
#include "OS.h"

namespace BPrivate {

WaitingReplyChannel::WaitingReplyChannel(std::shared_ptr<ReplySlot> slot) : mSlot(std::move(slot))
{
}

WaitingReplyChannel::~WaitingReplyChannel()
{
	if (WasReplied())
		return;
	{
		std::lock_guard<std::mutex> guard(mSlot->lock);
		mSlot->reply = BMessage(B_NO_REPLY);
	}
	mSlot->done.Complete();
}

status_t WaitingReplyChannel::Deliver(const BMessage& reply, bigtime_t timeout)
{
	(void)timeout;
	{
		std::lock_guard<std::mutex> guard(mSlot->lock);
		mSlot->reply = reply;
	}
	mSlot->done.Complete();
	return B_OK;
}

AddressReplyChannel::AddressReplyChannel(const BMessenger& target) : mTarget(target) {}

bool reply_leaves_process(const BMessage& message)
{
	auto* channel =
	    dynamic_cast<AddressedReplyChannel*>(MessageInternals::GetReplyChannel(message).get());
	return channel != nullptr && channel->IsRemote();
}

bool AddressReplyChannel::IsRemote() const
{
	return mTarget.Team() != current_team();
}

status_t AddressReplyChannel::Deliver(const BMessage& reply, bigtime_t timeout)
{
	BMessage copy(reply);
	MessageInternals::SetIsReply(copy, true);
	return mTarget.SendMessage(&copy, (BHandler*)nullptr, timeout);
}

CallbackReplyChannel::CallbackReplyChannel(std::function<void(const BMessage&)> callback)
    : mCallback(std::move(callback))
{
}

CallbackReplyChannel::~CallbackReplyChannel()
{
	if (!WasReplied() && mCallback)
		mCallback(BMessage(B_NO_REPLY));
}

status_t CallbackReplyChannel::Deliver(const BMessage& reply, bigtime_t timeout)
{
	(void)timeout;
	if (mCallback)
		mCallback(reply);
	return B_OK;
}

std::shared_ptr<ReplyChannel> channel_for_reply_to(BHandler* replyTo)
{
	if (replyTo != nullptr) {
		if (replyTo->Looper() == nullptr)
			return nullptr;
		return std::make_shared<AddressReplyChannel>(BMessenger(replyTo));
	}
	if (be_app == nullptr)
		return nullptr;
	return std::make_shared<AddressReplyChannel>(be_app_messenger);
}

std::shared_ptr<ReplyChannel> channel_for_reply_to(const BMessenger& replyTo)
{
	if (replyTo.GetAddress().team < 0)
		return channel_for_reply_to((BHandler*)nullptr);
	return std::make_shared<AddressReplyChannel>(replyTo);
}

} // namespace BPrivate

// Declared by BMessage; only the app kit knows where replies go.
BMessenger BMessage::ReturnAddress() const
{
	std::shared_ptr<BPrivate::ReplyChannel> channel =
	    BPrivate::MessageInternals::GetReplyChannel(*this);
	auto* addressed = dynamic_cast<BPrivate::AddressedReplyChannel*>(channel.get());
	return addressed != nullptr ? addressed->ReturnAddress() : BMessenger();
}
