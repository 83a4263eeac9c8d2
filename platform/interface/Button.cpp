// BButton over a QPushButton.
#include "Button.h"

#include <QPushButton>

#include "ViewPrivate.h"
#include "Window.h"

namespace {

// '&' would otherwise mark a mnemonic.
QString button_text(const char* label)
{
	return QString::fromUtf8(label).replace(QLatin1Char('&'), QLatin1String("&&"));
}

QPushButton* push_button(const BButton* button)
{
	return static_cast<QPushButton*>(BPrivate::ViewAccess::Widget(button));
}

} // namespace

BButton::BButton(BRect frame, const char* name, const char* label, BMessage* message,
                 uint32 resizingMode, uint32 flags)
    : BControl(frame, name, label, message, resizingMode, flags), mIsDefault(false)
{
	QPushButton* widget = new QPushButton(button_text(Label()));
	widget->setFocusPolicy((flags & B_NAVIGABLE) != 0 ? Qt::StrongFocus : Qt::NoFocus);
	widget->setAutoDefault(false);
	QObject::connect(widget, &QPushButton::clicked, widget, [this] {
		// Clicks come from Qt's event loop, outside any dispatch: take the
		// window's lock as the window thread would hold it.
		BWindow* window = Window();
		if (window != nullptr && !window->Lock())
			return;
		if (IsEnabled())
			Invoke();
		if (window != nullptr)
			window->Unlock();
	});
	BPrivate::ViewAccess::SetNativeWidget(this, widget);
}

BButton::~BButton()
{
	if (Window() != nullptr && Window()->DefaultButton() == this)
		Window()->SetDefaultButton(nullptr);
}

void BButton::SetLabel(const char* label)
{
	BControl::SetLabel(label);
	push_button(this)->setText(button_text(Label()));
}

void BButton::SetEnabled(bool enabled)
{
	BControl::SetEnabled(enabled);
	push_button(this)->setEnabled(enabled);
}

void BButton::SetFont(const BFont* font, uint32 mask)
{
	BControl::SetFont(font, mask);
}

void BButton::MakeDefault(bool isDefault)
{
	if (isDefault == mIsDefault)
		return;
	mIsDefault = isDefault;
	push_button(this)->setDefault(isDefault);
	BWindow* window = Window();
	if (window == nullptr)
		return;
	if (isDefault && window->DefaultButton() != this)
		window->SetDefaultButton(this);
	else if (!isDefault && window->DefaultButton() == this)
		window->SetDefaultButton(nullptr);
}

bool BButton::IsDefault() const
{
	return mIsDefault;
}
