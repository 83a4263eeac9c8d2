#include "ZTLEInputWindow.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "Button.h"
#include "Font.h"
#include "InterfaceDefs.h"
#include "Message.h"
#include "TextControl.h"
#include "TextView.h"
#include "View.h"

#include "EditorMessages.h"

namespace {

const float kMargin = 10;
const float kRowHeight = 25;
const float kRowGap = 5;
// Room between a label's last pixel and its field.
const float kLabelGap = 10;
// The smallest divider and field: short labels keep the old look, and a
// search text of a few words is seen whole.
const float kMinDivider = 90;
const float kMinFieldWidth = 220;
// A button is never narrower than this, and leaves this much beside its
// label for its frame and padding.
const float kMinButtonWidth = 110;
const float kButtonPadding = 24;
const rgb_color kBackgroundGrey = {232, 232, 232, 255};

float RowTop(size_t row)
{
	return kMargin + (float)row * (kRowHeight + kRowGap);
}

} // namespace

ZTLEInputWindow::ZTLEInputWindow(const char* title, BMessenger target,
                                 const std::vector<Field>& fields,
                                 const std::vector<Button>& buttons)
    : BWindow(BRect(100, 100, 400, 200), title, B_TITLED_WINDOW,
              B_NOT_ZOOMABLE | B_NOT_V_RESIZABLE | B_ASYNCHRONOUS_CONTROLS),
      mTarget(target)
{
	BView* background =
	    new BView(Bounds(), "input_bkg", B_FOLLOW_ALL_SIDES, B_WILL_DRAW | B_NAVIGABLE);
	background->SetViewColor(kBackgroundGrey);
	AddChild(background);
	std::vector<BTextControl*> controls;
	for (const Field& field : fields) {
		// Enter in a field presses the default button.
		BTextControl* control =
		    new BTextControl(BRect(0, 0, 10, kRowHeight), field.name, (field.label + ":").c_str(),
		                     nullptr, new BMessage(kMsgPanelEnter),
		                     B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP, B_WILL_DRAW | B_NAVIGABLE);
		background->AddChild(control);
		controls.push_back(control);
		mFieldNames.push_back(field.name);
	}
	std::vector<BButton*> made;
	for (const Button& button : buttons) {
		// Named as an alert's buttons are, left to right, for scripts.
		const std::string name = "button" + std::to_string(made.size());
		BButton* view = new BButton(BRect(0, 0, 10, kRowHeight), name.c_str(), button.label.c_str(),
		                            new BMessage(button.what), B_FOLLOW_RIGHT | B_FOLLOW_TOP,
		                            B_WILL_DRAW | B_NAVIGABLE);
		background->AddChild(view);
		made.push_back(view);
		mButtonCodes.push_back(button.what);
	}
	if (!made.empty())
		SetDefaultButton(made.back());
	_Layout(controls, made);
	if (!mFieldNames.empty())
		FocusField(mFieldNames.front().c_str());
}

ZTLEInputWindow::~ZTLEInputWindow() = default;

void ZTLEInputWindow::_Layout(const std::vector<BTextControl*>& controls,
                              const std::vector<BButton*>& buttons)
{
	// The labels share one divider, right of the widest; the buttons sit in
	// one row under the fields, right-aligned, each as wide as its label
	// needs. The window is as wide as the wider of the two.
	float divider = kMinDivider;
	for (BTextControl* control : controls) {
		BFont font;
		control->GetFont(&font);
		divider = std::max(divider, std::ceil(font.StringWidth(control->Label())) + kLabelGap);
	}
	std::vector<float> widths;
	float buttonsWidth = 0;
	for (BButton* button : buttons) {
		const float width = std::max(
		    kMinButtonWidth, std::ceil(button->StringWidth(button->Label())) + kButtonPadding);
		widths.push_back(width);
		buttonsWidth += width + (widths.size() > 1 ? kRowGap : 0);
	}
	const float inner = std::max(divider + kMinFieldWidth, buttonsWidth);
	const float width = inner + 2 * kMargin;
	const float height = RowTop(controls.size() + (buttons.empty() ? 0 : 1)) - kRowGap + kMargin;
	ResizeTo(width, height);
	float minWidth, maxWidth, minHeight, maxHeight;
	GetSizeLimits(&minWidth, &maxWidth, &minHeight, &maxHeight);
	SetSizeLimits(width, maxWidth, height, height);

	size_t row = 0;
	for (BTextControl* control : controls) {
		control->MoveTo(kMargin, RowTop(row));
		control->ResizeTo(inner, kRowHeight);
		control->SetDivider(divider);
		row++;
	}
	float right = kMargin + inner;
	for (size_t i = buttons.size(); i-- > 0;) {
		buttons[i]->MoveTo(right - widths[i], RowTop(row));
		buttons[i]->ResizeTo(widths[i], kRowHeight);
		right -= widths[i] + kRowGap;
	}
}

void ZTLEInputWindow::MessageReceived(BMessage* message)
{
	if (message->what == kMsgPanelEnter) {
		if (BButton* button = DefaultButton(); button != nullptr && button->IsEnabled())
			_Send(button->Command());
		return;
	}
	if (std::find(mButtonCodes.begin(), mButtonCodes.end(), message->what) == mButtonCodes.end()) {
		BWindow::MessageReceived(message);
		return;
	}
	_Send(message->what);
}

void ZTLEInputWindow::DispatchMessage(BMessage* message, BHandler* handler)
{
	const char* bytes = nullptr;
	if (message->what == B_KEY_DOWN && message->FindString("bytes", &bytes) == B_OK &&
	    bytes != nullptr) {
		const int32 modifiers = message->GetInt32("modifiers", 0);
		if (bytes[0] == B_ESCAPE && bytes[1] == '\0' &&
		    (modifiers & (B_SHIFT_KEY | B_COMMAND_KEY | B_CONTROL_KEY | B_OPTION_KEY)) == 0) {
			Hide();
			return;
		}
		if (bytes[0] == B_FUNCTION_KEY && message->GetInt32("key", 0) == B_F3_KEY) {
			const uint32 what = (modifiers & B_SHIFT_KEY) != 0 ? mFindPrevious : mFindNext;
			if (what != 0)
				_Send(what);
			return;
		}
	}
	BWindow::DispatchMessage(message, handler);
}

void ZTLEInputWindow::_Send(uint32 what)
{
	BMessage request(what);
	for (const std::string& name : mFieldNames) {
		BTextControl* control = dynamic_cast<BTextControl*>(FindView(name.c_str()));
		const char* text = control != nullptr ? control->Text() : nullptr;
		request.AddString(name.c_str(), text != nullptr ? text : "");
	}
	mTarget.SendMessage(&request);
}

bool ZTLEInputWindow::QuitRequested()
{
	// Closed, it only hides: the owner shows it again with its last texts.
	Hide();
	return false;
}

void ZTLEInputWindow::FocusField(const char* name)
{
	BTextControl* control = dynamic_cast<BTextControl*>(FindView(name));
	if (control == nullptr)
		return;
	control->MakeFocus(true);
	if (BTextView* view = control->TextView())
		view->SelectAll();
}

void ZTLEInputWindow::SetFindKeys(uint32 next, uint32 previous)
{
	mFindNext = next;
	mFindPrevious = previous;
}
