#ifndef REFERENCE_FETCHER_H
#define REFERENCE_FETCHER_H

// Fetches one reference from a running application off the window's
// thread: a looper of its own asks (LocaleSuiteClient::FetchReference, with
// its time-out) and sends the result to the window, so the window's menus
// and controls stay live while the application is slow or hung.
//
// One fetcher per fetch. Whoever made it stops it with Stop(), from any
// other thread: a fetch still waiting gives up at once, and Stop returns
// once the fetcher's thread has ended; its result, if already sent, is the
// window's to drop.

#include <Looper.h>
#include <Messenger.h>

#include "LocaleSuiteClient.h"

// To the window: "fetch" (int32, as given to Start) and "reference" (the
// reference message; whatever went unanswered is left out).
const uint32 kMsgReferenceFetched = 'rfdn';
extern const char* const kFieldFetch;     // "fetch"
extern const char* const kFieldReference; // "reference"

class ReferenceFetcher : public BLooper
{
public:
	// Asks with client; results go to window.
	ReferenceFetcher(const LocaleSuiteClient& client, const BMessenger& window);

	// Starts the looper and the fetch from the application with signature.
	// The fetcher is running afterwards, whatever the status.
	status_t Start(const char* signature, int32 fetch);

	// Ends the fetch and the looper and deletes it; from another thread than
	// the fetcher's own.
	void Stop();

	void MessageReceived(BMessage* message) override;

private:
	void _Fetch(BMessage* message);

	LocaleSuiteClient mClient;
	BMessenger mWindow;
};

#endif // REFERENCE_FETCHER_H
