// A small window of labelled text fields and buttons: the find panel and
// Go to Entry. A button sends its message to the target with the text of
// every field added under the field's name; the window stays open.
#ifndef ZTLE_INPUT_WINDOW_H
#define ZTLE_INPUT_WINDOW_H

#include <string>
#include <vector>

#include "Messenger.h"
#include "Window.h"

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
	bool QuitRequested() override;

	// Focuses the field and selects its text, to type over it.
	void FocusField(const char* name);

private:
	BMessenger mTarget;
	std::vector<std::string> mFieldNames;
	std::vector<uint32> mButtonCodes;
};

#endif // ZTLE_INPUT_WINDOW_H
