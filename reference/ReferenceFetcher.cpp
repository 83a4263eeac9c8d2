#include "ReferenceFetcher.h"

#include "AppRefPopUp.h"

const char* const kFieldFetch = "fetch";
const char* const kFieldReference = "reference";
const char* const kFieldFetchStatus = "status";

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
	// Whatever goes unanswered is left out; the status tells the window
	// whether the answer is whole.
	BMessage reference;
	const char* signature = nullptr;
	status_t status = B_BAD_VALUE;
	if (message->FindString(kFieldAppSignature, 0, &signature) == B_OK)
		status = Client().FetchReference(signature, &reference);
	BMessage result(kMsgReferenceFetched);
	result.AddInt32(kFieldFetch, message->GetInt32(kFieldFetch, 0));
	result.AddMessage(kFieldReference, &reference);
	result.AddInt32(kFieldFetchStatus, status);
	Report(&result);
}
