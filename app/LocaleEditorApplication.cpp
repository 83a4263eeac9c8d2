#include "LocaleEditorApplication.h"

#include <climits>
#include <cstring>
#include <string>
#include <unistd.h>

#include <Alert.h>
#include <AppDefs.h>
#include <Entry.h>
#include <Message.h>
#include <Path.h>
#include <PropertyInfo.h>
#include <Roster.h>

#include "AppFolder.h"
#include "EditorMessages.h"
#include "InterfaceLanguages.h"
#include "InterfaceTexts.h"
#include "LocaleFile.h"
#include "LocaleSuiteClient.h"
#include "Preferences.h"
#include "ZTLEWindow.h"
#include "ZTLocale.h"

const char* const kAppSignature = "application/x-vnd.vessmor-localeeditor";
const char* const kLocaleAppID = "korvane localeeditor locale";
const char* const kPrefsFileName = "LocaleEditor.prefs";
const char* const kPrefsKennung = "ZTLOCALE";
const char* const kMainWindowTitle = "Korvane Locale Editor";

namespace {

const BRect kDefaultFrame(50, 50, 500, 400);

const char* const kAboutText =
    "Korvane Locale Editor\n"
    "Version 1.0.0\n"
    "\n"
    "Creates and edits locale files: the interface texts of an application in one "
    "language, typed line by line under the texts they translate.\n";

} // namespace

// The locale scripting suite. Not const: BPropertyInfo takes a plain pointer,
// though it never writes through it.
// clang-format off
property_info mPropList[] = {
	{LocaleSuite::kDefaultText, {B_GET_PROPERTY, 0}, {B_DIRECT_SPECIFIER, 0},
		"get the default texts for localization", 0, {}, {}, {}},
	{LocaleSuite::kDefaultLanguage, {B_GET_PROPERTY, 0}, {B_DIRECT_SPECIFIER, 0},
		"get the default language name for localization", 0, {}, {}, {}},
	{LocaleSuite::kTextAppID, {B_GET_PROPERTY, 0}, {B_DIRECT_SPECIFIER, 0},
		"get the id for locale files", 0, {}, {}, {}},
	{},
};
// clang-format on

LocaleEditorApplication::LocaleEditorApplication() : BApplication(kAppSignature), mWindow(nullptr)
{
	// Without its own entry the program still starts, from the current
	// folder, rather than writing its files under a null path.
	BPath appFolder;
	if (GetAppFolder(this, &appFolder) != B_OK)
		appFolder.SetTo(".");
	_StartUp(appFolder);

	// The texts and the language are in place: the window takes every label
	// from the library while it is built.
	mWindow = new ZTLEWindow(kMainWindowTitle, mPrefs.get(), B_TITLED_WINDOW_LOOK,
	                         B_NORMAL_WINDOW_FEEL, 0);
	mWindowMessenger = BMessenger(mWindow);
	BPath stateFolder;
	if (GetStateFolder(&stateFolder) == B_OK)
		mWindow->StartJournal(stateFolder.Path());
	mWindow->Show();
}

LocaleEditorApplication::LocaleEditorApplication(const char* appFolder,
                                                 const BMessenger& fileTarget)
    : BApplication(kAppSignature), mWindow(nullptr), mWindowMessenger(fileTarget)
{
	_StartUp(BPath(appFolder));
}

LocaleEditorApplication::~LocaleEditorApplication() {}

void LocaleEditorApplication::_StartUp(const BPath& appFolder)
{
	ZTLocale* locale = ZTLocale::GetInstance();
	locale->SetAppID(kLocaleAppID);
	locale->SetDefaultText(mText, kInterfaceTextCount, kInterfaceTextLanguage);

	BPath localeFolder(appFolder);
	localeFolder.Append(kLocaleFolderName);
	create_directory(localeFolder.Path(), 0777);

	// A folder the user cannot write would lose every preferences save:
	// the file then lives in the user's configuration folder.
	BPath prefsPath;
	if (GetSettingsFolder(appFolder, &prefsPath) != B_OK)
		prefsPath = appFolder;
	prefsPath.Append(kPrefsFileName);
	mPrefs = std::make_unique<Preferences>(prefsPath.Path(), kPrefsKennung);
	// A file that does not read back is kept aside before the defaults
	// can be saved over it, and the user is told once it is shown.
	std::string aside;
	mPrefsUnreadable =
	    mPrefs->InitCheck() == kPrefsLoadFailed && mPrefs->SetAside(&aside) == kPrefsOK;
	SetDefaults(mPrefs.get());

	BPath userLocaleFolder;
	GetUserLocaleFolder(appFolder, &userLocaleFolder);
	SelectInterfaceLanguage(locale, localeFolder, userLocaleFolder,
	                        mPrefs->GetString(kPrefLanguage, nullptr));
}

