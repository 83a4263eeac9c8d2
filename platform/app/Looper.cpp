#include "Looper.h"

#include <algorithm>
#include <unistd.h>

#include "LooperImpl.h"
#include "Message.h"
#include "ReplyChannels.h"
#include "TokenRegistry.h"

using BPrivate::LooperImpl;

namespace {

LooperImpl* create_impl(BLooper* looper, BPrivate::looper_thread_kind kind)
{
	auto impl = std::make_shared<LooperImpl>(looper, kind);
	BPrivate::TokenRegistry::Default().AddLooper(looper->Token(), impl);
	// The registry keeps it alive until the looper is destroyed; senders
	// and lockers in flight hold their own references.
	return impl.get();
}

} // namespace

BLooper::BLooper(const char* name, int32 priority, int32 portCapacity) : BHandler(name)
{
	(void)priority;
	(void)portCapacity;
	mImpl = create_impl(this, BPrivate::kOwnThread);
	AddHandler(this);
	mImpl->Lock(B_INFINITE_TIMEOUT);
}

BLooper::BLooper(const char* name, BPrivate::looper_thread_kind kind) : BHandler(name)
{
	mImpl = create_impl(this, kind);
	AddHandler(this);
	mImpl->Lock(B_INFINITE_TIMEOUT);
}

BLooper::~BLooper()
{
	for (BHandler* handler : mImpl->Handlers())
		handler->_SetLooper(nullptr);
	mImpl->Handlers().clear();
	mImpl->OwnerDestroyed();
	mImpl = nullptr;
}

status_t BLooper::PostMessage(uint32 command, BHandler* handler, BHandler* replyTo)
{
	BMessage message(command);
	return PostMessage(&message, handler, replyTo);
}

status_t BLooper::PostMessage(BMessage* message, BHandler* handler, BHandler* replyTo)
{
	if (message == nullptr)
		return B_BAD_VALUE;
	int32 handlerToken = -1;
	if (handler != nullptr) {
		if (handler->Looper() != this)
			return B_BAD_HANDLER;
		handlerToken = handler->Token();
	}
	auto copy = std::make_unique<BMessage>(*message);
	BPrivate::MessageInternals::SetReplyChannel(*copy, BPrivate::channel_for_reply_to(replyTo));
	return mImpl->Enqueue(std::move(copy), handlerToken);
}

void BLooper::DispatchMessage(BMessage* message, BHandler* handler)
{
	if (message == nullptr || handler == nullptr)
		return;
	if (message->what == B_QUIT_REQUESTED && handler == this) {
		if (QuitRequested())
			Quit();
		return;
	}
	handler->MessageReceived(message);
}

void BLooper::MessageReceived(BMessage* message)
{
	BHandler::MessageReceived(message);
}

BMessage* BLooper::CurrentMessage() const
{
	return mImpl->CurrentMessage();
}

BMessage* BLooper::DetachCurrentMessage()
{
	return mImpl->DetachCurrentMessage();
}

void BLooper::AddHandler(BHandler* handler)
{
	if (handler == nullptr || handler->Looper() != nullptr)
		return;
	mImpl->Handlers().push_back(handler);
	handler->_SetLooper(this);
}

bool BLooper::RemoveHandler(BHandler* handler)
{
	if (handler == nullptr || handler == this || handler->Looper() != this)
		return false;
	std::vector<BHandler*>& handlers = mImpl->Handlers();
	handlers.erase(std::remove(handlers.begin(), handlers.end(), handler), handlers.end());
	handler->_SetLooper(nullptr);
	if (mImpl->PreferredHandler() == handler)
		mImpl->SetPreferredHandler(nullptr);
	return true;
}

int32 BLooper::CountHandlers() const
{
	return (int32)mImpl->Handlers().size();
}

BHandler* BLooper::HandlerAt(int32 index) const
{
	std::vector<BHandler*>& handlers = mImpl->Handlers();
	if (index < 0 || index >= (int32)handlers.size())
		return nullptr;
	return handlers[index];
}

int32 BLooper::IndexOf(BHandler* handler) const
{
	std::vector<BHandler*>& handlers = mImpl->Handlers();
	auto found = std::find(handlers.begin(), handlers.end(), handler);
	return found == handlers.end() ? -1 : (int32)(found - handlers.begin());
}

BHandler* BLooper::PreferredHandler() const
{
	return mImpl->PreferredHandler();
}

void BLooper::SetPreferredHandler(BHandler* handler)
{
	if (handler != nullptr && handler->Looper() != this)
		return;
	mImpl->SetPreferredHandler(handler);
}

thread_id BLooper::Run()
{
	return mImpl->Run();
}

void BLooper::Quit()
{
	mImpl->Quit();
}

bool BLooper::QuitRequested()
{
	return true;
}

void BLooper::CancelRequests()
{
	mImpl->CancelRequests();
}

bool BLooper::Lock()
{
	return mImpl->Lock(B_INFINITE_TIMEOUT);
}

void BLooper::Unlock()
{
	mImpl->Unlock();
}

status_t BLooper::LockWithTimeout(bigtime_t timeout)
{
	if (mImpl->Lock(timeout))
		return B_OK;
	return mImpl->Owner() == nullptr ? B_BAD_VALUE : B_TIMED_OUT;
}

bool BLooper::IsLocked() const
{
	return mImpl->IsLockedByCaller();
}

thread_id BLooper::LockingThread() const
{
	return mImpl->LockingThread();
}

int32 BLooper::CountLocks() const
{
	return mImpl->CountLocks();
}

thread_id BLooper::Thread() const
{
	return mImpl->DispatchThread();
}

team_id BLooper::Team() const
{
	return (team_id)getpid();
}

bool BLooper::IsRunning() const
{
	return mImpl->IsRunning();
}

BHandler* BLooper::ResolveSpecifier(BMessage* message, int32 index, BMessage* specifier, int32 form,
                                    const char* property)
{
	return BHandler::ResolveSpecifier(message, index, specifier, form, property);
}

status_t BLooper::GetSupportedSuites(BMessage* data)
{
	return BHandler::GetSupportedSuites(data);
}

BLooper* BLooper::LooperForThread(thread_id thread)
{
	std::shared_ptr<LooperImpl> impl = BPrivate::TokenRegistry::Default().LooperForThread(thread);
	return impl ? impl->Owner() : nullptr;
}
