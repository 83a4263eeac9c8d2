#include "TokenRegistry.h"

#include "LooperImpl.h"

namespace BPrivate {

TokenRegistry& TokenRegistry::Default()
{
	// Never destroyed: loopers may still unregister while statics go away.
	static TokenRegistry* registry = new TokenRegistry;
	return *registry;
}

int32 TokenRegistry::AddHandler(BHandler* handler)
{
	std::lock_guard<std::mutex> guard(mLock);
	int32 token = mNextToken++;
	mHandlers[token] = HandlerEntry{handler, -1};
	return token;
}

void TokenRegistry::RemoveHandler(int32 token)
{
	std::lock_guard<std::mutex> guard(mLock);
	mHandlers.erase(token);
}

void TokenRegistry::SetHandlerLooper(int32 handlerToken, int32 looperToken)
{
	std::lock_guard<std::mutex> guard(mLock);
	auto found = mHandlers.find(handlerToken);
	if (found != mHandlers.end())
		found->second.looper = looperToken;
}

int32 TokenRegistry::LooperOfHandler(int32 handlerToken)
{
	std::lock_guard<std::mutex> guard(mLock);
	auto found = mHandlers.find(handlerToken);
	return found != mHandlers.end() ? found->second.looper : -1;
}

BHandler* TokenRegistry::Handler(int32 handlerToken)
{
	std::lock_guard<std::mutex> guard(mLock);
	auto found = mHandlers.find(handlerToken);
	return found != mHandlers.end() ? found->second.handler : nullptr;
}

void TokenRegistry::AddLooper(int32 token, const std::shared_ptr<LooperImpl>& looper)
{
	std::lock_guard<std::mutex> guard(mLock);
	mLoopers[token] = looper;
}

void TokenRegistry::RemoveLooper(int32 token)
{
	std::shared_ptr<LooperImpl> last;
	{
		std::lock_guard<std::mutex> guard(mLock);
		auto found = mLoopers.find(token);
		if (found == mLoopers.end())
			return;
		last = found->second;
		mLoopers.erase(found);
	}
	// last is released outside the lock: its destructor may take it again.
}

std::shared_ptr<LooperImpl> TokenRegistry::Looper(int32 token)
{
	std::lock_guard<std::mutex> guard(mLock);
	auto found = mLoopers.find(token);
	return found != mLoopers.end() ? found->second : nullptr;
}

std::shared_ptr<LooperImpl> TokenRegistry::LooperForThread(thread_id thread)
{
	std::lock_guard<std::mutex> guard(mLock);
	for (auto& entry : mLoopers) {
		if (entry.second->Kind() == kOwnThread && entry.second->DispatchThread() == thread)
			return entry.second;
	}
	return nullptr;
}

} // namespace BPrivate
