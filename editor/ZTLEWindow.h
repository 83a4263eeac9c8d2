#ifndef ZTLE_WINDOW_H
#define ZTLE_WINDOW_H

#include <memory>
#include <string>
#include <vector>

#include "Window.h"

#include "InterfaceText.h"

class BFile;
class BFilePanel;
class BMenu;
class BMenuItem;
class BMessage;
class BPath;
class BPopUpMenu;
class BScrollView;
class BTextControl;
class BView;
class Preferences;
class ZTBitmapMenuItem;
class ZTLEBkgView;
class ZTLETextView;
class ZTLocale;
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
	void FileSavePanel();
	void LoadPanel(int32 what);

	// Reference texts.
	void ReferenceLoadSig(const char* signature);
	bool IsZTLocaleApp(team_id team);
	void ReferenceLoadFile(BFile* file);
	void ReferenceSet(BMessage* reference);
	BPopUpMenu* CreateAppRefPopUp();
	void UpdateAppRefPopUp(BPopUpMenu* menu);
	ZTBitmapMenuItem* CreateBitmapItem(team_id team);

	// Unsaved work: whether the text or a header field differs from what it
	// was after the last load, save or New; and the question asked before
	// such work is thrown away (true: go on).
	bool HasUnsavedChanges();
	bool ConfirmDiscardChanges();

private:
	void _BuildMenuBar();
	void _BuildControls();
	void _WatchLocaleFolder();
	void _RefreshAppRefPopUp();
	void _PostToFocus(BMessage* message);
	void _LoadFileMessage(BMessage* message, bool asReference);
	void _SaveFileMessage(BMessage* message);
	// The locale message of the current header fields and text; false (after
	// the field alert) when a required field is empty.
	bool _BuildLocaleMessage(BMessage* locale, std::string* language, bool* hasLanguage);
	void _FieldAlert(InterfaceText text, BView* focus);
	void _FieldAlert(const char* text, BView* focus);
	// The entries the text saves; false (after an alert, the caret at the
	// entry) when two lines claim one entry.
	bool _EntriesToSave(std::vector<std::string>* entries);
	void _MarkClean();
	std::string _CleanStateKey();
	BTextControl* _TextControl(const char* name);
	const char* _Text(InterfaceText text);
	std::string _Label(InterfaceText text, const char* suffix);
	std::string _LoadPath();

	ZTLEBkgView* mBkgView;
	ZTLocale* mLocale;
	BMenu* mLanguageMenu;
	Preferences* mPrefs;
	BScrollView* mScrollView;
	ZTLETextView* mTextView;
	std::unique_ptr<BFilePanel> mSavePanel;
	std::unique_ptr<BFilePanel> mOpenPanel;

	// The text and header fields as last loaded, saved or emptied.
	std::string mCleanState;
	std::string mLoadNotice;
};

#endif // ZTLE_WINDOW_H
