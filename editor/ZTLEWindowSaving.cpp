// File > Save and what a save leaves behind: the current file, the title and
// its unsaved mark, the status text, the recent files, and the judgement of
// unsaved work with its Save, Discard or Cancel question.

#include "ZTLEWindow.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "Application.h"
#include "Entry.h"
#include "Menu.h"
#include "MenuItem.h"
#include "Message.h"
#include "Path.h"
#include "TextControl.h"

#include "EditorMessages.h"
#include "FileWatch.h"
#include "HeaderFields.h"
#include "JournalKeeper.h"
#include "LocaleMerge.h"
#include "Preferences.h"
#include "RecentFiles.h"
#include "StatusLine.h"
#include "TextFormat.h"
#include "ZTLETextView.h"

namespace {

// Shown after the file's name while a save would write something new.
const char* const kUnsavedMark = " *";

} // namespace

void ZTLEWindow::_AddFileItems(BMenu* fileMenu)
{
	fileMenu->AddItem(new BMenuItem(_Label(kTextOpen, "...").c_str(),
	                                new BMessage(kMsgLoadFilePanel), 'O', B_COMMAND_KEY));
	fileMenu->AddItem(new BMenuItem(_Label(kTextOpenReference, "...").c_str(),
	                                new BMessage(kMsgLoadRefPanel), 'O',
	                                B_COMMAND_KEY | B_SHIFT_KEY));
	mRecentMenu = new BMenu(_Text(kTextOpenRecent));
	fileMenu->AddItem(mRecentMenu);
	_BuildRecentMenu();
	fileMenu->AddSeparatorItem();
	fileMenu->AddItem(
	    new BMenuItem(_Text(kTextSave), new BMessage(kMsgSaveCurrentFile), 'S', B_COMMAND_KEY));
	fileMenu->AddItem(new BMenuItem(_Label(kTextSaveAs, "...").c_str(),
	                                new BMessage(kMsgSaveFilePanel), 'S',
	                                B_COMMAND_KEY | B_SHIFT_KEY));
	fileMenu->AddSeparatorItem();
}

ZTLEWindow::SaveOutcome ZTLEWindow::Save()
{
	mAfterSave = kAfterSaveNothing;
	if (mDocument.File().empty())
		return FileSavePanel() ? kSavePanelOpened : kSaveRefused;
	return _SaveToPath(mDocument.File());
}

ZTLEWindow::SaveOutcome ZTLEWindow::_SaveToPath(const std::string& path, AfterSave then)
{
	// The save below collects the entries and stops on a text that cannot
	// be saved, so only the other checks come first.
	if (!_CheckFieldsAndLength())
		return kSaveRefused;
	if (!_ConfirmOverwrite(path, then))
		return kSaveAsked;
	BPath target(path.c_str());
	BPath parent;
	entry_ref folder;
	if (target.InitCheck() != B_OK || target.GetParent(&parent) != B_OK ||
	    get_ref_for_path(parent.Path(), &folder) != B_OK) {
		// The folder went away: FileSaveTo names the path and the reason.
		folder = entry_ref();
	}
	const status_t status = FileSaveTo(folder, target.Leaf() != nullptr ? target.Leaf() : "");
	if (status == B_CANCELED)
		return kSaveRefused;
	if (status != B_OK)
		return kSaveFailed;
	_DidSave(target.Path());
	return kSaved;
}

void ZTLEWindow::_DidSave(const std::string& path)
{
	if (mPrefs != nullptr) {
		mPrefs->Set(kPrefFileSavePath, path.c_str());
		mPrefs->Set(kPrefLoadPath, path.c_str());
	}
	mDocument.SetFile(path);
	mFileWatch->Watch(path);
	// What was written is the state the save collected: no second walk.
	_MarkClean(mCollectedKey);
	_AddRecentFile(path);
	_ShowStatus(FillPlaceholders(_Text(kTextSaved), "%s", {path}).c_str());
}

void ZTLEWindow::_UpdateTitle()
{
	_ShowTitle(HasUnsavedChanges());
}

void ZTLEWindow::_ShowTitle(bool unsaved)
{
	std::string title = mBaseTitle;
	if (!mDocument.File().empty()) {
		BPath path(mDocument.File().c_str());
		title = path.Leaf() != nullptr ? path.Leaf() : mDocument.File();
	}
	mShownUnsaved = unsaved;
	mTitleStale = false;
	if (unsaved)
		title += kUnsavedMark;
	if (Title() == nullptr || title != Title())
		SetTitle(title.c_str());
}

void ZTLEWindow::_ShowStatus(const char* text)
{
	mStatusText = text != nullptr ? text : "";
	if (mStatusLine != nullptr && !mStatusText.empty())
		mStatusLine->ShowMessage(mStatusText);
}

