// The row of a plain item in a column menu: sized by the item's
// GetContentSize() and drawn by its DrawContent(), with the menu as the
// drawing view.
#ifndef _MENU_ITEM_WIDGET_H
#define _MENU_ITEM_WIDGET_H

#include <QWidget>

class BMenuItem;

namespace BPrivate {

class MenuItemWidget : public QWidget
{
public:
	explicit MenuItemWidget(BMenuItem* item);

	// The item went away; the widget draws nothing until it is deleted.
	void Detach() { mItem = nullptr; }

	QSize sizeHint() const override;
	QSize minimumSizeHint() const override;

protected:
	void paintEvent(QPaintEvent* event) override;
	void mouseReleaseEvent(QMouseEvent* event) override;
	void enterEvent(QEnterEvent* event) override;
	void leaveEvent(QEvent* event) override;
	void focusInEvent(QFocusEvent* event) override;
	void focusOutEvent(QFocusEvent* event) override;

private:
	BMenuItem* mItem;
	bool mHovered;
};

// Closes every open pop-up menu.
void close_popups();

} // namespace BPrivate

#endif // _MENU_ITEM_WIDGET_H
