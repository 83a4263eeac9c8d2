#include "ReferenceFetcher.h"

#include "AppRefPopUp.h"

const char* const kFieldFetch = "fetch";
const char* const kFieldReference = "reference";

ReferenceFetcher::ReferenceFetcher(const LocaleSuiteClient& client, const BMessenger& window)
    : AskingLooper("reference fetcher", client, window)
{
}

status_t ReferenceFetcher::Start(const char* signature, int32 fetch)
{
	BMessage request;
	if (signature != nullptr)
		request.AddString(kFieldAppSignature, signature);
	request.AddInt32(kFieldFetch, fetch);
	return StartWith(&request);
}

void ReferenceFetcher::Ask(BMessage* message)
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
