// A view that the user operates and that invokes its message: the base of
// buttons and text controls. With no target set, the message goes to the
// control's window. Invoke() adds "when" and "source" (this control).
#ifndef _CONTROL_H
#define _CONTROL_H

#include <string>

#include "Invoker.h"
#include "View.h"

enum {
	B_CONTROL_OFF = 0,
	B_CONTROL_ON = 1,
};

class BControl : public BView, public BInvoker
{
public:
	BControl(BRect frame, const char* name, const char* label, BMessage* message,
	         uint32 resizingMode, uint32 flags);
	virtual ~BControl();

	virtual void AttachedToWindow();
	// Answers the control suite; B_EXECUTE_PROPERTY aimed at the control
	// itself invokes it as a click does (B_NOT_ALLOWED while disabled).
	virtual void MessageReceived(BMessage* message);
	// Scripting: the control suite ("suite/vnd.Be-control": Label, Value,
	// Enabled), then the view's.
	virtual BHandler* ResolveSpecifier(BMessage* message, int32 index, BMessage* specifier,
	                                   int32 form, const char* property);
	virtual status_t GetSupportedSuites(BMessage* data);

	virtual void SetLabel(const char* label);
	const char* Label() const;
	virtual void SetValue(int32 value);
	int32 Value() const;
	virtual void SetEnabled(bool enabled);
	bool IsEnabled() const;

	virtual status_t Invoke(BMessage* message = nullptr);

private:
	std::string mLabel;
	int32 mValue;
	bool mEnabled;
};

#endif // _CONTROL_H