void ZTLEWindow::_AddRecentFile(const std::string& path)
{
	RecentFiles(mPrefs).Add(path);
	_BuildRecentMenu();
}

void ZTLEWindow::_BuildRecentMenu()
{
	if (mRecentMenu == nullptr)
		return;
	while (BMenuItem* item = mRecentMenu->RemoveItem((int32)0))
		delete item;
	for (const std::string& path : RecentFiles(mPrefs).Paths()) {
		entry_ref ref;
		if (get_ref_for_path(path.c_str(), &ref) != B_OK)
			continue;
		// The same message as the open panel's, so a recent file loads as one
		// chosen there.
		BMessage* message = new BMessage(kMsgLoadFile);
		message->AddRef("refs", &ref);
		mRecentMenu->AddItem(new BMenuItem(path.c_str(), message));
	}
	mRecentMenu->SetTargetForItems(this);
	mRecentMenu->SetEnabled(mRecentMenu->CountItems() > 0);
}

bool ZTLEWindow::HasUnsavedChanges()
{
	return mDocument.IsUnsaved(_CleanStateKey());
}

bool ZTLEWindow::ConfirmDiscardChanges(AfterSave then)
{
	if (mDocument.MayLetGo(_CleanStateKey()))
		return true;
	// Asked once: a second New or Quit meanwhile waits for the answer.
	if (mAskingUnsaved)
		return false;
	BMessage* answer = new BMessage(kMsgUnsavedAnswer);
	answer->AddInt32(kFieldThen, then);
	// The answer comes back as a message: meanwhile the window serves,
	// scripts included. An alert that cannot be shown keeps the text.
	mAskingUnsaved = mAlerts.AskUnsaved(answer, this);
	return false;
}

void ZTLEWindow::_UnsavedAnswered(const BMessage* message)
{
	mAskingUnsaved = false;
	const AfterSave then = (AfterSave)message->GetInt32(kFieldThen, kAfterSaveNothing);
	switch (message->GetInt32("which", EditorAlerts::kUnsavedCancel)) {
	case EditorAlerts::kUnsavedDiscard:
		// This text, not a later one: typing before the next question
		// makes it ask again.
		mDocument.Discard(_CleanStateKey());
		_GoOn(then);
		break;
	case EditorAlerts::kUnsavedSave:
		if (mDocument.File().empty()) {
			// The panel answers later; what waits goes on once it saved.
			mAfterSave = then;
			FileSavePanel();
		} else if (_SaveToPath(mDocument.File(), then) == kSaved) {
			_GoOn(then);
		}
		break;
	default:
		break;
	}
}

void ZTLEWindow::_GoOn(AfterSave then)
{
	// The window is asked again, and now closes (which ends the program)
	// however the quit began: its close box, the Quit command or a script.
	if (then == kAfterSaveQuit)
		PostMessage(B_QUIT_REQUESTED);
	else if (then == kAfterSaveNew)
		PostMessage(kMsgNewFile);
}

void ZTLEWindow::_MarkClean()
{
	_MarkClean(_CleanStateKey());
}

void ZTLEWindow::_MarkClean(std::string key)
{
	mDocument.MarkClean(std::move(key));
	if (mJournal != nullptr)
		mJournal->Clear();
	_ShowTitle(false);
}

std::string ZTLEWindow::_CleanStateKey()
{
	if (mTextView == nullptr || mTextView->Text() == nullptr)
		return _StateKey(nullptr);
	std::vector<std::string> entries;
	LocaleMerge::SaveRefusal refusal;
	std::string_view text(mTextView->Text(), mTextView->TextLength());
	return _StateKey(LocaleMerge::EntriesForSaving(text, &entries, &refusal) ? &entries : nullptr);
}

void ZTLEWindow::_HeaderEdited()
{
	std::string key;
	if (mDocument.KeyWithHeader(_HeaderKey(), &key))
		_ShowTitle(mDocument.IsUnsaved(key));
	else
		_UpdateTitle();
}

std::string ZTLEWindow::_StateKey(const std::vector<std::string>* entries)
{
	std::string_view text;
	if (mTextView != nullptr && mTextView->Text() != nullptr)
		text = std::string_view(mTextView->Text(), (size_t)mTextView->TextLength());
	return mDocument.StateKey(_HeaderKey(), entries, text);
}

std::string ZTLEWindow::_HeaderKey()
{
	std::vector<std::string_view> fields;
	for (const HeaderField& header : kHeaderFields) {
		BTextControl* control = _TextControl(header.control);
		const char* text = control != nullptr ? control->Text() : nullptr;
		fields.emplace_back(text != nullptr ? text : "");
	}
	return LocaleDocument::HeaderKey(fields);
}
