// Process-wide ids of handlers and loopers. Messengers keep ids instead of
// pointers so that a target that went away is found missing, not touched.
#ifndef TOKEN_REGISTRY_H
#define TOKEN_REGISTRY_H

#include <map>
#include <memory>
#include <mutex>

#include "SupportDefs.h"

class BHandler;

namespace BPrivate {

class LooperImpl;

class TokenRegistry
{
public:
	static TokenRegistry& Default();

	int32 AddHandler(BHandler* handler);
	void RemoveHandler(int32 token);
	// Which looper a handler belongs to (-1: none).
	void SetHandlerLooper(int32 handlerToken, int32 looperToken);
	int32 LooperOfHandler(int32 handlerToken);
	BHandler* Handler(int32 handlerToken);

	void AddLooper(int32 token, const std::shared_ptr<LooperImpl>& looper);
	void RemoveLooper(int32 token);
	std::shared_ptr<LooperImpl> Looper(int32 token);
	std::shared_ptr<LooperImpl> LooperForThread(thread_id thread);

private:
	struct HandlerEntry
	{
		BHandler* handler;
		int32 looper;
	};

	std::mutex mLock;
	int32 mNextToken = 1;
	std::map<int32, HandlerEntry> mHandlers;
	std::map<int32, std::shared_ptr<LooperImpl>> mLoopers;
};

} // namespace BPrivate

#endif // TOKEN_REGISTRY_H
