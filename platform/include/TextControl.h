// A label and a one-line text field. The label (in the control's font)
// fills the area left of the divider; the field, a two-pixel sunken frame
// with the text view inside, fills the rest. Enter in
// the field invokes the control's message; the modification message, when
// set, is sent after every change of the text.
#ifndef _TEXT_CONTROL_H
#define _TEXT_CONTROL_H

#include "Control.h"

class BTextView;

class BTextControl : public BControl
{
public:
	BTextControl(BRect frame, const char* name, const char* label, const char* text,
	             BMessage* message, uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
	             uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
	virtual ~BTextControl();

	virtual void AttachedToWindow();
	virtual void Draw(BRect updateRect);
	virtual void FrameResized(float newWidth, float newHeight);
	virtual void MakeFocus(bool focus = true);
	virtual void SetEnabled(bool enabled);
	virtual void SetLabel(const char* label);

	// Scripting: "Text" of the field ("suite/vnd.Be-text-control"), then
	// the control suite.
	virtual void MessageReceived(BMessage* message);
	virtual BHandler* ResolveSpecifier(BMessage* message, int32 index, BMessage* specifier,
	                                   int32 form, const char* property);
	virtual status_t GetSupportedSuites(BMessage* data);

	// nullptr empties the field.
	virtual void SetText(const char* text);
	const char* Text() const;
	BTextView* TextView() const;

	void SetDivider(float divider);
	float Divider() const;

	// The control owns the message; nullptr stops the notices.
	void SetModificationMessage(BMessage* message);
	BMessage* ModificationMessage() const;

private:
	BRect _TextFrame() const;
	void _LayoutTextView();
	void _TextChanged();

	BTextView* mTextView;
	std::unique_ptr<BMessage> mModificationMessage;
	float mDivider;
};

#endif // _TEXT_CONTROL_H
