// Keeping unsaved work safe: the journal the window writes while the text
// changes, the offer to restore what an editor that is gone left, and the
// open file changed on disk by another program.

#include "ZTLEWindow.h"

#include <cstring>
#include <ctime>
#include <string>

#include "Entry.h"
#include "Message.h"
#include "TextControl.h"

#include "EditorMessages.h"
#include "FileWatch.h"
#include "HeaderFields.h"
#include "JournalKeeper.h"
#include "TextFormat.h"
#include "WorkJournal.h"
#include "ZTLETextView.h"

namespace {

std::string LocalTime(int64 seconds)
{
	const time_t when = (time_t)seconds;
	struct tm local;
	char text[64];
	if (localtime_r(&when, &local) == nullptr ||
	    strftime(text, sizeof(text), "%Y-%m-%d %H:%M:%S", &local) == 0)
		return "?";
	return text;
}

} // namespace

void ZTLEWindow::StartJournal(const char* folder)
{
	if (folder == nullptr || mJournal->Start(folder, BMessenger(nullptr, this)) != B_OK)
		return;
	// Asked once the window serves, as a window of its own after it.
	PostMessage(kMsgOfferRecovery);
}

void ZTLEWindow::_JournalTick()
{
	// Typing that went back to the saved text leaves nothing to keep.
	if (HasUnsavedChanges())
		mJournal->Write(_Snapshot());
	else
		mJournal->Clear();
}

BMessage ZTLEWindow::_Snapshot()
{
	// A copy of the text: the writer's thread never touches the view.
	BMessage snapshot(WorkJournal::kJournalFormat);
	snapshot.AddString(WorkJournal::kJournalFile, mDocument.File().c_str());
	if (!mDocument.File().empty()) {
		const BMessage stamp = mFileWatch->Baseline().ToMessage();
		snapshot.AddMessage(WorkJournal::kJournalFileStamp, &stamp);
	}
	snapshot.AddInt64(WorkJournal::kJournalTime, (int64)time(nullptr));
	for (const HeaderField& header : kHeaderFields) {
		BTextControl* control = _TextControl(header.control);
		const char* text = control != nullptr ? control->Text() : nullptr;
		snapshot.AddString(*header.field, text != nullptr ? text : "");
	}
	const char* text = mTextView != nullptr ? mTextView->Text() : nullptr;
	snapshot.AddString(WorkJournal::kJournalText, text != nullptr ? text : "");
	return snapshot;
}

void ZTLEWindow::_OfferRecovery()
{
	auto snapshot = std::make_unique<BMessage>();
	std::string path;
	if (mRecovered != nullptr || !mJournal->ClaimOrphan(snapshot.get(), &path))
		return;
	const char* file = snapshot->GetString(WorkJournal::kJournalFile, "");
	const std::string when = LocalTime(snapshot->GetInt64(WorkJournal::kJournalTime, 0));
	const std::string text =
	    file[0] != '\0' ? FillPlaceholders(_Text(kTextRestoreFileQuestion), "%s", {file, when})
	                    : FillPlaceholders(_Text(kTextRestoreUntitledQuestion), "%s", {when});
	mRecovered = std::move(snapshot);
	// Unanswered, the work stays where it is for the next start.
	if (!mAlerts.AskRecovery(text, new BMessage(kMsgRecoveryAnswer), this))
		mRecovered.reset();
}

void ZTLEWindow::_RecoveryAnswered(const BMessage* message)
{
	if (mRecovered == nullptr)
		return;
	const std::unique_ptr<BMessage> snapshot = std::move(mRecovered);
	if (message->GetInt32("which", EditorAlerts::kRecoveryRestore) ==
	    EditorAlerts::kRecoveryRestore) {
		for (const HeaderField& header : kHeaderFields) {
			if (BTextControl* control = _TextControl(header.control))
				control->SetText(snapshot->GetString(*header.field, ""));
		}
		const char* text = snapshot->GetString(WorkJournal::kJournalText, "");
		if (mTextView != nullptr)
			mTextView->SetText(text, (int32)strlen(text), nullptr);
		mDocument.SetFile(snapshot->GetString(WorkJournal::kJournalFile, ""));
		// The file as it was when the work was last loaded or saved: a save
		// over what another program wrote since still asks.
		BMessage stampMessage;
		snapshot->FindMessage(WorkJournal::kJournalFileStamp, &stampMessage);
		const FileStamp stamp = FileStamp::FromMessage(stampMessage);
		if (mDocument.File().empty())
			mFileWatch->Forget();
		else
			mFileWatch->Watch(mDocument.File(), &stamp);
		_MarkUnsaved();
		// In this editor's journal before the orphan goes.
		mJournal->Write(_Snapshot());
	}
	mJournal->DropOrphan();
}

