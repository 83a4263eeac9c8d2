// The window's dispatch and its own small commands: quitting, the menu flag,
// help, New, the interface language switch and the unsaved-work question.

#include "ZTLEWindow.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <string>

#include "Alert.h"
#include "Application.h"
#include "Entry.h"
#include "File.h"
#include "InterfaceDefs.h"
#include "Menu.h"
#include "MenuField.h"
#include "MenuItem.h"
#include "Path.h"
#include "PopUpMenu.h"
#include "Roster.h"
#include "TextControl.h"

#include "AppFolder.h"
#include "AppSurvey.h"
#include "EditorMessages.h"
#include "FileWatch.h"
#include "HeaderFields.h"
#include "InterfaceLanguages.h"
#include "JournalKeeper.h"
#include "Preferences.h"
#include "ReferenceDisplay.h"
#include "ReferenceFetcher.h"
#include "TextFormat.h"
#include "ZTLETextView.h"
#include "ZTLocale.h"

namespace {

const char* const kHelpFile = "Documentation/KorvaneLocale-UserGuide-English.html";

bool IsPlainEscape(const BMessage* message)
{
	const char* bytes = nullptr;
	const int32 modifiers = message->GetInt32("modifiers", 0);
	return message->FindString("bytes", 0, &bytes) == B_OK && bytes != nullptr &&
	       bytes[0] == B_ESCAPE && bytes[1] == '\0' &&
	       (modifiers & (B_SHIFT_KEY | B_COMMAND_KEY | B_CONTROL_KEY | B_OPTION_KEY)) == 0;
}

} // namespace

void ZTLEWindow::MessageReceived(BMessage* message)
{
	switch (message->what) {
	case kMsgNewFile:
		NewFile();
		break;
	case kMsgShowHelp:
		ShowHelp();
		break;
	case kMsgLoadFilePanel:
		LoadPanel(kMsgLoadFile);
		break;
	case kMsgLoadFile:
		_LoadFileMessage(message, false);
		break;
	case kMsgSaveFilePanel:
		mAfterSave = kAfterSaveNothing;
		FileSavePanel();
		break;
	case kMsgSaveCurrentFile:
		Save();
		break;
	case kMsgDummy:
		_UpdateTitle();
		mJournal->Changed();
		break;
	case kMsgHeaderEdited:
		_HeaderEdited();
		mJournal->Changed();
		break;
	case B_CANCEL:
		// The save panel closed without a file: nothing waits on a save.
		if (message->GetInt32("old_what", 0) == (int32)kMsgSaveFile)
			mAfterSave = kAfterSaveNothing;
		break;
	case kMsgSaveFile:
		_SaveFileMessage(message);
		break;
	case kMsgLoadRefPanel:
		LoadPanel(kMsgLoadRefFile);
		break;
	case kMsgLoadRefFile:
		_LoadFileMessage(message, true);
		break;
	case kMsgGetReference: {
		const char* signature = nullptr;
		const char* name = nullptr;
		message->FindString(kFieldAppName, 0, &name);
		if (message->FindString(kFieldAppSignature, 0, &signature) == B_OK)
			ReferenceLoadSig(signature, name);
		break;
	}
	case kMsgReferenceFetched:
		ReferenceFetched(message);
		break;
	case B_KEY_DOWN:
		// A key no view took; Escape cancels a reference fetch.
		if (IsFetchingReference() && IsPlainEscape(message))
			ReferenceCancel();
		else
			BWindow::MessageReceived(message);
		break;
	case B_SOME_APP_LAUNCHED: {
		// Asked off this thread: an application slow to answer (a new one
		// often is) leaves the window live.
		int32 team = -1;
		if (message->FindInt32("be:team", 0, &team) == B_OK)
			_SurveyApps(false, team);
		break;
	}
	case B_SOME_APP_QUIT:
		_SurveyApps(true);
		break;
	case kMsgAppsSurveyed:
		AppsSurveyed(message);
		break;
	case B_NODE_MONITOR:
		UpdateLocaleMenu(message);
		break;
	case kMsgLanguage: {
		const char* language = nullptr;
		if (message->FindString(kFieldLanguage, 0, &language) == B_OK)
			SwitchLanguage(language);
		break;
	}
	case kMsgAutoPrefs:
		SetMenuFlag(message, kPrefAutoPrefs);
		break;
	case kMsgSavePrefs:
		if (mPrefs != nullptr)
			mPrefs->Save();
		break;
	case kMsgNextUntranslated:
	case kMsgPreviousUntranslated:
		GoToUntranslated(message->what == kMsgNextUntranslated);
		break;
	case kMsgNextWarning:
	case kMsgPreviousWarning:
		GoToWarning(message->what == kMsgNextWarning);
		break;
	case kMsgGoToEntryPanel:
		_ShowGoToEntryPanel();
		break;
	case kMsgGoToEntry: {
		const char* entry = nullptr;
		if (message->FindString(kFieldEntry, 0, &entry) == B_OK && entry != nullptr)
			GoToEntry(std::strtol(entry, nullptr, 10));
		break;
	}
	case kMsgFindPanel:
		_ShowFindPanel(message->HasBool(kFieldReplaceText));
		break;
	case kMsgFindNext:
	case kMsgFindPrevious:
		mFind.TakeFields(message);
		FindNext(message->what == kMsgFindNext);
		break;
	case kMsgReplace:
		mFind.TakeFields(message);
		ReplaceSelection();
		break;
	case kMsgReplaceAll:
		mFind.TakeFields(message);
		ReplaceAll();
		break;
	case kMsgMatchCase:
		mFind.ToggleMatchCase();
		_MarkSource(message, mFind.MatchCase());
		break;
	case kMsgStatusTick:
		_StatusTick();
		break;
	case kMsgUnsavedAnswer:
		_UnsavedAnswered(message);
		break;
	case kMsgJournalTick:
		_JournalTick();
		break;
	case kMsgOfferRecovery:
		_OfferRecovery();
		break;
	case kMsgRecoveryAnswer:
		_RecoveryAnswered(message);
		break;
	case kMsgFileChangedOnDisk:
		_FileChangedOnDisk(message);
		break;
	case kMsgReloadAnswer:
		_ReloadAnswered(message);
		break;
	case kMsgOverwriteAnswer:
		_OverwriteAnswered(message);
		break;
	case B_UNDO:
	case B_REDO:
	case B_CUT:
	case B_COPY:
	case B_PASTE:
	case B_SELECT_ALL:
		_PostToFocus(message);
		break;
	default:
		BWindow::MessageReceived(message);
		break;
	}
}

