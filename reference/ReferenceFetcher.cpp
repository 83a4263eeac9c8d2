#include "ReferenceFetcher.h"

#include "AppRefPopUp.h"

const char* const kFieldFetch = "fetch";
const char* const kFieldReference = "reference";

namespace {

// The fetcher's own request; nobody else sends it.
const uint32 kMsgFetch = 'rfgo';

} // namespace

ReferenceFetcher::ReferenceFetcher(const LocaleSuiteClient& client, const BMessenger& window)
    : AskingLooper("reference fetcher", client, window)
{
}

status_t ReferenceFetcher::Start(const char* signature, int32 fetch)
{
	BMessage request(kMsgFetch);
	if (signature != nullptr)
		request.AddString(kFieldAppSignature, signature);
	request.AddInt32(kFieldFetch, fetch);
	return StartWith(&request);
}

void ReferenceFetcher::MessageReceived(BMessage* message)
{
	if (message->what == kMsgFetch)
		_Fetch(message);
	else
		BLooper::MessageReceived(message);
}

void ReferenceFetcher::_Fetch(BMessage* message)
{
	// Whatever goes unanswered is left out; the window still shows the
	// result, so a vanished application blanks the reference fields.
	BMessage reference;
	const char* signature = nullptr;
	if (message->FindString(kFieldAppSignature, 0, &signature) == B_OK)
		Client().FetchReference(signature, &reference);
	BMessage result(kMsgReferenceFetched);
	result.AddInt32(kFieldFetch, message->GetInt32(kFieldFetch, 0));
	result.AddMessage(kFieldReference, &reference);
	Report(&result);
}
