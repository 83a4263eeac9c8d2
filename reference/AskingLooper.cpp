#include "AskingLooper.h"

AskingLooper::AskingLooper(const char* name, const LocaleSuiteClient& client,
                           const BMessenger& window)
    : BLooper(name), mClient(client), mWindow(window)
{
}

namespace {

// The question a looper puts to itself; nobody else sends it.
const uint32 kMsgAsk = 'rfas';

} // namespace

status_t AskingLooper::StartWith(BMessage* request)
{
	Run();
	request->what = kMsgAsk;
	return PostMessage(request);
}

void AskingLooper::MessageReceived(BMessage* message)
{
	if (message->what == kMsgAsk)
		Ask(message);
	else
		BLooper::MessageReceived(message);
}

void AskingLooper::Stop()
{
	// Cancelled first: the lock is the looper's for as long as it waits for
	// an answer, and Quit waits for its thread.
	CancelRequests();
	if (Lock())
		Quit();
}