bool ZTLEWindow::QuitRequested()
{
	if (!ConfirmDiscardChanges(kAfterSaveQuit))
		return false;
	// Nothing unsaved is left, or the user let it go.
	mJournal->Stop(true);

	if (mPrefs != nullptr && mPrefs->GetInt8(kPrefAutoPrefs, 0) != 0) {
		mPrefs->Set(kPrefMainWinPos, Frame());
		mPrefs->Save();
	}
	// Closing the window ends the program.
	if (be_app != nullptr)
		be_app->PostMessage(B_QUIT_REQUESTED);
	return true;
}

void ZTLEWindow::SetMenuFlag(BMessage* message, const char* key)
{
	void* source = nullptr;
	if (message->FindPointer("source", &source) != B_OK || source == nullptr)
		return;
	BMenuItem* item = static_cast<BMenuItem*>(source);
	bool marked = !item->IsMarked();
	_MarkSource(message, marked);
	if (mPrefs != nullptr)
		mPrefs->Set(key, (int8)(marked ? 1 : 0));
}

void ZTLEWindow::_MarkSource(BMessage* message, bool marked)
{
	void* source = nullptr;
	if (message->FindPointer("source", &source) == B_OK && source != nullptr)
		static_cast<BMenuItem*>(source)->SetMarked(marked);
}

void ZTLEWindow::ShowHelp()
{
	BPath path;
	GetAppFolder(be_app, &path);
	path.Append(kHelpFile);

	entry_ref ref;
	team_id team = -1;
	status_t status = get_ref_for_path(path.Path(), &ref);
	if (status == B_OK)
		status = be_roster->Launch(&ref, (BMessage*)nullptr, &team);
	if (status != B_OK && team == -1) {
		std::string text = FillPlaceholders(_Text(kTextHelpFileMissing), "%s",
		                                    {path.Path() != nullptr ? path.Path() : ""});
		BAlert* alert = new BAlert("Backup", text.c_str(), _Text(kTextContinue), nullptr, nullptr,
		                           B_WIDTH_AS_USUAL, B_WARNING_ALERT);
		alert->Go(nullptr);
	}
}

void ZTLEWindow::NewFile()
{
	if (!ConfirmDiscardChanges(kAfterSaveNew))
		return;
	if (!Lock())
		return;
	for (const HeaderField& header : kHeaderFields) {
		if (BTextControl* control = _TextControl(header.control))
			control->SetText(nullptr);
	}
	if (BTextControl* control = _TextControl(kReferenceControl))
		control->SetText(nullptr);
	if (mTextView != nullptr)
		mTextView->SetText("", 0, nullptr);
	mDocument.SetFile("");
	mFileWatch->Forget();
	_ShowStatus("");
	_MarkClean();
	Unlock();
}

void ZTLEWindow::SwitchLanguage(const char* language)
{
	BPath folder;
	BPath userFolder;
	GetLocaleFolder(be_app, &folder);
	if (mPrefs != nullptr)
		mPrefs->Set(kPrefLanguage, language);
	GetUserLocaleFolder(be_app, &userFolder);
	SelectInterfaceLanguage(mLocale, folder, userFolder, language);
	mAlerts.Tell(_Text(kTextLanguageOnRestart), kTextContinue, B_INFO_ALERT);
}

void ZTLEWindow::_PostToFocus(BMessage* message)
{
	// Through the queue, so the focused view edits after this handler returns.
	if (BView* focus = CurrentFocus())
		PostMessage(message, focus);
	else
		BWindow::MessageReceived(message);
}
