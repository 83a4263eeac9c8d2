#ifndef REFERENCE_FETCHER_H
#define REFERENCE_FETCHER_H

// Fetches one reference from a running application off the window's
// thread (LocaleSuiteClient::FetchReference, with its time-out) and sends
// the result to the window. One fetcher per fetch, stopped as every
// AskingLooper is.

#include "AskingLooper.h"

// To the window: "fetch" (int32, as given to Start), "reference" (the
// reference message; whatever went unanswered is left out) and "status"
// (int32: FetchReference's result, B_OK when all of it was answered).
const uint32 kMsgReferenceFetched = 'rfdn';
extern const char* const kFieldFetch;       // "fetch"
extern const char* const kFieldReference;   // "reference"
extern const char* const kFieldFetchStatus; // "status"

class ReferenceFetcher : public AskingLooper
{
public:
	// Asks with client; results go to window.
	ReferenceFetcher(const LocaleSuiteClient& client, const BMessenger& window);

	// Starts the looper and the fetch from the application with signature.
	// The fetcher is running afterwards, whatever the status.
	status_t Start(const char* signature, int32 fetch);

private:
	void Ask(BMessage* message) override;
};

#endif // REFERENCE_FETCHER_H
