#ifndef LOCALE_EDITOR_APPLICATION_H
#define LOCALE_EDITOR_APPLICATION_H

#include <memory>

#include <Application.h>
#include <Messenger.h>

class BPath;
class Preferences;
class ZTLEWindow;

extern const char* const kAppSignature;    // "application/x-vnd.vessmor-localeeditor"
extern const char* const kLocaleAppID;     // "korvane localeeditor locale"
extern const char* const kPrefsFileName;   // "LocaleEditor.prefs"
extern const char* const kPrefsKennung;    // "ZTLOCALE"
extern const char* const kMainWindowTitle; // "Korvane Locale Editor"

// The application object: start-up, the About box, locale files opened from
// outside, and the answers of the locale scripting suite for the editor's
// own texts. The editor window does everything else.
class LocaleEditorApplication : public BApplication
{
public:
	// Starts up in the folder of the executable and shows the editor window.
	LocaleEditorApplication();
	~LocaleEditorApplication() override;

	void MessageReceived(BMessage* message) override;
	BHandler* ResolveSpecifier(BMessage* message, int32 index, BMessage* specifier, int32 form,
	                           const char* property) override;
	status_t GetSupportedSuites(BMessage* data) override;
	void ReadyToRun() override;
	void RefsReceived(BMessage* message) override;
	// The first file argument whose path makes no ref (its folder is
	// missing) never reaches RefsReceived: the window is told by its path.
	void ArgvReceived(int32 argc, char** argv) override;
	void AboutRequested() override;

	// First start, or a stored window frame without width: the default frame
	// and the auto-preferences flag, in memory only.
	void SetDefaults(Preferences* prefs);

	// The preferences store made at start-up; it lives until the process ends.
	Preferences* Prefs() const { return mPrefs.get(); }

protected:
	// Test seam: the same start-up in appFolder but without a window; files
	// opened from outside go to fileTarget instead.
	LocaleEditorApplication(const char* appFolder, const BMessenger& fileTarget);

private:
	void _StartUp(const BPath& appFolder);

	ZTLEWindow* mWindow;
	// Files opened from outside are posted through this messenger rather
	// than through mWindow, so that one arriving while the window is already
	// gone finds no target instead of a deleted object.
	BMessenger mWindowMessenger;
	std::unique_ptr<Preferences> mPrefs;
};

#endif // LOCALE_EDITOR_APPLICATION_H
