// A small window of labelled text fields and buttons: the find panel and
// Go to Entry. A button sends its message to the target with the text of
// every field added under the field's name; the window stays open. The
// fields are named as their message fields, the buttons "button0" and on,
// left to right, so scripts reach them as they reach an alert's.
//
// It works from the keyboard: Enter in a field presses the default button
// (the last one), Escape closes the panel, and F3 / Shift+F3 send the find
// messages given to SetFindKeys. The layout follows the measured widths of
// the labels and buttons, so every interface language shows them whole.
#ifndef ZTLE_INPUT_WINDOW_H
#define ZTLE_INPUT_WINDOW_H

#include <string>
#include <vector>

#include "Messenger.h"
#include "Window.h"

class BButton;
class BTextControl;

class ZTLEInputWindow : public BWindow
{
public:
	struct Field
	{
		const char* name; // also the message field it fills
		std::string label;
	};
	struct Button
	{
		uint32 what;
		std::string label;
	};

	ZTLEInputWindow(const char* title, BMessenger target, const std::vector<Field>& fields,
	                const std::vector<Button>& buttons);
	~ZTLEInputWindow() override;

	void MessageReceived(BMessage* message) override;
	void DispatchMessage(BMessage* message, BHandler* handler) override;
	bool QuitRequested() override;

	// Focuses the field and selects its text, to type over it.
	void FocusField(const char* name);
	// What F3 and Shift+F3 send to the target, with the fields (0: nothing).
	void SetFindKeys(uint32 next, uint32 previous);

private:
	void _Layout(const std::vector<BTextControl*>& controls, const std::vector<BButton*>& buttons);
	void _Send(uint32 what);

	BMessenger mTarget;
	std::vector<std::string> mFieldNames;
	std::vector<uint32> mButtonCodes;
	uint32 mFindNext = 0;
	uint32 mFindPrevious = 0;
};

#endif // ZTLE_INPUT_WINDOW_H
