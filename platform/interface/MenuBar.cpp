// BMenuBar over a QMenuBar that lives in the window like any view.
#include "MenuBar.h"

#include <QEvent>
#include <QMenuBar>

#include <algorithm>
#include <cmath>

#include "ApplicationWarmUp.h"
#include "MenuPrivate.h"
#include "ViewPrivate.h"
#include "Window.h"
#include "WindowPrivate.h"

namespace BPrivate {

namespace {

thread_local bool sMakingFieldBar = false;

} // namespace

FieldBarScope::FieldBarScope() : mWasActive(sMakingFieldBar)
{
	sMakingFieldBar = true;
}

FieldBarScope::~FieldBarScope()
{
	sMakingFieldBar = mWasActive;
}

bool FieldBarScope::Active()
{
	return sMakingFieldBar;
}

MenuBarWidget::MenuBarWidget(BMenu* menu) : mMenu(menu) {}

QSize MenuBarWidget::sizeHint() const
{
	_SyncIfDirty();
	return QMenuBar::sizeHint();
}

QSize MenuBarWidget::minimumSizeHint() const
{
	_SyncIfDirty();
	return QMenuBar::minimumSizeHint();
}

bool MenuBarWidget::event(QEvent* event)
{
	if (event->type() == QEvent::Polish || event->type() == QEvent::Show)
		_SyncIfDirty();
	return QMenuBar::event(event);
}

void MenuBarWidget::_SyncIfDirty() const
{
	if (mMenu != nullptr)
		MenuAccess::SyncIfDirty(mMenu);
}

} // namespace BPrivate

BMenuBar::BMenuBar(BRect frame, const char* name, uint32 resizingMode, menu_layout layout,
                   bool resizeToFit)
    : BMenu(name, layout), mResizeToFit(resizeToFit)
{
	SetResizingMode(resizingMode);
	SetFlags(B_WILL_DRAW | B_FRAME_EVENTS);
	if (BPrivate::FieldBarScope::Active()) {
		// The field gives the bar its widget.
		BPrivate::ViewAccess::SetFrame(this, frame);
		return;
	}
	QMenuBar* bar = new BPrivate::MenuBarWidget(this);
	// Menus stay in the window, also where the desktop offers a global
	// menu bar.
	bar->setNativeMenuBar(false);
	BPrivate::ViewAccess::SetNativeWidget(this, bar);
	BPrivate::MenuAccess::SetBarWidget(this, bar);
	BPrivate::ViewAccess::SetFrame(this, frame);
}

BMenuBar::~BMenuBar() {}

void BMenuBar::AttachedToWindow()
{
	BMenu::AttachedToWindow();
	// The window answers the shortcuts of its first menu bar that sits
	// directly in it (not one inside a menu field).
	if (Parent() == nullptr && Window()->KeyMenuBar() == nullptr)
		Window()->SetKeyMenuBar(this);
	_FitToFont();
}

void BMenuBar::DetachedFromWindow()
{
	if (Window()->KeyMenuBar() == this)
		Window()->SetKeyMenuBar(nullptr);
	BMenu::DetachedFromWindow();
}

void BMenuBar::SetFont(const BFont* font, uint32 mask)
{
	BMenu::SetFont(font, mask);
	if (Window() != nullptr)
		_FitToFont();
}

bool BMenuBar::IsResizeToFit() const
{
	return mResizeToFit;
}

void BMenuBar::_FitToFont()
{
	if (!mResizeToFit || Layout() != B_ITEMS_IN_ROW)
		return;
	QMenuBar* bar = static_cast<QMenuBar*>(BPrivate::ViewAccess::Widget(this));
	BPrivate::ApplicationWarmUp::WaitForFontConfiguration();
	// Qt's bar tells the height its font and style need; an empty bar
	// still gets room for one line of text.
	int height = std::max(bar->sizeHint().height(), bar->fontMetrics().height() + 4);
	BView* parent = Parent();
	float width = parent != nullptr ? parent->Bounds().Width()
	                                : BPrivate::WindowAccess::TopView(Window())->Bounds().Width();
	ResizeTo(width - Frame().left, (float)(height - 1));
}
