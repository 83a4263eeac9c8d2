#include "ZTLEWindow.h"

#include <string>

#include "Application.h"
#include "Button.h"
#include "Entry.h"
#include "FilePanel.h"
#include "Font.h"
#include "Menu.h"
#include "MenuBar.h"
#include "MenuField.h"
#include "MenuItem.h"
#include "MessageRunner.h"
#include "Messenger.h"
#include "NodeMonitor.h"
#include "Path.h"
#include "PopUpMenu.h"
#include "Roster.h"
#include "ScrollView.h"
#include "TextControl.h"
#include "TextView.h"

#include "AppFolder.h"
#include "AppRefPopUp.h"
#include "EditorMessages.h"
#include "FileWatch.h"
#include "HeaderFields.h"
#include "JournalKeeper.h"
#include "LabelFit.h"
#include "LocaleFileFilter.h"
#include "Preferences.h"
#include "ReferenceDisplay.h"
#include "StatusLine.h"
#include "ZTLEBkgView.h"
#include "ZTLETextView.h"
#include "ZTLocale.h"

namespace {

// Layout of the three rows of controls, in the background view's coordinates.
const float kMargin = 10;
const float kRowTop[3] = {5, 35, 65};
const float kRowHeight = 25;
const float kWideSlot = 105;
const float kLastSlot = 100;
const float kSlotGap = 5;
const float kTextTop = 95;
const float kStatusHeight = 18;
const float kMinWidth = LabelFit::kMinWidth;
const float kMinHeight = 350;
const rgb_color kBackgroundGrey = {232, 232, 232, 255};

BRect MainWindowFrame(Preferences* prefs)
{
	BRect frame;
	if (prefs != nullptr)
		frame = prefs->GetRect(kPrefMainWinPos);
	// The application replaces a missing frame before the window is built;
	// this only keeps a window made without it on screen.
	if (frame.Width() <= 0 || frame.Height() <= 0)
		frame.Set(50, 50, 500, 400);
	return frame;
}

} // namespace

ZTLEWindow::ZTLEWindow(const char* title, Preferences* prefs, window_look look, window_feel feel,
                       uint32 flags)
    : BWindow(MainWindowFrame(prefs), title, look, feel, flags, B_CURRENT_WORKSPACE),
      mBkgView(nullptr), mLocale(ZTLocale::GetInstance()), mAlerts(mLocale), mLanguageMenu(nullptr),
      mPrefs(prefs), mScrollView(nullptr), mTextView(nullptr), mStatusView(nullptr), mFind(mLocale),
      mFindPanel(nullptr), mEntryPanel(nullptr)
{
	float minWidth, maxWidth, minHeight, maxHeight;
	GetSizeLimits(&minWidth, &maxWidth, &minHeight, &maxHeight);
	SetSizeLimits(kMinWidth, maxWidth, kMinHeight, maxHeight);

	_BuildMenuBar();
	_BuildControls();
	_StartStatusLine();
	_WatchLocaleFolder();
	mJournal = std::make_unique<JournalKeeper>();
	mFileWatch = std::make_unique<FileWatch>();
	AddHandler(mFileWatch.get());

	BMessenger self(nullptr, this);
	if (self.IsValid())
		be_roster->StartWatching(self, B_REQUEST_LAUNCHED | B_REQUEST_QUIT);

	// Version, id and language count towards unsaved work: their edits,
	// typed or scripted, mark the title at once.
	for (const HeaderField& header : kHeaderFields) {
		if (BTextControl* control = _TextControl(header.control))
			control->SetModificationMessage(new BMessage(kMsgHeaderEdited));
	}

	mBaseTitle = Title() != nullptr ? Title() : "";
	_MarkClean();
	// The pop-up fills once the running applications have answered; the
	// window does not wait for them.
	_SurveyApps(true);
}

