#include "ZTLEInputWindow.h"

#include <algorithm>

#include "Button.h"
#include "Message.h"
#include "TextControl.h"
#include "TextView.h"
#include "View.h"

namespace {

const float kMargin = 10;
const float kRowHeight = 25;
const float kRowGap = 5;
const float kDivider = 90;
const float kButtonWidth = 110;
const float kWidth = 380;
const rgb_color kBackgroundGrey = {232, 232, 232, 255};

float RowTop(size_t row)
{
	return kMargin + (float)row * (kRowHeight + kRowGap);
}

BRect InputFrame(size_t rows)
{
	return BRect(100, 100, 100 + kWidth, 100 + RowTop(rows) + kMargin - kRowGap);
}

} // namespace

ZTLEInputWindow::ZTLEInputWindow(const char* title, BMessenger target,
                                 const std::vector<Field>& fields,
                                 const std::vector<Button>& buttons)
    : BWindow(InputFrame(fields.size() + 1), title, B_TITLED_WINDOW,
              B_NOT_ZOOMABLE | B_NOT_V_RESIZABLE | B_ASYNCHRONOUS_CONTROLS),
      mTarget(target)
{
	BView* background =
	    new BView(Bounds(), "input_bkg", B_FOLLOW_ALL_SIDES, B_WILL_DRAW | B_NAVIGABLE);
	background->SetViewColor(kBackgroundGrey);
	AddChild(background);
	const float right = Bounds().right - kMargin;
	size_t row = 0;
	for (const Field& field : fields) {
		BTextControl* control =
		    new BTextControl(BRect(kMargin, RowTop(row), right, RowTop(row) + kRowHeight),
		                     field.name, (field.label + ":").c_str(), nullptr, nullptr,
		                     B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP, B_WILL_DRAW | B_NAVIGABLE);
		control->SetDivider(kDivider);
		background->AddChild(control);
		mFieldNames.push_back(field.name);
		row++;
	}
	float buttonRight = right;
	for (auto button = buttons.rbegin(); button != buttons.rend(); ++button) {
		BRect frame(buttonRight - kButtonWidth, RowTop(row), buttonRight, RowTop(row) + kRowHeight);
		background->AddChild(new BButton(frame, nullptr, button->label.c_str(),
		                                 new BMessage(button->what), B_FOLLOW_RIGHT | B_FOLLOW_TOP,
		                                 B_WILL_DRAW | B_NAVIGABLE));
		buttonRight -= kButtonWidth + kRowGap;
		mButtonCodes.push_back(button->what);
	}
	if (!mFieldNames.empty())
		FocusField(mFieldNames.front().c_str());
}

ZTLEInputWindow::~ZTLEInputWindow() = default;

void ZTLEInputWindow::MessageReceived(BMessage* message)
{
	if (std::find(mButtonCodes.begin(), mButtonCodes.end(), message->what) == mButtonCodes.end()) {
		BWindow::MessageReceived(message);
		return;
	}
	BMessage request(message->what);
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
