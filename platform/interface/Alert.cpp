#include "Alert.h"

#include <memory>
#include <mutex>

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>

#include "AlertTesting.h"
#include "AlertWindow.h"
#include "InterfaceDefs.h"
#include "MainThread.h"
#include "OS.h"
#include "WidgetApplication.h"

namespace {

std::mutex sSeamLock;
BPrivate::alert_responder sResponder;
std::vector<BPrivate::shown_alert> sShown;

QMessageBox::Icon icon_for(alert_type type)
{
	switch (type) {
	case B_EMPTY_ALERT:
		return QMessageBox::NoIcon;
	case B_WARNING_ALERT:
		return QMessageBox::Warning;
	case B_STOP_ALERT:
		return QMessageBox::Critical;
	case B_INFO_ALERT:
	case B_IDEA_ALERT:
	default:
		return QMessageBox::Information;
	}
}

} // namespace

namespace BPrivate {

void set_alert_responder(alert_responder responder)
{
	std::lock_guard<std::mutex> guard(sSeamLock);
	sResponder = std::move(responder);
}

std::vector<shown_alert> shown_alerts()
{
	std::lock_guard<std::mutex> guard(sSeamLock);
	return sShown;
}

void clear_shown_alerts()
{
	std::lock_guard<std::mutex> guard(sSeamLock);
	sShown.clear();
}

ScopedAlertResponder::ScopedAlertResponder(alert_responder responder)
{
	std::lock_guard<std::mutex> guard(sSeamLock);
	mPrevious = std::move(sResponder);
	sResponder = std::move(responder);
}

ScopedAlertResponder::~ScopedAlertResponder()
{
	std::lock_guard<std::mutex> guard(sSeamLock);
	sResponder = std::move(mPrevious);
}

} // namespace BPrivate

BAlert::BAlert(const char* title, const char* text, const char* button0, const char* button1,
               const char* button2, button_width width, alert_type type)
    : mTitle(title != nullptr ? title : ""), mText(text != nullptr ? text : ""), mWidth(width),
      mType(type)
{
	for (const char* label : {button0, button1, button2}) {
		if (label != nullptr)
			mButtons.push_back(label);
	}
	BPrivate::use_widget_application();
	if (mButtons.empty())
		mButtons.push_back("OK");
}

BAlert::~BAlert() {}

const char* BAlert::ButtonLabel(int32 index) const
{
	if (index < 0 || index >= (int32)mButtons.size())
		return nullptr;
	return mButtons[index].c_str();
}

void BAlert::SetShortcut(int32 index, char key)
{
	if (key == B_ESCAPE && index >= 0 && index < (int32)mButtons.size())
		mEscapeButton = index;
}

int32 BAlert::EscapeButton() const
{
	return mEscapeButton >= 0 ? mEscapeButton : (int32)mButtons.size() - 1;
}

int32 BAlert::Go()
{
	int32 result;
	if (!_AnsweredBySeam(&result))
		result = _RunDialog();
	delete this;
	return result;
}

status_t BAlert::Go(BInvoker* invoker)
{
	std::unique_ptr<BInvoker> owned(invoker);
	int32 answer = 0;
	status_t status = B_OK;
	if (_AnsweredBySeam(&answer)) {
		BPrivate::invoke_alert(owned.get(), answer);
	} else if (!BPrivate::have_qt_application()) {
		status = B_ERROR;
	} else {
		BInvoker* taken = owned.release();
		auto show = [title = mTitle, text = mText, buttons = mButtons, escape = EscapeButton(),
		             taken] {
			(new BPrivate::AlertWindow(title, text, buttons, escape, taken))->Show();
		};
		if (BPrivate::is_main_thread()) {
			show();
		} else if (!BPrivate::post_to_main(show)) {
			delete taken;
			status = B_ERROR;
		}
	}
	delete this;
	return status;
}

bool BAlert::_AnsweredBySeam(int32* answer) const
{
	BPrivate::shown_alert shown{mTitle,        mText, mButtons, (int32)mType, find_thread(nullptr),
	                            EscapeButton()};
	BPrivate::alert_responder responder;
	{
		std::lock_guard<std::mutex> guard(sSeamLock);
		sShown.push_back(shown);
		responder = sResponder;
	}
	if (!responder)
		return false;
	const int32 last = (int32)mButtons.size() - 1;
	*answer = responder(shown);
	if (*answer < 0 || *answer > last)
		*answer = last;
	return true;
}

int32 BAlert::_RunDialog() const
{
	if (!BPrivate::have_qt_application())
		return B_ERROR;
	int32 result = (int32)mButtons.size() - 1;
	auto run = [this, &result] {
		QMessageBox box;
		box.setWindowTitle(QString::fromStdString(mTitle));
		box.setText(QString::fromStdString(mText));
		box.setIcon(icon_for(mType));
		std::vector<QAbstractButton*> buttons;
		for (const std::string& label : mButtons)
			buttons.push_back(
			    box.addButton(QString::fromStdString(label), QMessageBox::ActionRole));
		// The framework's default button is the last one, and so is Escape
		// unless a shortcut moved it.
		box.setDefaultButton(static_cast<QPushButton*>(buttons.back()));
		box.setEscapeButton(buttons[EscapeButton()]);
		box.exec();
		QAbstractButton* clicked = box.clickedButton();
		result = EscapeButton();
		for (size_t i = 0; i < buttons.size(); i++) {
			if (buttons[i] == clicked)
				result = (int32)i;
		}
	};
	// The dialog lives on the main thread; another thread waits for it.
	if (!BPrivate::run_on_main_blocking(run))
		return B_ERROR;
	return result;
}
