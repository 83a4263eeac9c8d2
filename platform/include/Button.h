// A push button; clicking it invokes its message.
#ifndef _BUTTON_H
#define _BUTTON_H

#include "Control.h"

class BButton : public BControl
{
public:
	BButton(BRect frame, const char* name, const char* label, BMessage* message,
	        uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
	        uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
	virtual ~BButton();

	virtual void SetLabel(const char* label);
	virtual void SetEnabled(bool enabled);
	virtual void SetFont(const BFont* font, uint32 mask = B_FONT_ALL);
	// The default button of its window answers Enter.
	virtual void MakeDefault(bool isDefault);
	bool IsDefault() const;

private:
	bool mIsDefault;
};

#endif // _BUTTON_H