ZTLEWindow::~ZTLEWindow()
{
	_StopFetch();
	_StopSurvey();
	mJournal.reset();
	// Its watches end while it is still the window's.
	mFileWatch->Forget();
	RemoveHandler(mFileWatch.get());
	mFileWatch.reset();
	stop_watching(this, nullptr);
	for (BWindow* panel : {(BWindow*)mFindPanel, (BWindow*)mEntryPanel}) {
		if (panel != nullptr && panel->Lock())
			panel->Quit();
	}
}

void ZTLEWindow::FrameResized(float, float)
{
	// The views follow the window through their resizing modes.
}

void ZTLEWindow::_BuildMenuBar()
{
	BMenuBar* menuBar = new BMenuBar(BRect(0, 0, 1000, 15), "MB",
	                                 B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP, B_ITEMS_IN_ROW, true);

	BMenu* fileMenu = new BMenu(_Text(kTextFile), B_ITEMS_IN_COLUMN);
	fileMenu->AddItem(new BMenuItem(_Text(kTextNew), new BMessage(kMsgNewFile)));
	_AddFileItems(fileMenu);
	fileMenu->AddItem(
	    new BMenuItem(_Label(kTextHelp, "...").c_str(), new BMessage(kMsgShowHelp), 'H', 0));
	fileMenu->AddSeparatorItem();
	BMenuItem* about =
	    new BMenuItem(_Label(kTextAbout, "...").c_str(), new BMessage(B_ABOUT_REQUESTED));
	about->SetTarget(be_app, nullptr);
	fileMenu->AddItem(about);
	fileMenu->AddSeparatorItem();
	BMenuItem* quit =
	    new BMenuItem(_Text(kTextQuit), new BMessage(B_QUIT_REQUESTED), 'Q', B_COMMAND_KEY);
	quit->SetTarget(be_app, nullptr);
	fileMenu->AddItem(quit);
	menuBar->AddItem(fileMenu);

	BMenu* editMenu = new BMenu(_Text(kTextEdit), B_ITEMS_IN_COLUMN);
	editMenu->AddItem(new BMenuItem(_Text(kTextUndo), new BMessage(B_UNDO), 'Z', 0));
	editMenu->AddItem(new BMenuItem(_Text(kTextRedo), new BMessage(B_REDO), 'Z', B_SHIFT_KEY));
	editMenu->AddSeparatorItem();
	editMenu->AddItem(new BMenuItem(_Text(kTextCut), new BMessage(B_CUT), 'X', 0));
	editMenu->AddItem(new BMenuItem(_Text(kTextCopy), new BMessage(B_COPY), 'C', 0));
	editMenu->AddItem(new BMenuItem(_Text(kTextPaste), new BMessage(B_PASTE), 'V', 0));
	editMenu->AddSeparatorItem();
	editMenu->AddItem(new BMenuItem(_Text(kTextSelectAll), new BMessage(B_SELECT_ALL), 'A', 0));
	_AddFindItems(editMenu);
	menuBar->AddItem(editMenu);
	menuBar->AddItem(_BuildGoMenu());

	BMenu* prefsMenu = new BMenu(_Text(kTextPreferences), B_ITEMS_IN_COLUMN);
	BMenu* languageMenu = new BMenu(_Text(kTextLanguage));
	const char* language =
	    mPrefs != nullptr ? mPrefs->GetString(kPrefLanguage, kBuiltInLanguage) : kBuiltInLanguage;
	BuildLanguageMenu(languageMenu, language);
	mLanguageMenu = languageMenu;
	prefsMenu->AddItem(languageMenu);
	prefsMenu->AddSeparatorItem();
	BMenuItem* autoPrefs = new BMenuItem(_Text(kTextAutoprefs), new BMessage(kMsgAutoPrefs));
	autoPrefs->SetMarked(mPrefs != nullptr && mPrefs->GetInt8(kPrefAutoPrefs, 0) != 0);
	prefsMenu->AddItem(autoPrefs);
	prefsMenu->AddItem(new BMenuItem(_Text(kTextSave), new BMessage(kMsgSavePrefs)));
	prefsMenu->SetTargetForItems(this);
	menuBar->AddItem(prefsMenu);

	AddChild(menuBar);
}

