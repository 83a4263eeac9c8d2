// BInvoker: a message and where it goes.
#include "Invoker.h"

#include "Handler.h"
#include "Looper.h"
#include "Message.h"
#include "Messenger.h"
#include "OS.h"

BInvoker::BInvoker() : mHasTarget(false) {}

BInvoker::BInvoker(BMessage* message, const BHandler* handler, const BLooper* looper) : BInvoker()
{
	mMessage.reset(message);
	SetTarget(handler, looper);
}

BInvoker::BInvoker(BMessage* message, BMessenger target) : BInvoker()
{
	mMessage.reset(message);
	SetTarget(target);
}

BInvoker::~BInvoker() = default;

status_t BInvoker::SetMessage(BMessage* message)
{
	if (message != mMessage.get())
		mMessage.reset(message);
	return B_OK;
}

BMessage* BInvoker::Message() const
{
	return mMessage.get();
}

uint32 BInvoker::Command() const
{
	return mMessage != nullptr ? mMessage->what : 0;
}

status_t BInvoker::SetTarget(const BHandler* handler, const BLooper* looper)
{
	if (handler == nullptr && looper == nullptr) {
		mMessenger = BMessenger();
		mHasTarget = false;
		return B_OK;
	}
	status_t status = B_OK;
	BMessenger messenger(handler, looper, &status);
	if (status != B_OK)
		return status;
	mMessenger = messenger;
	mHasTarget = true;
	return B_OK;
}

status_t BInvoker::SetTarget(BMessenger messenger)
{
	mMessenger = messenger;
	mHasTarget = messenger.IsValid();
	return B_OK;
}

bool BInvoker::IsTargetLocal() const
{
	return mMessenger.IsTargetLocal();
}

BHandler* BInvoker::Target(BLooper** looper) const
{
	return mMessenger.Target(looper);
}

BMessenger BInvoker::Messenger() const
{
	return mMessenger;
}

bool BInvoker::HasTarget() const
{
	return mHasTarget;
}

status_t BInvoker::Invoke(BMessage* message)
{
	if (message == nullptr)
		message = mMessage.get();
	if (message == nullptr)
		return B_BAD_VALUE;
	BMessage copy(*message);
	copy.AddInt64("when", system_time());
	return SendToTarget(&copy);
}

status_t BInvoker::SendToTarget(BMessage* copy, const BMessenger* fallback)
{
	if (copy == nullptr)
		return B_BAD_VALUE;
	const BMessenger* target = mHasTarget ? &mMessenger : fallback;
	if (target == nullptr || !target->IsValid())
		return B_BAD_PORT_ID;
	return target->SendMessage(copy);
}
