// BAlert: a modal message box with up to three buttons.
#ifndef _ALERT_H
#define _ALERT_H

#include <string>
#include <vector>

#include "SupportDefs.h"

enum button_width {
	B_WIDTH_AS_USUAL,
	B_WIDTH_FROM_WIDEST,
	B_WIDTH_FROM_LABEL,
};

enum alert_type {
	B_EMPTY_ALERT = 0,
	B_INFO_ALERT,
	B_IDEA_ALERT,
	B_WARNING_ALERT,
	B_STOP_ALERT,
};

// Go() shows the alert modally, returns the index of the pressed button
// (0 to 2; closing the box counts as the last button) and deletes the alert.
// It may be called from any thread: the dialog itself always runs on the Qt
// main thread, and a caller on another thread waits for it. Called on the
// main thread it runs a nested event loop; messages for windows then wait
// until the current dispatch returns.
//
// Go(invoker) does not wait: it shows the alert as a window of its own
// (modal for the user, listed and scriptable like any window; "do" on one
// of its buttons presses it) and returns B_OK at once, deleting this
// object. When a button is pressed (closing the box counts as the Escape
// button) a copy of the invoker's message with the field "which" (int32,
// the button's index) goes to the invoker's target. The alert takes
// ownership of invoker, which may be nullptr: then nobody is told. Any
// thread; B_ERROR without a Qt application. The window that raised it
// keeps serving its messages while the alert is up.
class BInvoker;

class BAlert
{
public:
	BAlert(const char* title, const char* text, const char* button0, const char* button1 = nullptr,
	       const char* button2 = nullptr, button_width width = B_WIDTH_AS_USUAL,
	       alert_type type = B_INFO_ALERT);
	virtual ~BAlert();

	int32 Go();
	status_t Go(BInvoker* invoker);

	const char* Title() const { return mTitle.c_str(); }
	const char* Text() const { return mText.c_str(); }
	int32 CountButtons() const { return (int32)mButtons.size(); }
	const char* ButtonLabel(int32 index) const;
	alert_type Type() const { return mType; }

	// Only B_ESCAPE is honoured: the button that Escape (and closing the box)
	// presses, instead of the last one. Enter always presses the last button.
	void SetShortcut(int32 index, char key);
	// The button Escape presses.
	int32 EscapeButton() const;

private:
	BAlert(const BAlert&) = delete;
	BAlert& operator=(const BAlert&) = delete;

	// Records the alert; true with the responder's answer when one is set.
	bool _AnsweredBySeam(int32* answer) const;
	int32 _RunDialog() const;

	std::string mTitle;
	std::string mText;
	std::vector<std::string> mButtons;
	button_width mWidth;
	alert_type mType;
	int32 mEscapeButton = -1;
};

#endif // _ALERT_H
