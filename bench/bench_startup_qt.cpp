// Baseline for the start-up benchmark: the least a Qt Widgets program does
// to show one window, then quit once its event loop runs.
#include <QApplication>
#include <QTimer>
#include <QWidget>

#include "StartupClock.h"

int main(int argc, char** argv)
{
	QApplication app(argc, argv);
	QWidget window;
	window.setWindowTitle("Baseline");
	window.setGeometry(50, 50, 451, 351);
	window.show();
	ReportShown();
	QTimer::singleShot(0, &app, &QCoreApplication::quit);
	return app.exec();
}
