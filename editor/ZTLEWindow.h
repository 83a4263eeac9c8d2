#ifndef ZTLE_WINDOW_H
#define ZTLE_WINDOW_H

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Window.h"

#include "EditorAlerts.h"
#include "FindReplace.h"
#include "InterfaceText.h"
#include "LocaleDocument.h"

class BFile;
class BFilePanel;
class BMenu;
class BMenuItem;
class BMessage;
class BMessageRunner;
class BPath;
class BPopUpMenu;
class BScrollView;
class BTextControl;
class BView;
class FileWatch;
class JournalKeeper;
class LocaleFileFilter;
class Preferences;
class AppSurvey;
class ReferenceFetcher;
class StatusLine;
class ZTBitmapMenuItem;
class ZTLEBkgView;
class ZTLEInputWindow;
class ZTLEStatusView;
class ZTLETextView;
class ZTLocale;
struct LabelFit;
struct entry_ref;

// The editor's single main window: menus, the three rows of header and
// reference controls, and the locale text. Every command reaches it as a
// message; the members below are the operations the dispatch calls.
// The reference members (ReferenceLoadSig ... CreateBitmapItem) live in
// ZTLEWindowReference.cpp.
class ZTLEWindow : public BWindow
{
public:
	ZTLEWindow(const char* title, Preferences* prefs, window_look look, window_feel feel,
	           uint32 flags);
	~ZTLEWindow() override;

	void MessageReceived(BMessage* message) override;
	// F3 and Shift+F3 find the next and previous match.
	void DispatchMessage(BMessage* message, BHandler* handler) override;
	bool QuitRequested() override;
	void FrameResized(float width, float height) override;

	// Commands.
	void SetMenuFlag(BMessage* message, const char* key);
	void ShowHelp();
	void NewFile();
	void SwitchLanguage(const char* language);

	// Interface language menu.
	void BuildLanguageMenu(BMenu* menu, const char* language);
	void InsertLanguageItem(BMenu* menu, BMenuItem* item);
	BMenuItem* CreateLanguageItem(const char* language);
	void UpdateLocaleMenu(BMessage* message);

	// Locale files. FileSave writes into a file the caller opened: B_OK when
	// all of it was written, B_CANCELED when a header field is empty (the
	// user was told), otherwise the failure.
	// FileSaveTo is the save command's path: checks first, then the new file
	// is written beside the target and replaces it, so a refused or failed
	// save never harms an existing file. Returns B_OK when the file was saved.
	status_t FileSave(BFile* file);
	status_t FileSaveTo(const entry_ref& directory, const char* name);
	// Reads the file's locale message, fills the header fields and merges its
	// entries into the text. A file that is no locale file changes nothing
	// and gives its error.
	status_t FileLoad(BFile* file);
	// What the last FileLoad could not show as it is (entries holding a NUL
	// or bytes that are not UTF-8), for the status line; empty when every
	// entry loaded as text.
	const std::string& LoadNotice() const { return mLoadNotice; }

	// Input checks and panels.
	bool CheckInputFields();
	// True when the panel shows; false when the checks refused the text.
	bool FileSavePanel();
	void LoadPanel(int32 what);

	// Reference texts. ReferenceLoadSig asks the application on a fetcher
	// of its own and returns at once (a null signature blanks the fields at
	// once); name is how the status line calls the application meanwhile
	// (the signature when null). A newer fetch replaces a pending one.
	// ReferenceFetched applies the answer when it comes; ReferenceCancel
	// (Escape) drops the pending fetch and leaves the reference as it was.
	void ReferenceLoadSig(const char* signature, const char* name = nullptr);
	void ReferenceFetched(BMessage* message);
	void ReferenceCancel();
	bool IsFetchingReference() const { return mFetcher != nullptr; }
	bool IsZTLocaleApp(team_id team);
	void ReferenceLoadFile(BFile* file);
	void ReferenceSet(BMessage* reference);
	BPopUpMenu* CreateAppRefPopUp();
	void UpdateAppRefPopUp(BPopUpMenu* menu);
	ZTBitmapMenuItem* CreateBitmapItem(team_id team);
	// The window fills its pop-up from a survey of its own (AppSurvey): at
	// start, when an application launches and when one quits. A newer
	// survey replaces a pending one and takes over what it waited for.
	// AppsSurveyed applies the answer when it comes.
	void AppsSurveyed(BMessage* message);
	bool IsSurveyingApps() const { return mSurvey != nullptr; }

