// Scripting specifiers and reply routing of BMessage.
#include <cstring>

#include "Message.h"
#include "MessageBody.h"

namespace {

const char* const kSpecifiersField = "specifiers";

} // namespace

BPrivate::ReplyChannel::~ReplyChannel() = default;

bool BPrivate::ReplyChannel::ClaimReply()
{
	bool expected = false;
	return mReplied.compare_exchange_strong(expected, true);
}

bool BPrivate::ReplyChannel::WasReplied() const
{
	return mReplied.load();
}

status_t BMessage::AddSpecifier(const char* property)
{
	if (property == nullptr)
		return B_BAD_VALUE;
	BMessage specifier(B_DIRECT_SPECIFIER);
	specifier.AddString("property", property);
	return AddSpecifier(&specifier);
}

status_t BMessage::AddSpecifier(const char* property, int32 index)
{
	if (property == nullptr)
		return B_BAD_VALUE;
	BMessage specifier(B_INDEX_SPECIFIER);
	specifier.AddString("property", property);
	specifier.AddInt32("index", index);
	return AddSpecifier(&specifier);
}

status_t BMessage::AddSpecifier(const char* property, int32 index, int32 range)
{
	if (property == nullptr || range < 0)
		return B_BAD_VALUE;
	BMessage specifier(B_RANGE_SPECIFIER);
	specifier.AddString("property", property);
	specifier.AddInt32("index", index);
	specifier.AddInt32("range", range);
	return AddSpecifier(&specifier);
}

status_t BMessage::AddSpecifier(const char* property, const char* name)
{
	if (property == nullptr || name == nullptr)
		return B_BAD_VALUE;
	BMessage specifier(B_NAME_SPECIFIER);
	specifier.AddString("property", property);
	specifier.AddString("name", name);
	return AddSpecifier(&specifier);
}

status_t BMessage::AddSpecifier(const BMessage* specifier)
{
	if (specifier == nullptr)
		return B_BAD_VALUE;
	const status_t status = AddMessage(kSpecifiersField, specifier);
	if (status != B_OK)
		return status;
	int32 count = 0;
	GetInfo(kSpecifiersField, nullptr, &count);
	mCurrentSpecifier = count - 1;
	mHasSpecifiers = true;
	return B_OK;
}

status_t BMessage::SetCurrentSpecifier(int32 index)
{
	int32 count = 0;
	type_code type;
	if (GetInfo(kSpecifiersField, &type, &count) != B_OK || type != B_MESSAGE_TYPE)
		return B_BAD_INDEX;
	if (index < 0 || index >= count)
		return B_BAD_INDEX;
	mCurrentSpecifier = index;
	mHasSpecifiers = true;
	return B_OK;
}

status_t BMessage::GetCurrentSpecifier(int32* index, BMessage* specifier, int32* form,
                                       const char** property) const
{
	if (!mHasSpecifiers || mCurrentSpecifier < 0)
		return B_BAD_SCRIPT_SYNTAX;
	BMessage current;
	if (FindMessage(kSpecifiersField, mCurrentSpecifier, &current) != B_OK)
		return B_BAD_SCRIPT_SYNTAX;
	if (index != nullptr)
		*index = mCurrentSpecifier;
	if (form != nullptr)
		*form = (int32)current.what;
	if (property != nullptr) {
		const char* name = nullptr;
		current.FindString("property", &name);
		// Kept in this message, so the pointer outlives the local copy.
		mBody->specifierProperty = name != nullptr ? name : "";
		*property = name != nullptr ? mBody->specifierProperty.c_str() : nullptr;
	}
	if (specifier != nullptr)
		*specifier = current;
	return B_OK;
}

bool BMessage::HasSpecifiers() const
{
	return mHasSpecifiers;
}

status_t BMessage::PopSpecifier()
{
	if (!mHasSpecifiers || mCurrentSpecifier < 0)
		return B_BAD_VALUE;
	mCurrentSpecifier--;
	return B_OK;
}

bool BMessage::WasDelivered() const
{
	return mWasDelivered;
}

bool BMessage::IsSourceWaiting() const
{
	return mSourceWaiting && mReplyChannel != nullptr && !mReplyChannel->WasReplied();
}

bool BMessage::IsSourceRemote() const
{
	return false;
}

bool BMessage::IsReply() const
{
	return mIsReply;
}

status_t BMessage::SendReply(uint32 command, BHandler* replyTo)
{
	BMessage reply(command);
	return SendReply(&reply, replyTo);
}

status_t BMessage::SendReply(BMessage* reply, BHandler* /*replyTo*/, bigtime_t timeout)
{
	if (reply == nullptr)
		return B_BAD_VALUE;
	if (mReplyChannel == nullptr)
		return B_BAD_REPLY;
	if (!mReplyChannel->ClaimReply())
		return B_DUPLICATE_REPLY;
	return mReplyChannel->Deliver(*reply, timeout);
}

void BPrivate::MessageInternals::SetReplyChannel(BMessage& message,
                                                 std::shared_ptr<ReplyChannel> channel)
{
	message.mReplyChannel = std::move(channel);
}

std::shared_ptr<BPrivate::ReplyChannel>
BPrivate::MessageInternals::GetReplyChannel(const BMessage& message)
{
	return message.mReplyChannel;
}

void BPrivate::MessageInternals::SetWasDelivered(BMessage& message, bool delivered)
{
	message.mWasDelivered = delivered;
}

void BPrivate::MessageInternals::SetIsReply(BMessage& message, bool isReply)
{
	message.mIsReply = isReply;
}

void BPrivate::MessageInternals::SetSourceWaiting(BMessage& message, bool waiting)
{
	message.mSourceWaiting = waiting;
}

bool BPrivate::MessageInternals::ReplySent(const BMessage& message)
{
	return message.mReplyChannel != nullptr && message.mReplyChannel->WasReplied();
}