void ZTLEWindow::_BuildControls()
{
	// A missing text leaves the id label empty, without its colon.
	std::string appIDLabel = _Text(kTextApplicationID);
	if (!appIDLabel.empty())
		appIDLabel += ":";
	const LabelFit fit = _FitLabels(appIDLabel.c_str());
	float minWidth, maxWidth, minHeight, maxHeight;
	GetSizeLimits(&minWidth, &maxWidth, &minHeight, &maxHeight);
	SetSizeLimits(fit.minWidth, maxWidth, minHeight, maxHeight);
	if (Bounds().Width() < fit.minWidth)
		ResizeTo(fit.minWidth, Bounds().Height());

	BMenuBar* menuBar = dynamic_cast<BMenuBar*>(FindView("MB"));
	BRect frame = Bounds();
	if (menuBar != nullptr) {
		BRect barBounds = menuBar->Bounds();
		frame.top = barBounds.bottom - barBounds.top + 1;
	}
	mBkgView = new ZTLEBkgView(frame);
	AddChild(mBkgView);

	const BRect bounds = mBkgView->Bounds();
	const float right = bounds.right - kMargin;
	const float fieldRight = right - kLastSlot - kWideSlot - 2 * kSlotGap;
	const uint32 controlFlags = B_WILL_DRAW | B_NAVIGABLE;
	auto row = [](int index) { return BRect(0, kRowTop[index], 0, kRowTop[index] + kRowHeight); };
	auto slot = [&](int index, float left, float rightEdge) {
		BRect r = row(index);
		r.left = left;
		r.right = rightEdge;
		return r;
	};

	// Row 1: the reference's language and where a reference comes from.
	BTextControl* reference = new BTextControl(
	    slot(0, kMargin, fieldRight), kReferenceControl, _Label(kTextReference, ":").c_str(),
	    nullptr, new BMessage(kMsgDummy), B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP, controlFlags);
	reference->SetDivider(fit.rowDivider);
	mBkgView->AddChild(reference);
	if (BTextView* view = reference->TextView()) {
		view->MakeEditable(false);
		view->SetViewColor(kBackgroundGrey);
	}
	BButton* refLoad =
	    new BButton(slot(0, fieldRight + kSlotGap, right - kLastSlot - kSlotGap), "btn_refload",
	                _Label(kTextLoad, "...").c_str(), new BMessage(kMsgLoadRefPanel),
	                B_FOLLOW_RIGHT | B_FOLLOW_TOP, controlFlags);
	// Two buttons of one label: the tip says which file each loads.
	refLoad->SetToolTip(_Text(kTextLoadReferenceTip));
	mBkgView->AddChild(refLoad);
	BMenuField* refGet = new BMenuField(slot(0, right - kLastSlot, right), kAppRefMenuField, " ",
	                                    CreateEmptyAppRefMenu(),
	                                    (uint32)(B_FOLLOW_RIGHT | B_FOLLOW_TOP), controlFlags);
	refGet->SetDivider(0);
	mBkgView->AddChild(refGet);

	// Row 2: the edited file's language and the file buttons.
	BTextControl* language = new BTextControl(
	    slot(1, kMargin, fieldRight), kLanguageControl, _Label(kTextLanguage, ":").c_str(), nullptr,
	    new BMessage(kMsgDummy), B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP, controlFlags);
	language->SetDivider(fit.rowDivider);
	mBkgView->AddChild(language);
	BButton* fileLoad =
	    new BButton(slot(1, fieldRight + kSlotGap, right - kLastSlot - kSlotGap), "btn_fileload",
	                _Label(kTextLoad, "...").c_str(), new BMessage(kMsgLoadFilePanel),
	                B_FOLLOW_RIGHT | B_FOLLOW_TOP, controlFlags);
	fileLoad->SetToolTip(_Text(kTextLoadTranslationTip));
	mBkgView->AddChild(fileLoad);
	mBkgView->AddChild(new BButton(
	    slot(1, right - kLastSlot, right), "btn_filesave", _Label(kTextSave, "...").c_str(),
	    new BMessage(kMsgSaveFilePanel), B_FOLLOW_RIGHT | B_FOLLOW_TOP, controlFlags));

	// Row 3: version and application id.
	BTextControl* version = new BTextControl(
	    slot(2, kMargin, fit.versionRight), kVersionControl, _Label(kTextVersion, ":").c_str(),
	    nullptr, new BMessage(kMsgDummy), B_FOLLOW_LEFT | B_FOLLOW_TOP, controlFlags);
	version->SetDivider(fit.versionDivider);
	mBkgView->AddChild(version);
	BTextControl* appID =
	    new BTextControl(slot(2, fit.appIDLeft, right), kAppIDControl, appIDLabel.c_str(), nullptr,
	                     new BMessage(kMsgDummy), B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP, controlFlags);
	appID->SetDivider(fit.appIDDivider);
	mBkgView->AddChild(appID);

	// The locale text fills the rest, beside its vertical scroll bar, above
	// the status line.
	const float textBottom = bounds.bottom - kStatusHeight;
	_BuildStatusLine(BRect(0, textBottom + 1, bounds.right, bounds.bottom));
	BRect textFrame(0, kTextTop, bounds.right - B_V_SCROLL_BAR_WIDTH, textBottom);
	mTextView = new ZTLETextView(textFrame, "locale_text", textFrame, B_FOLLOW_ALL_SIDES,
	                             B_WILL_DRAW | B_FRAME_EVENTS);
	mTextView->MakeEditable(true);
	mTextView->SetDoesUndo(true);
	mTextView->SetStylable(true);
	mScrollView =
	    new BScrollView(nullptr, mTextView, B_FOLLOW_ALL_SIDES, 0, false, true, B_FANCY_BORDER);
	mBkgView->AddChild(mScrollView);
	mTextView->FrameResized(textFrame.right - textFrame.left, textBottom - kTextTop);
}