	// Unsaved work: whether a save would now write something else than the
	// last load, save or New left (the entries and the three header fields;
	// comments and the reference do not count).
	bool HasUnsavedChanges();
	// What waits on the unsaved-work question, and on a save it asked for.
	enum AfterSave { kAfterSaveNothing, kAfterSaveQuit, kAfterSaveNew };
	// True when there is no unsaved work (or the user chose to discard
	// exactly this text): go on. Otherwise asks Save, Discard or Cancel and
	// answers false; the window goes on serving while the question is up,
	// and goes on with then once the text is saved or discarded.
	bool ConfirmDiscardChanges(AfterSave then = kAfterSaveNothing);

	// What a save came to. Only kSaved wrote the file; the panel and the
	// overwrite question save later, on the user's answer.
	enum SaveOutcome {
		kSaved,
		kSavePanelOpened, // no current file: the save panel asks for one
		kSaveAsked,       // another program changed the file: Overwrite is asked
		kSaveRefused,     // a header field or the text cannot be saved (said)
		kSaveFailed       // the file could not be written (said)
	};
	// File > Save: to the file last loaded or saved, through the same checks
	// and safe write as the panel; with no such file, the panel.
	SaveOutcome Save();
	// The file Save writes to ("" for none) and the last status text.
	const std::string& CurrentFile() const { return mDocument.File(); }
	const std::string& StatusText() const { return mStatusText; }

	// The Go menu (ZTLEWindowNavigation.cpp): the caret to the next or
	// previous block that is untranslated (on its translation line, made
	// when missing) or has a warning, or to entry n. The search wraps
	// around; false when there is no such block.
	bool GoToUntranslated(bool forward);
	bool GoToWarning(bool forward);
	bool GoToEntry(long entry);
	// The status line: progress, the entry at the caret and its findings,
	// or a message, or what the window waits for. StatusView shows what
	// Status decides; UpdateStatus counts the text again now.
	ZTLEStatusView* StatusView() const { return mStatusView; }
	StatusLine* Status() const { return mStatusLine.get(); }
	void UpdateStatus();

	// Unsaved work kept safe (ZTLEWindowJournal.cpp). StartJournal keeps a
	// journal of unsaved work in folder while the text changes, and offers
	// work that an editor which is gone left there. The window also notices
	// when another program changes the open file.
	void StartJournal(const char* folder);

	// Find and replace (ZTLEWindowFind.cpp): the last search's texts.
	bool FindNext(bool forward);
	void ReplaceSelection();
	void ReplaceAll();

private:
	void _BuildMenuBar();
	// The File menu's Open and Save items, after New.
	void _AddFileItems(BMenu* fileMenu);
	BMenu* _BuildGoMenu();
	void _AddFindItems(BMenu* editMenu);
	void _BuildStatusLine(BRect frame);
	void _StartStatusLine();
	void _StatusTick();
	void _TextChanged(int32 offset);
	// What a recount found for the warning marks: the ranges to clear and to
	// mark, and the entries marked after.
	struct WarningRestyle
	{
		std::vector<std::pair<int32, int32>> unmark;
		std::vector<std::pair<int32, int32>> mark;
		std::vector<long> marked;
	};
	void _RecountProgress();
	void _RestyleWarnings(WarningRestyle& restyle);
	void _UpdateCaretEntry(int32 caret);
	void _PutCaret(int32 offset);
	void _ShowFindPanel(bool replace);
	void _ShowGoToEntryPanel();
	void _MarkSource(BMessage* message, bool marked);
	void _BuildControls();
	LabelFit _FitLabels(const char* appIDLabel);
	void _WatchLocaleFolder();
	// Starts a survey of the running applications; with rebuild its answer
	// fills the pop-up anew, otherwise only when launched answers the suite.
	void _SurveyApps(bool rebuild, team_id launched = -1);
	void _StopSurvey();
	void _PostToFocus(BMessage* message);
	// True when the file was loaded.
	bool _LoadFileMessage(BMessage* message, bool asReference);
	// Stops the pending fetch, if any; its answer will not be applied.
	void _StopFetch();
	void _SaveFileMessage(BMessage* message);
	void _UnsavedAnswered(const BMessage* message);
	// Goes on with what waited on a save or a discard.
	void _GoOn(AfterSave then);
	// The locale message of the current header fields and text; false (after
	// the field alert) when a required field is empty.
	bool _BuildLocaleMessage(BMessage* locale, std::string* language, bool* hasLanguage);
	void _FieldAlert(InterfaceText text, BView* focus);
	void _FieldAlert(const char* text, BView* focus);
	// The entries the text saves; false (after an alert, the caret at the
	// entry) when two lines claim one entry. On success mCollectedKey holds the
	// state key of what was collected, so a save need not walk the text again
	// to mark the window clean.
	bool _EntriesToSave(std::vector<std::string>* entries);
	// The header and length checks of CheckInputFields, without the walk
	// over the entries that a save makes anyway.
	bool _CheckFieldsAndLength();
	// After a save went through: remembered as the current and a recent file,
	// the window clean, the status told.
	void _DidSave(const std::string& path);
	SaveOutcome _SaveToPath(const std::string& path, AfterSave then = kAfterSaveNothing);
	// The journal and the file on disk (ZTLEWindowJournal.cpp).
	void _JournalTick();
	BMessage _Snapshot();
	void _OfferRecovery();
	void _RecoveryAnswered(const BMessage* message);
	void _FileChangedOnDisk(const BMessage* message);
	void _ReloadAnswered(const BMessage* message);
	void _Reload(const std::string& path);
	// True when path may be written: it is not the open file, or that did not
	// change on disk, or the user said Overwrite. Otherwise asks, and the
	// answer saves and goes on with then.
	bool _ConfirmOverwrite(const std::string& path, AfterSave then);
	void _OverwriteAnswered(const BMessage* message);
	// Unsaved whatever the text: restored work, or a file deleted on disk.
	void _MarkUnsaved();
	void _UpdateTitle();
	void _ShowTitle(bool unsaved);
	// The status line's text; the status view shows it where there is one.
	virtual void _ShowStatus(const char* text);
	void _AddRecentFile(const std::string& path);
	void _BuildRecentMenu();
	void _MarkClean();
	void _MarkClean(std::string key);
	std::string _CleanStateKey();
	// The key of the header fields with these entries, or with the text's
	// bytes where the text cannot be saved (entries is null).
	std::string _StateKey(const std::vector<std::string>* entries);
	std::string _HeaderKey();
	// A header field changed: the title's mark without walking a text that
	// did not change since its key was last taken.
	void _HeaderEdited();
	BTextControl* _TextControl(const char* name);
	const char* _Text(InterfaceText text);
	std::string _Label(InterfaceText text, const char* suffix);
	std::string _LoadPath();

