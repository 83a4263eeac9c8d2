// BMenuField: a label drawn by the field and a one-item menu bar whose item
// opens the menu.
#include "MenuField.h"

#include <QMenu>
#include <QPushButton>
#include <QResizeEvent>
#include <QStyleOptionButton>
#include <QStylePainter>

#include <algorithm>
#include <cmath>

#include "ApplicationWarmUp.h"
#include "Menu.h"
#include "MenuBar.h"
#include "MenuItem.h"
#include "MenuPrivate.h"
#include "ViewPrivate.h"

namespace {

// The field's menu bar on screen: a button that shows the label of the
// bar's one item (shortened to fit) and opens its menu below itself. A
// QMenuBar would hide a label that does not fit behind an overflow arrow.
// The label sits at the left, 4 pixels inside the frame; painted here
// rather than through a style sheet, whose style object and parsing cost
// more than the rest of the field.
class FieldButton : public QPushButton
{
public:
	explicit FieldButton(BMenuBar* bar) : mBar(bar) { setFocusPolicy(Qt::StrongFocus); }

	void Refresh()
	{
		BMenuItem* item = mBar->ItemAt(0);
		mLabel = QString::fromUtf8(item != nullptr ? item->Label() : "");
		int room = std::max(0, width() - 12);
		BPrivate::ApplicationWarmUp::WaitForFontConfiguration();
		setText(fontMetrics()
		            .elidedText(mLabel, Qt::ElideRight, room)
		            .replace(QLatin1Char('&'), QLatin1String("&&")));
		setToolTip(mLabel);
		BMenu* menu = item != nullptr ? item->Submenu() : nullptr;
		// Its rows are built when it opens.
		QMenu* qmenu = menu != nullptr ? BPrivate::MenuAccess::LazyQtMenu(menu) : nullptr;
		if (this->menu() != qmenu)
			setMenu(qmenu);
		setEnabled(item != nullptr && item->IsEnabled() && (menu == nullptr || menu->IsEnabled()));
	}

	QString FullLabel() const { return mLabel; }

protected:
	void paintEvent(QPaintEvent*) override
	{
		QStylePainter painter(this);
		QStyleOptionButton option;
		initStyleOption(&option);
		painter.drawControl(QStyle::CE_PushButtonBevel, option);

		// Inside the one-pixel frame and the padding; the menu arrow keeps
		// its place at the far end.
		const QRect contents = option.rect.adjusted(1 + kLabelPadding, 1, -1, -1);
		QRect textRect = contents;
		if ((option.features & QStyleOptionButton::HasMenu) != 0) {
			int arrow = style()->pixelMetric(QStyle::PM_MenuButtonIndicator, &option, this);
			if (option.direction == Qt::RightToLeft)
				textRect.adjust(arrow, 0, 0, 0);
			else
				textRect.adjust(0, 0, -arrow, 0);
		}
		int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic;
		if (!style()->styleHint(QStyle::SH_UnderlineShortcut, &option, this))
			flags |= Qt::TextHideMnemonic;
		style()->drawItemText(&painter, textRect, flags, option.palette,
		                      (option.state & QStyle::State_Enabled) != 0, option.text,
		                      QPalette::ButtonText);

		if ((option.state & QStyle::State_HasFocus) != 0) {
			QStyleOptionFocusRect focus;
			focus.QStyleOption::operator=(option);
			focus.rect = contents;
			painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
		}
	}

	void resizeEvent(QResizeEvent* event) override
	{
		QPushButton::resizeEvent(event);
		Refresh();
	}

private:
	static const int kLabelPadding = 4;

	BMenuBar* mBar;
	QString mLabel;
};

} // namespace

BMenuField::BMenuField(BRect frame, const char* name, const char* label, BMenu* menu,
                       uint32 resizingMode, uint32 flags)
    : BMenuField(frame, name, label, menu, true, resizingMode, flags)
{
}

BMenuField::BMenuField(BRect frame, const char* name, const char* label, BMenu* menu,
                       bool fixedSize, uint32 resizingMode, uint32 flags)
    : BView(frame, name, resizingMode, flags | B_WILL_DRAW), mMenu(menu), mMenuBar(nullptr),
      mLabel(label != nullptr ? label : ""), mDivider(0.0f), mEnabled(true)
{
	(void)fixedSize;
	if (!mLabel.empty())
		mDivider = std::floor(StringWidth(mLabel.c_str()) + 5.0f);
	BRect bounds = Bounds();
	{
		BPrivate::FieldBarScope fieldBar;
		mMenuBar = new BMenuBar(BRect(mDivider, 0, bounds.right, bounds.bottom), "_mc_mb_",
		                        B_FOLLOW_ALL_SIDES, B_ITEMS_IN_ROW, false);
	}
	// The button takes the focus, not the label.
	BPrivate::ViewAccess::Widget(this)->setFocusPolicy(Qt::NoFocus);
	FieldButton* button = new FieldButton(mMenuBar);
	BPrivate::ViewAccess::SetNativeWidget(mMenuBar, button);
	BPrivate::MenuAccess::Data(mMenuBar)->changed = [button] { button->Refresh(); };
	AddChild(mMenuBar);
	if (menu != nullptr) {
		mMenuBar->AddItem(menu);
		// The field shows the marked item's label from the start.
		if (menu->IsLabelFromMarked() && menu->FindMarked() != nullptr)
			menu->Superitem()->SetLabel(menu->FindMarked()->Label());
	}
}

BMenuField::~BMenuField() {}

void BMenuField::AttachedToWindow()
{
	if (Parent() != nullptr) {
		SetViewColor(Parent()->ViewColor());
		SetLowColor(Parent()->ViewColor());
	}
	BView::AttachedToWindow();
}

void BMenuField::Draw(BRect updateRect)
{
	(void)updateRect;
	if (mLabel.empty() || mDivider <= 0)
		return;
	font_height height;
	GetFontHeight(&height);
	float baseline =
	    std::floor((Bounds().Height() + 1 - (height.ascent + height.descent)) / 2 + height.ascent);
	SetHighColor(mEnabled ? make_color(0, 0, 0) : make_color(128, 128, 128));
	MovePenTo(3, baseline);
	DrawString(mLabel.c_str());
}

void BMenuField::FrameResized(float newWidth, float newHeight)
{
	BView::FrameResized(newWidth, newHeight);
	_LayoutBar();
}

BMenu* BMenuField::Menu() const
{
	return mMenu;
}

BMenuBar* BMenuField::MenuBar() const
{
	return mMenuBar;
}

void BMenuField::SetDivider(float divider)
{
	if (!std::isfinite(divider))
		return;
	mDivider = std::clamp(divider, 0.0f, Bounds().Width());
	_LayoutBar();
	Invalidate();
}

float BMenuField::Divider() const
{
	return mDivider;
}

void BMenuField::SetLabel(const char* label)
{
	mLabel = label != nullptr ? label : "";
	Invalidate();
}

const char* BMenuField::Label() const
{
	return mLabel.c_str();
}

void BMenuField::SetEnabled(bool enabled)
{
	mEnabled = enabled;
	if (mMenu != nullptr)
		mMenu->SetEnabled(enabled);
	Invalidate();
}

bool BMenuField::IsEnabled() const
{
	return mEnabled;
}

void BMenuField::_LayoutBar()
{
	BRect bounds = Bounds();
	mMenuBar->MoveTo(mDivider, 0);
	mMenuBar->ResizeTo(std::max(0.0f, bounds.Width() - mDivider), bounds.Height());
}
