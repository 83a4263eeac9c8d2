#include "JournalKeeper.h"

#include <Message.h>
#include <MessageRunner.h>

#include "EditorMessages.h"
#include "JournalWriter.h"
#include "WorkJournal.h"

JournalKeeper::JournalKeeper() = default;

JournalKeeper::~JournalKeeper()
{
	Stop(false);
}

status_t JournalKeeper::Start(const std::string& folder, const BMessenger& window)
{
	Stop(false);
	auto journal = std::make_unique<WorkJournal>(folder);
	if (journal->InitCheck() != B_OK)
		return journal->InitCheck();
	mFolder = folder;
	mJournal = std::move(journal);
	mWindow = window;
	mWriter = new JournalWriter(mJournal.get());
	mWriter->Run();
	return B_OK;
}

void JournalKeeper::Changed()
{
	if (mWriter == nullptr || mTickDue)
		return;
	mTickDue = true;
	if (mTicks != nullptr) {
		mTicks->SetCount(1);
		return;
	}
	BMessage tick(kMsgJournalTick);
	mTicks = std::make_unique<BMessageRunner>(mWindow, &tick, kInterval, 1);
}

void JournalKeeper::Write(const BMessage& snapshot)
{
	mTickDue = false;
	if (mWriter == nullptr)
		return;
	mWriter->Write(snapshot);
	mWritten = true;
}

void JournalKeeper::Clear()
{
	mTickDue = false;
	if (mTicks != nullptr)
		mTicks->SetCount(0);
	if (mWriter == nullptr || !mWritten)
		return;
	mWriter->Remove();
	mWritten = false;
}

bool JournalKeeper::ClaimOrphan(BMessage* snapshot, std::string* path)
{
	if (mWriter == nullptr)
		return false;
	mOrphanClaim.Unset();
	mOrphan.clear();
	for (const std::string& orphan : WorkJournal::Orphans(mFolder)) {
		// Another editor starting now may have claimed it first.
		BNode claim;
		if (WorkJournal::Claim(orphan, &claim) != B_OK)
			continue;
		const status_t status = WorkJournal::Read(orphan, snapshot);
		if (status == B_BAD_DATA) {
			WorkJournal::SetAside(orphan);
			continue;
		}
		if (status != B_OK)
			continue;
		mOrphan = orphan;
		mOrphanClaim = claim;
		*path = orphan;
		return true;
	}
	return false;
}

void JournalKeeper::DropOrphan()
{
	if (mWriter != nullptr && !mOrphan.empty())
		mWriter->DiscardOrphan(mOrphan);
	mOrphan.clear();
	// The claim is kept until the writer is done with it: another editor
	// starting meanwhile must not offer it.
}

void JournalKeeper::Stop(bool remove)
{
	mTicks.reset();
	mTickDue = false;
	if (mWriter != nullptr) {
		// Whatever is still queued goes with the thread; what the journal
		// holds stays whole.
		mWriter->Stop();
		mWriter = nullptr;
	}
	if (mJournal != nullptr && remove)
		mJournal->Remove();
	mJournal.reset();
	mWritten = false;
	mOrphanClaim.Unset();
}
