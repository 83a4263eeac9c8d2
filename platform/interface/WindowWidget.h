// The top-level widget of a window: its content area holds the top view.
#ifndef _WINDOW_WIDGET_H
#define _WINDOW_WIDGET_H

#include <QWidget>

class BWindow;

namespace BPrivate {

class WindowWidget : public QWidget
{
public:
	explicit WindowWidget(BWindow* window);

	BWindow* Window() const { return mWindow; }

protected:
	void closeEvent(QCloseEvent* event) override;
	void resizeEvent(QResizeEvent* event) override;
	void moveEvent(QMoveEvent* event) override;
	void changeEvent(QEvent* event) override;
	void keyPressEvent(QKeyEvent* event) override;

private:
	BWindow* mWindow;
};

} // namespace BPrivate

#endif // _WINDOW_WIDGET_H
