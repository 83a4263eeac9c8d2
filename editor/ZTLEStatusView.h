// The status line under the locale text: draws what the window's
// StatusLine decides it shows (the translator's progress and the entry at
// the caret, a message from a command, or what the window waits for), and
// lets scripts read it.
#ifndef ZTLE_STATUS_VIEW_H
#define ZTLE_STATUS_VIEW_H

#include <string>

#include "View.h"

class ZTLEStatusView : public BView
{
public:
	ZTLEStatusView(BRect frame, const char* name);
	~ZTLEStatusView() override;

	void Draw(BRect updateRect) override;

	// Scripting: "Text", what the line shows now (get only), beside the
	// view's own properties, so a script reads it like any other text of
	// the window.
	void MessageReceived(BMessage* message) override;
	BHandler* ResolveSpecifier(BMessage* message, int32 index, BMessage* specifier, int32 form,
	                           const char* property) override;
	status_t GetSupportedSuites(BMessage* data) override;

	// Shows text; the window's StatusLine decides what that is.
	void SetText(const std::string& text);

	// What the line shows now.
	const std::string& Text() const;

private:
	std::string mShown;
};

#endif // ZTLE_STATUS_VIEW_H
