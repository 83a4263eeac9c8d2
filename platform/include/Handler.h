// BHandler: an object that receives messages inside a looper.
#ifndef _HANDLER_H
#define _HANDLER_H

#include <string>

#include "SupportDefs.h"

class BLooper;
class BMessage;

// A handler belongs to at most one looper (AddHandler). A looper is itself a
// handler of itself. Handlers are not thread-safe on their own: touch one
// only with its looper locked.
class BHandler
{
public:
	BHandler(const char* name = nullptr);
	virtual ~BHandler();

	// Default: a scripting message nobody handled gets the error reply
	// (B_MESSAGE_NOT_UNDERSTOOD, "error" B_BAD_SCRIPT_SYNTAX, "message");
	// anything else is passed to the next handler, if there is one.
	virtual void MessageReceived(BMessage* message);

	BLooper* Looper() const;

	void SetName(const char* name);
	const char* Name() const;

	virtual void SetNextHandler(BHandler* handler);
	BHandler* NextHandler() const;

	// Scripting. The default resolves the universal suite ("Suites",
	// "Messenger", "InternalName" with B_GET_PROPERTY and a direct
	// specifier) to this handler; for anything else it sends the
	// B_MESSAGE_NOT_UNDERSTOOD reply ("error" = B_BAD_SCRIPT_SYNTAX,
	// "message") and returns nullptr.
	virtual BHandler* ResolveSpecifier(BMessage* message, int32 index, BMessage* specifier,
	                                   int32 form, const char* property);
	// Appends "suite/vnd.Be-handler" under "suites" and its flattened
	// property table under "messages".
	virtual status_t GetSupportedSuites(BMessage* data);

	// Locks the handler's looper (if any); false when there is none or it
	// went away meanwhile.
	bool LockLooper();
	status_t LockLooperWithTimeout(bigtime_t timeout);
	void UnlockLooper();

	// Layer-internal: a process-wide id that messengers use to find the
	// handler without keeping a pointer that could dangle.
	int32 Token() const { return mToken; }

private:
	friend class BLooper;

	BHandler(const BHandler&) = delete;
	BHandler& operator=(const BHandler&) = delete;

	void _SetLooper(BLooper* looper);

	std::string mName;
	BLooper* mLooper;
	BHandler* mNextHandler;
	int32 mToken;
};

#endif // _HANDLER_H
