// BLooper: a message queue with a thread that dispatches it.
#ifndef _LOOPER_H
#define _LOOPER_H

#include "Handler.h"
#include "OS.h"
#include "SupportDefs.h"

class BMessage;

namespace BPrivate {

// Where a looper's messages are dispatched. kOwnThread: a thread of its own,
// started by Run(). kGuiThread: the Qt main thread; Run() starts no thread,
// messages are dispatched one at a time in arrival order with the looper
// locked, and never re-entrantly while the main thread is inside another
// dispatch (a modal alert, a synchronous request): they wait until that
// dispatch has returned. Windows are loopers of the second kind.
enum looper_thread_kind { kOwnThread, kGuiThread };

class LooperImpl;

} // namespace BPrivate

enum { B_LOOPER_PORT_DEFAULT_CAPACITY = 200 };

// A new looper is locked by the thread that built it; Run() releases that
// lock. Ownership: a looper owns the messages in its queue; PostMessage
// copies the message it is given. A running looper deletes itself when it quits; one
// that never ran is deleted by Quit() (with it locked) or by its owner.
// Handlers added with AddHandler are not owned.
class BLooper : public BHandler
{
public:
	BLooper(const char* name = nullptr, int32 priority = B_NORMAL_PRIORITY,
	        int32 portCapacity = B_LOOPER_PORT_DEFAULT_CAPACITY);
	virtual ~BLooper();

	// Queues a copy of the message for handler (nullptr: the preferred handler,
	// or the looper itself when there is none). replyTo receives replies;
	// nullptr sends them to be_app. B_BAD_HANDLER if handler belongs to another
	// looper, B_BAD_PORT_ID when the looper has quit.
	status_t PostMessage(uint32 command, BHandler* handler = nullptr, BHandler* replyTo = nullptr);
	status_t PostMessage(BMessage* message, BHandler* handler = nullptr,
	                     BHandler* replyTo = nullptr);

	// Called with the looper locked for every message. The default handles
	// B_QUIT_REQUESTED (QuitRequested(), then Quit() if it agrees) and hands
	// everything else to handler->MessageReceived.
	virtual void DispatchMessage(BMessage* message, BHandler* handler);
	virtual void MessageReceived(BMessage* message);

	// The message being dispatched (nullptr outside a dispatch). After
	// DetachCurrentMessage the caller owns it.
	BMessage* CurrentMessage() const;
	BMessage* DetachCurrentMessage();

	void AddHandler(BHandler* handler);
	bool RemoveHandler(BHandler* handler);
	int32 CountHandlers() const;
	BHandler* HandlerAt(int32 index) const;
	int32 IndexOf(BHandler* handler) const;

	BHandler* PreferredHandler() const;
	void SetPreferredHandler(BHandler* handler);

	// Starts the message loop (a thread, or for the GUI kind the main
	// thread's dispatch) and returns its thread; the looper must be locked
	// by the caller, and is unlocked by Run.
	virtual thread_id Run();
	// From the looper's own thread: stops after the current message and
	// deletes the looper. From another thread (which must hold the lock):
	// asks the loop to stop, waits for it and deletes the looper. A looper
	// that was never run is deleted at once.
	virtual void Quit();
	virtual bool QuitRequested();

	// An addition of this layer, for stopping a looper whose thread may be
	// waiting for an application that does not answer: every synchronous
	// send (BMessenger::SendMessage with a reply, SendRequests) that the
	// looper's thread waits in now, or starts from now on, gives up at once
	// as if its time-out had passed. Then Lock() and Quit() no longer wait
	// for the time-out. Any thread; own-thread loopers only (a window's
	// waits are left alone); a looper that does not run ignores it.
	void CancelRequests();

	// Locks nest; any thread may lock. Lock fails (false) when the looper
	// has been deleted meanwhile.
	bool Lock();
	void Unlock();
	status_t LockWithTimeout(bigtime_t timeout);
	bool IsLocked() const;
	thread_id LockingThread() const;
	int32 CountLocks() const;

	thread_id Thread() const;
	team_id Team() const;
	bool IsRunning() const;

	virtual BHandler* ResolveSpecifier(BMessage* message, int32 index, BMessage* specifier,
	                                   int32 form, const char* property);
	virtual status_t GetSupportedSuites(BMessage* data);

	// The looper whose thread is thread (GUI loopers are not found by the
	// main thread's id), or nullptr.
	static BLooper* LooperForThread(thread_id thread);

protected:
	// For windows: a looper dispatched on the Qt main thread.
	BLooper(const char* name, BPrivate::looper_thread_kind kind);

private:
	friend class BPrivate::LooperImpl;
	friend class BApplication;

	BLooper(const BLooper&) = delete;
	BLooper& operator=(const BLooper&) = delete;

	BPrivate::LooperImpl* mImpl;
};

#endif // _LOOPER_H