void ZTLEWindow::_MarkUnsaved()
{
	// No state a save could write is empty: unsaved until the next save,
	// load or New.
	mDocument.MarkUnsaved();
	_ShowTitle(true);
	// The text may be the only copy now: journalled though nobody types.
	mJournal->Changed();
}

void ZTLEWindow::_FileChangedOnDisk(const BMessage* message)
{
	const std::string path = message->GetString(kFieldFile, "");
	// A notice about a file the window has left since.
	if (path.empty() || path != mDocument.File() || path != mFileWatch->Path())
		return;
	if (message->GetBool(kFieldDeleted, false)) {
		_MarkUnsaved();
		_ShowStatus(FillPlaceholders(_Text(kTextFileDeleted), "%s", {path}).c_str());
		return;
	}
	if (!HasUnsavedChanges()) {
		_Reload(path);
		return;
	}
	// Asked once: a second change meanwhile is answered by the same answer.
	if (mAskingReload)
		return;
	const std::string text = FillPlaceholders(_Text(kTextFileChangedQuestion), "%s", {path});
	BMessage* answer = new BMessage(kMsgReloadAnswer);
	answer->AddString(kFieldFile, path.c_str());
	mAskingReload = mAlerts.AskReload(text, answer, this);
}

void ZTLEWindow::_ReloadAnswered(const BMessage* message)
{
	mAskingReload = false;
	const std::string path = message->GetString(kFieldFile, "");
	if (message->GetInt32("which", EditorAlerts::kReloadKeepMine) == EditorAlerts::kReloadReload &&
	    path == mDocument.File())
		_Reload(path);
	// Keep Mine: the text stays unsaved, and a save asks before it writes
	// over the other program's file.
}

void ZTLEWindow::_Reload(const std::string& path)
{
	entry_ref ref;
	if (get_ref_for_path(path.c_str(), &ref) != B_OK)
		return;
	BMessage load(kMsgLoadFile);
	load.AddRef("refs", &ref);
	if (_LoadFileMessage(&load, false) && mLoadNotice.empty())
		_ShowStatus(FillPlaceholders(_Text(kTextReloaded), "%s", {path}).c_str());
}

bool ZTLEWindow::_ConfirmOverwrite(const std::string& path, AfterSave then)
{
	if (!mOverwriteAllowed.empty() && mOverwriteAllowed == path) {
		mOverwriteAllowed.clear();
		return true;
	}
	if (!mFileWatch->ChangedOnDisk(path))
		return true;
	if (mAskingOverwrite)
		return false;
	const std::string text = FillPlaceholders(_Text(kTextOverwriteQuestion), "%s", {path});
	BMessage* answer = new BMessage(kMsgOverwriteAnswer);
	answer->AddString(kFieldFile, path.c_str());
	answer->AddInt32(kFieldThen, then);
	mAskingOverwrite = mAlerts.AskOverwrite(text, answer, this);
	return false;
}

void ZTLEWindow::_OverwriteAnswered(const BMessage* message)
{
	mAskingOverwrite = false;
	if (message->GetInt32("which", EditorAlerts::kOverwriteCancel) !=
	    EditorAlerts::kOverwriteOverwrite)
		return;
	const std::string path = message->GetString(kFieldFile, "");
	mOverwriteAllowed = path;
	if (_SaveToPath(path) == kSaved)
		_GoOn((AfterSave)message->GetInt32(kFieldThen, kAfterSaveNothing));
	mOverwriteAllowed.clear();
}
