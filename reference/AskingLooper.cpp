#include "AskingLooper.h"

AskingLooper::AskingLooper(const char* name, const LocaleSuiteClient& client,
                           const BMessenger& window)
    : BLooper(name), mClient(client), mWindow(window)
{
}

status_t AskingLooper::StartWith(BMessage* request)
{
	Run();
	return PostMessage(request);
}

void AskingLooper::Stop()
{
	// Cancelled first: the lock is the looper's for as long as it waits for
	// an answer, and Quit waits for its thread.
	CancelRequests();
	if (Lock())
		Quit();
}
