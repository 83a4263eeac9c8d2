// One row of a column menu, drawn by its BMenuItem.
#include "MenuItemWidget.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QWidgetAction>

#include <cmath>

#include "Menu.h"
#include "MenuItem.h"
#include "MenuPrivate.h"
#include "ViewPrivate.h"

namespace BPrivate {

MenuItemWidget::MenuItemWidget(BMenuItem* item) : QWidget(nullptr), mItem(item), mHovered(false)
{
	setFocusPolicy(Qt::StrongFocus);
	setMouseTracking(true);
	if (item != nullptr && item->Menu() != nullptr) {
		BFont font;
		item->Menu()->GetFont(&font);
		setFont(to_qfont(font));
	}
}

QSize MenuItemWidget::sizeHint() const
{
	if (mItem == nullptr)
		return QSize(0, 0);
	float width = 0;
	float height = 0;
	MenuAccess::GetContentSize(mItem, &width, &height);
	float total = kItemLeftMargin + width + kItemRightMargin;
	QString shortcut = MenuAccess::ShortcutText(mItem);
	if (!shortcut.isEmpty())
		total += kShortcutGap + (float)fontMetrics().horizontalAdvance(shortcut);
	return QSize((int)std::ceil(total), (int)std::ceil(height + 2 * kItemVerticalMargin));
}

QSize MenuItemWidget::minimumSizeHint() const
{
	return sizeHint();
}

void MenuItemWidget::paintEvent(QPaintEvent*)
{
	QPainter painter(this);
	bool enabled = mItem != nullptr && mItem->IsEnabled();
	bool highlighted = enabled && (mHovered || hasFocus());
	QPalette colors = palette();
	QColor background =
	    highlighted ? colors.color(QPalette::Highlight) : colors.color(QPalette::Window);
	QColor text = !enabled      ? colors.color(QPalette::Disabled, QPalette::WindowText)
	              : highlighted ? colors.color(QPalette::HighlightedText)
	                            : colors.color(QPalette::WindowText);
	painter.fillRect(rect(), background);
	if (mItem == nullptr)
		return;

	MenuItemData* data = MenuAccess::Data(mItem);
	data->frame = to_brect(rect());
	BMenu* menu = mItem->Menu();
	if (menu != nullptr) {
		ViewAccess::BeginDraw(menu, &painter);
		drawing_mode oldMode = menu->DrawingMode();
		menu->SetHighColor(to_rgb(text));
		menu->SetLowColor(to_rgb(background));
		menu->SetDrawingMode(B_OP_COPY);
		menu->MovePenTo(mItem->Frame().LeftTop() + BPoint(kItemLeftMargin, kItemVerticalMargin));
		MenuAccess::DrawContent(mItem);
		menu->SetDrawingMode(oldMode);
		ViewAccess::EndDraw(menu);
	}

	painter.setPen(QPen(text, 1.5));
	painter.setRenderHint(QPainter::Antialiasing, true);
	if (mItem->IsMarked()) {
		// A check mark in the left margin.
		qreal middle = height() / 2.0;
		QPointF points[3] = {QPointF(5, middle), QPointF(8, middle + 3), QPointF(14, middle - 4)};
		painter.drawPolyline(points, 3);
	}
	QString shortcut = MenuAccess::ShortcutText(mItem);
	if (!shortcut.isEmpty()) {
		QRect area = rect().adjusted(0, 0, -(int)kItemRightMargin, 0);
		painter.drawText(area, Qt::AlignRight | Qt::AlignVCenter, shortcut);
	}
}

void MenuItemWidget::mouseReleaseEvent(QMouseEvent* event)
{
	if (mItem == nullptr || !mItem->IsEnabled() || !rect().contains(event->position().toPoint()))
		return;
	BMenuItem* item = mItem;
	close_popups();
	MenuAccess::ItemPicked(item);
}

void MenuItemWidget::enterEvent(QEnterEvent* event)
{
	QWidget::enterEvent(event);
	mHovered = true;
	update();
}

void MenuItemWidget::leaveEvent(QEvent* event)
{
	QWidget::leaveEvent(event);
	mHovered = false;
	update();
}

void MenuItemWidget::focusInEvent(QFocusEvent* event)
{
	QWidget::focusInEvent(event);
	update();
}

void MenuItemWidget::focusOutEvent(QFocusEvent* event)
{
	QWidget::focusOutEvent(event);
	update();
}

void close_popups()
{
	// A chain of submenus is a stack of pop-ups; bounded in case one
	// refuses to close.
	for (int i = 0; i < 32; i++) {
		QWidget* popup = QApplication::activePopupWidget();
		if (popup == nullptr)
			break;
		popup->close();
	}
}

} // namespace BPrivate
