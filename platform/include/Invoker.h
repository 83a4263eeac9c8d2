// An object that sends a message to a target when invoked: the base of
// controls and menu items.
//
// Ownership: the invoker owns its message (SetMessage() deletes the old one).
// The target is a handler and/or looper, or a messenger; with no target set,
// controls and menu items send to their window.
#ifndef _INVOKER_H
#define _INVOKER_H

#include <memory>

#include "Message.h"
#include "Messenger.h"
#include "SupportDefs.h"

class BHandler;
class BLooper;

class BInvoker
{
public:
	BInvoker();
	BInvoker(BMessage* message, const BHandler* handler, const BLooper* looper = nullptr);
	BInvoker(BMessage* message, BMessenger target);
	virtual ~BInvoker();

	virtual status_t SetMessage(BMessage* message);
	BMessage* Message() const;
	uint32 Command() const;

	// A handler without a looper is reached through its own looper (for
	// example be_app, which is its own looper). B_BAD_VALUE when the
	// handler belongs to no looper yet and no looper is given.
	virtual status_t SetTarget(const BHandler* handler, const BLooper* looper = nullptr);
	virtual status_t SetTarget(BMessenger messenger);
	bool IsTargetLocal() const;
	BHandler* Target(BLooper** looper = nullptr) const;
	BMessenger Messenger() const;
	// Whether a target was set (SetTarget with a valid target).
	bool HasTarget() const;

	// Sends a copy of the message (or of the given one) to the target,
	// with the field "when" (int64, microseconds). B_BAD_VALUE without a
	// message, B_BAD_PORT_ID without a valid target.
	virtual status_t Invoke(BMessage* message = nullptr);

protected:
	// Sends an already completed copy to the target (or to fallback when
	// no target was set); does not take ownership.
	status_t SendToTarget(BMessage* copy, const BMessenger* fallback = nullptr);

private:
	BInvoker(const BInvoker&) = delete;
	BInvoker& operator=(const BInvoker&) = delete;

	std::unique_ptr<BMessage> mMessage;
	BMessenger mMessenger;
	bool mHasTarget;
};

#endif // _INVOKER_H
