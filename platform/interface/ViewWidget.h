// The plain widget of a view: paints the view colour, lets the view draw,
// and turns mouse and key input into the window's messages.
#ifndef _VIEW_WIDGET_H
#define _VIEW_WIDGET_H

#include <QWidget>

#include "SupportDefs.h"

class BView;

namespace BPrivate {

class ViewWidget : public QWidget
{
public:
	explicit ViewWidget(BView* view);

protected:
	void paintEvent(QPaintEvent* event) override;
	void mousePressEvent(QMouseEvent* event) override;
	void mouseReleaseEvent(QMouseEvent* event) override;
	void keyPressEvent(QKeyEvent* event) override;
	void keyReleaseEvent(QKeyEvent* event) override;

private:
	BView* mView;
};

// Framework modifier bits for Qt's: Ctrl is the command key, Alt the option
// key, Meta the control key.
uint32 modifiers_from_qt(Qt::KeyboardModifiers modifiers);
// The bytes KeyDown() receives for a key event (UTF-8, or one of B_LEFT_ARROW...).
QByteArray key_bytes(const QKeyEvent* event);

} // namespace BPrivate

#endif // _VIEW_WIDGET_H
