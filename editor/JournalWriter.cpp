#include "JournalWriter.h"

#include <Message.h>

#include "WorkJournal.h"

namespace {

// What the writer asks of itself; nobody else sends these.
const uint32 kMsgRemove = 'jrem';
const uint32 kMsgDiscardOrphan = 'jdis';
const char* const kFieldPath = "path";

} // namespace

JournalWriter::JournalWriter(WorkJournal* journal) : BLooper("journal writer"), mJournal(journal) {}

void JournalWriter::Write(const BMessage& snapshot)
{
	// The snapshot is its own request: one copy of the text, not two.
	BMessage message(snapshot);
	message.what = WorkJournal::kJournalFormat;
	PostMessage(&message);
}

void JournalWriter::Remove()
{
	PostMessage(kMsgRemove);
}

void JournalWriter::DiscardOrphan(const std::string& path)
{
	BMessage message(kMsgDiscardOrphan);
	message.AddString(kFieldPath, path.c_str());
	PostMessage(&message);
}

void JournalWriter::Stop()
{
	if (Lock())
		Quit();
}

void JournalWriter::MessageReceived(BMessage* message)
{
	switch (message->what) {
	case WorkJournal::kJournalFormat:
		// A failed write keeps the snapshot before it: the disk may be full
		// now and free at the next one.
		mJournal->Write(*message);
		break;
	case kMsgRemove:
		mJournal->Remove();
		break;
	case kMsgDiscardOrphan: {
		const char* path = nullptr;
		if (message->FindString(kFieldPath, 0, &path) == B_OK && path != nullptr)
			WorkJournal::Discard(path);
		break;
	}
	default:
		BLooper::MessageReceived(message);
		break;
	}
}