	ZTLEBkgView* mBkgView;
	ZTLocale* mLocale;
	EditorAlerts mAlerts;
	BMenu* mLanguageMenu;
	Preferences* mPrefs;
	BScrollView* mScrollView;
	ZTLETextView* mTextView;
	// Before the panels: the open panel uses it until it goes.
	std::unique_ptr<LocaleFileFilter> mLocaleFilter;
	std::unique_ptr<BFilePanel> mSavePanel;
	std::unique_ptr<BFilePanel> mOpenPanel;

	// The current file and what its last load, save or New left.
	LocaleDocument mDocument;
	// The key of what the last collection of entries for a save found.
	std::string mCollectedKey;
	// Whether the title shows the unsaved mark, and whether the text changed
	// since the mark was last decided.
	bool mShownUnsaved = false;
	bool mTitleStale = false;
	std::string mStatusText;
	std::string mBaseTitle;
	AfterSave mAfterSave = kAfterSaveNothing;
	// The unsaved-work question is up.
	bool mAskingUnsaved = false;
	BMenu* mRecentMenu = nullptr;

	// The journal of unsaved work and the watch over the open file.
	std::unique_ptr<JournalKeeper> mJournal;
	std::unique_ptr<FileWatch> mFileWatch;
	std::unique_ptr<BMessage> mRecovered;
	bool mAskingReload = false;
	bool mAskingOverwrite = false;
	// The path the user said Overwrite for: the next save there goes on.
	std::string mOverwriteAllowed;

	// The status line, counted again when the text has rested a tick.
	ZTLEStatusView* mStatusView;
	std::unique_ptr<StatusLine> mStatusLine;
	std::unique_ptr<BMessageRunner> mStatusRunner;
	// Entries whose translation line carries the warning mark.
	std::vector<long> mMarkedEntries;

	// Find and replace: what is searched for, and its panel.
	FindReplace mFind;
	ZTLEInputWindow* mFindPanel;
	ZTLEInputWindow* mEntryPanel;
	std::string mLoadNotice;

	// The pending reference fetch (nullptr when none) and the number of the
	// last one started, which its answer carries back.
	ReferenceFetcher* mFetcher = nullptr;
	int32 mFetchNumber = 0;
	// How the status line calls the application asked last.
	std::string mFetchName;
	// The pending survey (nullptr when none), the number of the last one
	// started, and what it answers for: a rebuild, and the launches whose
	// applications get an item if they answer the suite.
	AppSurvey* mSurvey = nullptr;
	int32 mSurveyNumber = 0;
	bool mSurveyRebuilds = false;
	std::vector<team_id> mSurveyLaunches;
};

#endif // ZTLE_WINDOW_H
