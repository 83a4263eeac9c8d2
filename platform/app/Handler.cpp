#include "Handler.h"

#include <cstring>

#include "Looper.h"
#include "LooperImpl.h"
#include "Message.h"
#include "Messenger.h"
#include "PropertyInfo.h"
#include "ScriptingReplies.h"
#include "TokenRegistry.h"

namespace {

const char* kHandlerSuite = "suite/vnd.Be-handler";

property_info sHandlerProperties[] = {
    {"Suites",
     {B_GET_PROPERTY},
     {B_DIRECT_SPECIFIER},
     nullptr,
     0,
     {},
     {{{{"suites", B_STRING_TYPE}, {"messages", B_PROPERTY_INFO_TYPE}}}},
     {}},
    {"Messenger", {B_GET_PROPERTY}, {B_DIRECT_SPECIFIER}, nullptr, 0, {B_MESSENGER_TYPE}, {}, {}},
    {"InternalName", {B_GET_PROPERTY}, {B_DIRECT_SPECIFIER}, nullptr, 0, {B_STRING_TYPE}, {}, {}},
    {},
};

} // namespace

BHandler::BHandler(const char* name)
    : mName(name != nullptr ? name : ""), mLooper(nullptr), mNextHandler(nullptr)
{
	mToken = BPrivate::TokenRegistry::Default().AddHandler(this);
}

BHandler::~BHandler()
{
	if (mLooper != nullptr && mLooper != this)
		mLooper->RemoveHandler(this);
	BPrivate::TokenRegistry::Default().RemoveHandler(mToken);
}

void BHandler::MessageReceived(BMessage* message)
{
	if (mNextHandler != nullptr) {
		mNextHandler->MessageReceived(message);
		return;
	}

	const char* property = nullptr;
	int32 index;
	int32 form = B_NO_SPECIFIER;
	BMessage specifier;
	bool hasSpecifier = message->GetCurrentSpecifier(&index, &specifier, &form, &property) == B_OK;

	if (message->what == B_GET_SUPPORTED_SUITES ||
	    (message->what == B_GET_PROPERTY && hasSpecifier && form == B_DIRECT_SPECIFIER &&
	     property != nullptr)) {
		BMessage reply(B_REPLY);
		if (message->what == B_GET_SUPPORTED_SUITES || strcmp(property, "Suites") == 0) {
			status_t status = GetSupportedSuites(&reply);
			reply.AddInt32("error", status);
			message->SendReply(&reply);
			return;
		}
		if (strcmp(property, "Messenger") == 0) {
			BMessenger::Address address = BMessenger(this).GetAddress();
			reply.AddData("result", B_MESSENGER_TYPE, &address, sizeof(address));
			reply.AddInt32("error", B_OK);
			message->SendReply(&reply);
			return;
		}
		if (strcmp(property, "InternalName") == 0) {
			reply.AddString("result", Name());
			reply.AddInt32("error", B_OK);
			message->SendReply(&reply);
			return;
		}
	}

	if (message->HasSpecifiers())
		BPrivate::send_not_understood(message, B_BAD_SCRIPT_SYNTAX);
}

BLooper* BHandler::Looper() const
{
	return mLooper;
}

void BHandler::SetName(const char* name)
{
	mName = name != nullptr ? name : "";
}

const char* BHandler::Name() const
{
	return mName.c_str();
}

void BHandler::SetNextHandler(BHandler* handler)
{
	if (handler == this)
		return;
	mNextHandler = handler;
}

BHandler* BHandler::NextHandler() const
{
	return mNextHandler;
}

BHandler* BHandler::ResolveSpecifier(BMessage* message, int32 index, BMessage* specifier,
                                     int32 form, const char* property)
{
	BPropertyInfo info(sHandlerProperties);
	if (property != nullptr && info.FindMatch(message, index, specifier, form, property) >= 0)
		return this;
	BPrivate::send_not_understood(message, B_BAD_SCRIPT_SYNTAX);
	return nullptr;
}

status_t BHandler::GetSupportedSuites(BMessage* data)
{
	return BPrivate::add_suite(data, kHandlerSuite, sHandlerProperties);
}

bool BHandler::LockLooper()
{
	return LockLooperWithTimeout(B_INFINITE_TIMEOUT) == B_OK;
}

status_t BHandler::LockLooperWithTimeout(bigtime_t timeout)
{
	// Go through the registry: the looper may be deleted by its own thread
	// while we wait for its lock.
	BPrivate::TokenRegistry& registry = BPrivate::TokenRegistry::Default();
	int32 looperToken = registry.LooperOfHandler(mToken);
	if (looperToken < 0)
		return B_BAD_VALUE;
	std::shared_ptr<BPrivate::LooperImpl> looper = registry.Looper(looperToken);
	if (!looper)
		return B_BAD_VALUE;
	if (!looper->Lock(timeout))
		return looper->Owner() == nullptr ? B_BAD_VALUE : B_TIMED_OUT;
	if (looper->Owner() == nullptr || registry.LooperOfHandler(mToken) != looperToken) {
		looper->Unlock();
		return B_MISMATCHED_VALUES;
	}
	return B_OK;
}

void BHandler::UnlockLooper()
{
	if (mLooper != nullptr)
		mLooper->Unlock();
}

void BHandler::_SetLooper(BLooper* looper)
{
	mLooper = looper;
	BPrivate::TokenRegistry::Default().SetHandlerLooper(mToken,
	                                                    looper != nullptr ? looper->Token() : -1);
}
