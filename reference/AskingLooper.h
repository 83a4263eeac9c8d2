#ifndef ASKING_LOOPER_H
#define ASKING_LOOPER_H

// A looper of its own that asks running applications on the window's behalf
// (through LocaleSuiteClient, with its time-outs) and reports to the window,
// so that the window's menus and controls stay live while an application is
// slow or hung.
//
// One looper per question. Whoever made it stops it with Stop(), from any
// other thread: a question still waiting gives up at once, and Stop returns
// once the looper's thread has ended; a report already sent is the window's
// to drop.

#include <Looper.h>
#include <Messenger.h>

#include "LocaleSuiteClient.h"

class AskingLooper : public BLooper
{
public:
	AskingLooper(const char* name, const LocaleSuiteClient& client, const BMessenger& window);

	// Ends the question and the looper and deletes it; from another thread
	// than the looper's own.
	void Stop();

	void MessageReceived(BMessage* message) override;

protected:
	// Starts the looper and hands request (its fields; the code is the
	// looper's own) to Ask on the looper's thread. The looper is running
	// afterwards, whatever the status.
	status_t StartWith(BMessage* request);
	// Asks what request says and reports to the window.
	virtual void Ask(BMessage* request) = 0;

	const LocaleSuiteClient& Client() const { return mClient; }
	void Report(BMessage* report) { mWindow.SendMessage(report); }

private:
	LocaleSuiteClient mClient;
	BMessenger mWindow;
};

#endif // ASKING_LOOPER_H
