// The window of an alert that does not wait (BAlert::Go with an invoker): a
// window of the layer like any other, so it is listed, scripted and closed
// as windows are, and the window that raised it keeps serving meanwhile.
#ifndef ALERT_WINDOW_H
#define ALERT_WINDOW_H

#include <memory>
#include <string>
#include <vector>

#include "Invoker.h"
#include "Window.h"

namespace BPrivate {

class AlertWindow : public BWindow
{
public:
	// Takes invoker (may be nullptr: nobody is told). Call on the main
	// thread; Show() it afterwards.
	AlertWindow(const std::string& title, const std::string& text,
	            const std::vector<std::string>& buttons, int32 escapeButton, BInvoker* invoker);

	// Escape presses the Escape button, wherever the focus is.
	void DispatchMessage(BMessage* message, BHandler* handler) override;
	void MessageReceived(BMessage* message) override;
	// The close box presses the Escape button.
	bool QuitRequested() override;

private:
	void _Answer(int32 which);

	int32 mEscapeButton;
	std::unique_ptr<BInvoker> mInvoker;
	bool mAnswered = false;
};

// Tells invoker (if any) which button was pressed, in the field "which".
void invoke_alert(BInvoker* invoker, int32 which);

} // namespace BPrivate

#endif // ALERT_WINDOW_H