void ZTLEWindow::_WatchLocaleFolder()
{
	BPath folders[2];
	GetLocaleFolder(be_app, &folders[0]);
	GetUserLocaleFolder(be_app, &folders[1]);
	for (const BPath& folder : folders) {
		BEntry entry(folder.Path());
		node_ref node;
		if (folder.InitCheck() == B_OK && entry.InitCheck() == B_OK &&
		    entry.GetNodeRef(&node) == B_OK)
			watch_node(&node, B_WATCH_DIRECTORY, this);
	}
}

LabelFit ZTLEWindow::_FitLabels(const char* appIDLabel)
{
	// The text controls draw their labels in the plain font; the id label's
	// divider has always been measured in the background view's bold font.
	const BFont plain(be_plain_font);
	BFont bold(be_bold_font);
	bold.SetSize(12);
	LabelFit::Labels labels;
	labels.reference = plain.StringWidth(_Label(kTextReference, ":").c_str());
	labels.language = plain.StringWidth(_Label(kTextLanguage, ":").c_str());
	labels.version = plain.StringWidth(_Label(kTextVersion, ":").c_str());
	labels.appID = bold.StringWidth(appIDLabel);
	return LabelFit(labels);
}

BTextControl* ZTLEWindow::_TextControl(const char* name)
{
	return dynamic_cast<BTextControl*>(FindView(name));
}

const char* ZTLEWindow::_Text(InterfaceText text)
{
	const char* translated = mLocale != nullptr ? mLocale->Text(text) : nullptr;
	return translated != nullptr ? translated : "";
}

std::string ZTLEWindow::_Label(InterfaceText text, const char* suffix)
{
	return std::string(_Text(text)) + suffix;
}

std::string ZTLEWindow::_LoadPath()
{
	const char* path = mPrefs != nullptr ? mPrefs->GetString(kPrefLoadPath, "") : nullptr;
	return path != nullptr ? path : "";
}
