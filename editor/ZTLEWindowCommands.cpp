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
#include "Menu.h"
#include "MenuField.h"
#include "MenuItem.h"
#include "Path.h"
#include "PopUpMenu.h"
#include "Roster.h"
#include "TextControl.h"

#include "AppFolder.h"
#include "EditorMessages.h"
#include "HeaderFields.h"
#include "InterfaceLanguages.h"
#include "Preferences.h"
#include "ReferenceDisplay.h"
#include "TextFormat.h"
#include "ZTLETextView.h"
#include "ZTLocale.h"

namespace {

const char* const kHelpFile = "Documentation/KorvaneLocale-UserGuide-English.html";
const char* const kUnsavedQuestion = "The locale text has unsaved changes. Discard them?";

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
		FileSavePanel();
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
		if (message->FindString(kFieldAppSignature, 0, &signature) == B_OK)
			ReferenceLoadSig(signature);
		break;
	}
	case B_SOME_APP_LAUNCHED: {
		int32 team = -1;
		if (message->FindInt32("be:team", 0, &team) == B_OK && IsZTLocaleApp(team))
			_RefreshAppRefPopUp();
		break;
	}
	case B_SOME_APP_QUIT:
		_RefreshAppRefPopUp();
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
		_TakeFindFields(message);
		FindNext(message->what == kMsgFindNext);
		break;
	case kMsgReplace:
		_TakeFindFields(message);
		ReplaceSelection();
		break;
	case kMsgReplaceAll:
		_TakeFindFields(message);
		ReplaceAll();
		break;
	case kMsgMatchCase:
		mMatchCase = !mMatchCase;
		_MarkSource(message, mMatchCase);
		break;
	case kMsgStatusTick:
		_StatusTick();
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
	if (!ConfirmDiscardChanges())
		return false;

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
		alert->Go();
	}
}

void ZTLEWindow::NewFile()
{
	if (!ConfirmDiscardChanges())
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
	BAlert* alert = new BAlert("Locale", _Text(kTextLanguageOnRestart), _Text(kTextContinue),
	                           nullptr, nullptr, B_WIDTH_AS_USUAL, B_INFO_ALERT);
	alert->Go();
}

bool ZTLEWindow::HasUnsavedChanges()
{
	return _CleanStateKey() != mCleanState;
}

bool ZTLEWindow::ConfirmDiscardChanges()
{
	if (!HasUnsavedChanges())
		return true;
	BAlert* alert = new BAlert("Locale", kUnsavedQuestion, _Text(kTextCancel), _Text(kTextContinue),
	                           nullptr, B_WIDTH_AS_USUAL, B_WARNING_ALERT);
	return alert->Go() == 1;
}

void ZTLEWindow::_MarkClean()
{
	mCleanState = _CleanStateKey();
}

namespace {

// A 128-bit digest of the bytes fed to it, in two independent lanes: the
// state it stands for is never copied (the text may be many megabytes),
// and two different states giving the same digest is not a practical
// concern.
class StateDigest
{
public:
	void Add(const char* bytes, size_t length)
	{
		size_t i = 0;
		for (; i + 8 <= length; i += 8) {
			uint64_t word;
			memcpy(&word, bytes + i, 8);
			_Mix(word);
		}
		uint64_t tail = 0;
		memcpy(&tail, bytes + i, length - i);
		_Mix(tail ^ ((uint64_t)(length - i) << 56));
		_Mix(length);
	}

	std::string Value() const
	{
		std::string value(16, '\0');
		memcpy(value.data(), &mA, 8);
		memcpy(value.data() + 8, &mB, 8);
		return value;
	}

private:
	static uint64_t _Scramble(uint64_t x)
	{
		x ^= x >> 33;
		x *= 0xff51afd7ed558ccdull;
		x ^= x >> 33;
		x *= 0xc4ceb9fe1a85ec53ull;
		x ^= x >> 33;
		return x;
	}

	void _Mix(uint64_t word)
	{
		mA = _Scramble(mA ^ word) + 0x9e3779b97f4a7c15ull;
		mB = (mB ^ _Scramble(word + 0x632be59bd9b4e019ull)) * 0x100000001b3ull + (mB >> 29);
	}

	uint64_t mA = 0x243f6a8885a308d3ull;
	uint64_t mB = 0x13198a2e03707344ull;
};

} // namespace

std::string ZTLEWindow::_CleanStateKey()
{
	// Header fields and text, each added with its length so that no two
	// different states feed the same bytes.
	StateDigest digest;
	for (const HeaderField& header : kHeaderFields) {
		const char* text = nullptr;
		if (BTextControl* control = _TextControl(header.control))
			text = control->Text();
		digest.Add(text != nullptr ? text : "", text != nullptr ? strlen(text) : 0);
	}
	if (mTextView != nullptr) {
		// In pieces: a copy of the whole text is not needed for this.
		const int32 kPiece = 64 * 1024;
		std::string piece((size_t)kPiece + 1, '\0');
		const int32 length = mTextView->TextLength();
		for (int32 offset = 0; offset < length; offset += kPiece) {
			const int32 count = std::min(kPiece, length - offset);
			mTextView->GetText(offset, count, piece.data());
			digest.Add(piece.data(), (size_t)count);
		}
	}
	return digest.Value();
}

void ZTLEWindow::_RefreshAppRefPopUp()
{
	BMenuField* field = dynamic_cast<BMenuField*>(FindView(kAppRefMenuField));
	if (field == nullptr)
		return;
	if (BPopUpMenu* menu = dynamic_cast<BPopUpMenu*>(field->Menu()))
		UpdateAppRefPopUp(menu);
}

void ZTLEWindow::_PostToFocus(BMessage* message)
{
	// Through the queue, so the focused view edits after this handler returns.
	if (BView* focus = CurrentFocus())
		PostMessage(message, focus);
	else
		BWindow::MessageReceived(message);
}
