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

	// The progress part, kept up to date by the window.
	void SetProgress(const std::string& text);
	// Shown instead of the progress until the next edit of the text
	// (TextEdited) or the next message.
	void ShowMessage(const std::string& text);
	void TextEdited();
	// What the window is busy with ("Asking ..."), shown over everything
	// else until it is set empty again.
	void SetActivity(const std::string& text);

	// What the line shows now.
	const std::string& Text() const;

private:
	void _Changed();

	std::string mProgress;
	std::string mMessage;
	std::string mActivity;
	std::string mShown;
};

#endif // ZTLE_STATUS_VIEW_H
