// The editor window's alerts. Each is titled "Locale" and none waits: the
// window goes on serving (and scripts reach it) while one is up. Where the
// answer decides what happens next, it comes back to the window as a
// message whose "which" is the index of the button pressed.
#ifndef EDITOR_ALERTS_H
#define EDITOR_ALERTS_H

#include <string>

#include "Alert.h"

#include "InterfaceText.h"

class BHandler;
class BMessage;
class ZTLocale;

class EditorAlerts
{
public:
	// The buttons of the questions, left to right. The last one is what
	// Enter presses; Escape and the close box give each question's safe
	// answer.
	enum UnsavedAnswer { kUnsavedCancel = 0, kUnsavedDiscard = 1, kUnsavedSave = 2 };
	enum RecoveryAnswer { kRecoveryDiscard = 0, kRecoveryRestore = 1 };
	enum ReloadAnswer { kReloadReload = 0, kReloadKeepMine = 1 };
	enum OverwriteAnswer { kOverwriteCancel = 0, kOverwriteOverwrite = 1 };

	// The button labels come from locale, in the interface language.
	explicit EditorAlerts(ZTLocale* locale);

	// Says text, with the one button "Cancel".
	void Warn(const std::string& text, alert_type type = B_WARNING_ALERT) const;
	// Says text, with one button labelled button.
	void Tell(const std::string& text, InterfaceText button, alert_type type) const;

	// The questions. Each sends answer (which it takes) to target; false when
	// the alert could not be shown, so nothing will answer.
	bool AskUnsaved(BMessage* answer, BHandler* target) const;
	bool AskRecovery(const std::string& text, BMessage* answer, BHandler* target) const;
	bool AskReload(const std::string& text, BMessage* answer, BHandler* target) const;
	bool AskOverwrite(const std::string& text, BMessage* answer, BHandler* target) const;

private:
	// escape: the button Escape presses, -1 for the alert's own rule.
	bool _Ask(const std::string& text, InterfaceText first, InterfaceText second, const char* third,
	          int32 escape, BMessage* answer, BHandler* target) const;
	const char* _Text(InterfaceText text) const;

	ZTLocale* mLocale;
};

#endif // EDITOR_ALERTS_H