void LocaleEditorApplication::SetDefaults(Preferences* prefs)
{
	if (prefs == nullptr)
		return;
	BRect frame = prefs->GetRect(kPrefMainWinPos);
	if (frame.right - frame.left != 0)
		return;
	prefs->Set(kPrefMainWinPos, kDefaultFrame);
	prefs->Set(kPrefAutoPrefs, (int8)1);
}

void LocaleEditorApplication::ReadyToRun()
{
	if (!mPrefsUnreadable)
		return;
	ZTLocale* locale = ZTLocale::GetInstance();
	const char* text = locale->Text(kTextPrefsUnreadable);
	const char* button = locale->Text(kTextOk);
	BAlert* alert = new BAlert("Preferences", text != nullptr ? text : mText[kTextPrefsUnreadable],
	                           button != nullptr ? button : mText[kTextOk], nullptr, nullptr,
	                           B_WIDTH_AS_USUAL, B_WARNING_ALERT);
	// An alert that does not wait: the editor is usable meanwhile.
	alert->Go(nullptr);
}

void LocaleEditorApplication::RefsReceived(BMessage* message)
{
	// Only the first file: the editor holds one document. Whatever it is,
	// the window is given it: a file that is missing, unreadable, damaged,
	// empty or no locale file at all gets the same alert as one chosen in
	// the Open panel, never a silent empty window.
	entry_ref ref;
	if (message == nullptr || message->FindRef("refs", 0, &ref) != B_OK)
		return;
	BMessage load(kMsgLoadFile);
	load.AddRef("refs", &ref);
	mWindowMessenger.SendMessage(&load);
}

void LocaleEditorApplication::ArgvReceived(int32 argc, char** argv)
{
	// The files are the arguments that are no options ("-x", "--name=value")
	// before a "--", and all after it, taken against the folder we started
	// in; the editor holds one document, so only the first counts.
	bool options = true;
	for (int32 i = 1; i < argc && argv != nullptr && argv[i] != nullptr; i++) {
		const std::string argument = argv[i];
		if (options && argument == "--") {
			options = false;
			continue;
		}
		if (argument.empty() || (options && argument[0] == '-'))
			continue;
		std::string path = argument;
		char folder[PATH_MAX];
		if (argument[0] != '/' && getcwd(folder, sizeof(folder)) != nullptr)
			path = std::string(folder) + "/" + argument;
		entry_ref ref;
		if (get_ref_for_path(path.c_str(), &ref) != B_OK) {
			BMessage load(kMsgLoadFile);
			load.AddString(kFieldNamedPath, path.c_str());
			mWindowMessenger.SendMessage(&load);
		}
		return;
	}
}

void LocaleEditorApplication::AboutRequested()
{
	BAlert* alert =
	    new BAlert("About...", kAboutText, "OK", nullptr, nullptr, B_WIDTH_AS_USUAL, B_INFO_ALERT);
	alert->Go(nullptr);
}

void LocaleEditorApplication::MessageReceived(BMessage* message)
{
	if (message->what != B_GET_PROPERTY) {
		BApplication::MessageReceived(message);
		return;
	}

	int32 index;
	BMessage specifier;
	int32 form;
	const char* property = nullptr;
	if (message->GetCurrentSpecifier(&index, &specifier, &form, &property) != B_OK ||
	    property == nullptr) {
		BApplication::MessageReceived(message);
		return;
	}

	// Whole names only, case included, and only as direct specifiers.
	BMessage reply(B_REPLY);
	bool answered = false;
	if (form == B_DIRECT_SPECIFIER) {
		if (strcmp(property, LocaleSuite::kDefaultLanguage) == 0) {
			reply.AddString(LocaleSuite::kFieldResult, kInterfaceTextLanguage);
			answered = true;
		} else if (strcmp(property, LocaleSuite::kDefaultText) == 0) {
			// The stored English table, whatever the interface language.
			for (long i = 0; i < kInterfaceTextCount; i++)
				reply.AddString(LocaleSuite::kFieldResult, mText[i]);
			answered = true;
		} else if (strcmp(property, LocaleSuite::kTextAppID) == 0) {
			reply.AddString(LocaleSuite::kFieldResult, kLocaleAppID);
			answered = true;
		}
	}

	if (answered)
		message->SendReply(&reply, (BHandler*)nullptr, B_INFINITE_TIMEOUT);
	else
		BApplication::MessageReceived(message);
}

BHandler* LocaleEditorApplication::ResolveSpecifier(BMessage* message, int32 index,
                                                    BMessage* specifier, int32 form,
                                                    const char* property)
{
	BPropertyInfo propertyInfo(mPropList, nullptr, false);
	if (propertyInfo.FindMatch(message, index, specifier, form, property) >= 0)
		return this;
	return BApplication::ResolveSpecifier(message, index, specifier, form, property);
}

status_t LocaleEditorApplication::GetSupportedSuites(BMessage* data)
{
	data->AddString("suites", LocaleSuite::kName);
	BPropertyInfo propertyInfo(mPropList, nullptr, false);
	data->AddFlat("messages", &propertyInfo, 1);
	return BApplication::GetSupportedSuites(data);
}
