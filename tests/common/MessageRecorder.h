// A looper that keeps a copy of every message it receives, for tests that
// check what a program sent to a target. Header only: test_common has no
// part of the platform, the tests that use this link it.
#ifndef TESTS_COMMON_MESSAGE_RECORDER_H
#define TESTS_COMMON_MESSAGE_RECORDER_H

#include <chrono>
#include <mutex>
#include <vector>

#include "Looper.h"
#include "Message.h"
#include "Wait.h"

class MessageRecorder : public BLooper
{
public:
	explicit MessageRecorder(const char* name) : BLooper(name) {}

	void MessageReceived(BMessage* message) override
	{
		std::lock_guard<std::mutex> lock(mLock);
		mMessages.push_back(*message);
	}

	// How many messages came and were not taken yet.
	size_t Count()
	{
		std::lock_guard<std::mutex> lock(mLock);
		return mMessages.size();
	}

	// Waits (keeping the GUI going on the main thread) until count messages
	// are there; false after timeout.
	bool WaitForCount(size_t count, std::chrono::milliseconds timeout)
	{
		return WaitFor([&] { return Count() >= count; }, timeout);
	}

	// The oldest message not taken yet, waited for as WaitForCount; false
	// when none came.
	bool TakeNext(BMessage* message, std::chrono::milliseconds timeout)
	{
		if (!WaitForCount(1, timeout))
			return false;
		std::lock_guard<std::mutex> lock(mLock);
		*message = mMessages.front();
		mMessages.erase(mMessages.begin());
		return true;
	}

	// Every message not taken yet.
	std::vector<BMessage> TakeAll()
	{
		std::lock_guard<std::mutex> lock(mLock);
		std::vector<BMessage> messages;
		messages.swap(mMessages);
		return messages;
	}

private:
	std::mutex mLock;
	std::vector<BMessage> mMessages;
};

#endif // TESTS_COMMON_MESSAGE_RECORDER_H
