#include "AlertWindow.h"

#include <algorithm>
#include <cmath>

#include "AppDefs.h"
#include "Button.h"
#include "Font.h"
#include "InterfaceDefs.h"
#include "Message.h"
#include "TextView.h"
#include "View.h"

namespace BPrivate {

namespace {

const uint32 kMsgAlertButton = 'ALbt';
const char* const kFieldWhich = "which";

const float kWidth = 420;
const float kMargin = 12;
const float kButtonHeight = 26;
const float kButtonGap = 8;

float line_height()
{
	font_height height;
	be_plain_font->GetHeight(&height);
	return std::ceil(height.ascent + height.descent + height.leading);
}

// Lines the text takes at width, its own line feeds and wrapping counted.
int32 count_lines(const std::string& text, float width)
{
	int32 lines = 0;
	size_t start = 0;
	for (;;) {
		const size_t end = std::min(text.find('\n', start), text.size());
		const float used = be_plain_font->StringWidth(text.c_str() + start, (int32)(end - start));
		lines += std::max<int32>(1, (int32)std::ceil(used / width));
		if (end >= text.size())
			return lines;
		start = end + 1;
	}
}

BRect text_frame(const std::string& text)
{
	const float width = kWidth - 2 * kMargin;
	// A line more than counted: wrapping at words takes more than the sum.
	const float height = (float)(count_lines(text, width) + 1) * line_height();
	return BRect(kMargin, kMargin, kMargin + width, kMargin + height);
}

BRect window_frame(const std::string& text)
{
	const float height = text_frame(text).bottom + kMargin + kButtonHeight + kMargin;
	return BRect(100, 100, 100 + kWidth, 100 + height);
}

} // namespace

void invoke_alert(BInvoker* invoker, int32 which)
{
	if (invoker == nullptr || invoker->Message() == nullptr)
		return;
	BMessage message(*invoker->Message());
	message.RemoveName(kFieldWhich);
	message.AddInt32(kFieldWhich, which);
	invoker->Invoke(&message);
}

AlertWindow::AlertWindow(const std::string& title, const std::string& text,
                         const std::vector<std::string>& buttons, int32 escapeButton,
                         BInvoker* invoker)
    : BWindow(window_frame(text), title.c_str(), B_MODAL_WINDOW,
              B_NOT_RESIZABLE | B_NOT_ZOOMABLE | B_NOT_MINIMIZABLE),
      mEscapeButton(escapeButton), mInvoker(invoker)
{
	BView* background = new BView(Bounds(), "alert_bkg", B_FOLLOW_ALL_SIDES, B_WILL_DRAW);
	AddChild(background);
	const BRect textFrame = text_frame(text);
	BTextView* textView = new BTextView(textFrame, "alert_text", textFrame.OffsetToCopy(0, 0),
	                                    B_FOLLOW_ALL_SIDES, B_WILL_DRAW);
	textView->SetWordWrap(true);
	textView->SetText(text.c_str());
	textView->MakeEditable(false);
	background->AddChild(textView);

	// Left to right in their order, the last one at the right edge and the
	// default, as the framework places them.
	float right = Bounds().right - kMargin;
	const float top = Bounds().bottom - kMargin - kButtonHeight;
	for (int32 i = (int32)buttons.size() - 1; i >= 0; i--) {
		const float width =
		    std::max(75.0f, std::ceil(be_plain_font->StringWidth(buttons[i].c_str())) + 24);
		BMessage* pressed = new BMessage(kMsgAlertButton);
		pressed->AddInt32(kFieldWhich, i);
		BButton* button =
		    new BButton(BRect(right - width, top, right, top + kButtonHeight),
		                ("button" + std::to_string(i)).c_str(), buttons[i].c_str(), pressed);
		background->AddChild(button);
		if (i == (int32)buttons.size() - 1)
			SetDefaultButton(button);
		right -= width + kButtonGap;
	}
}

void AlertWindow::DispatchMessage(BMessage* message, BHandler* handler)
{
	const char* bytes = nullptr;
	if (message->what == B_KEY_DOWN && message->FindString("bytes", &bytes) == B_OK &&
	    bytes != nullptr && bytes[0] == B_ESCAPE && bytes[1] == '\0') {
		_Answer(mEscapeButton);
		Quit();
		return;
	}
	BWindow::DispatchMessage(message, handler);
}

void AlertWindow::MessageReceived(BMessage* message)
{
	int32 which = 0;
	if (message->what == kMsgAlertButton && message->FindInt32(kFieldWhich, &which) == B_OK) {
		_Answer(which);
		Quit();
		return;
	}
	BWindow::MessageReceived(message);
}

bool AlertWindow::QuitRequested()
{
	_Answer(mEscapeButton);
	return true;
}

void AlertWindow::_Answer(int32 which)
{
	if (mAnswered)
		return;
	mAnswered = true;
	invoke_alert(mInvoker.get(), which);
}

} // namespace BPrivate
