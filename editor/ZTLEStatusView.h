// The status line under the locale text: the translator's progress and the
// entry at the caret, or for a while a message from a command ("Saved ...",
// "Not found"), or what the window waits for.
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

	// The progress part, kept up to date by the window.
	void SetProgress(const std::string& text);
	// Shown instead of the progress until the next edit of the text
	// (TextEdited), the next move of the caret (CaretAt) or the next message.
	void ShowMessage(const std::string& text);
	void TextEdited();
	// Where the caret is now, told on the window's status tick. The first
	// place told after a message is where the message was given (a find
	// moves the caret and speaks at once); leaving it ends the message.
	void CaretAt(int32 caret);
	// What the window is busy with ("Asking ..."), shown over everything
	// else until it is set empty again.
	void SetActivity(const std::string& text);

	// What the line shows now.
	const std::string& Text() const;

private:
	void _Changed();

	std::string mProgress;
	std::string mMessage;
	int32 mMessageCaret = -1;
	std::string mActivity;
	std::string mShown;
};

#endif // ZTLE_STATUS_VIEW_H
