// Baselines for the start-up benchmark. Without arguments: the least a Qt
// Widgets program does to show one window, then quit once its event loop
// runs. With "controls": the same window holding what any editor window
// shows before its first frame, a menu bar, a label, a line edit and a plain
// text edit, so that the cost of the first text measured is seen apart
// from the editor's own.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <cstring>

#include "StartupClock.h"

int main(int argc, char** argv)
{
	MarkMainEntered();
	QApplication app(argc, argv);
	QWidget window;
	window.setWindowTitle("Baseline");
	window.setGeometry(50, 50, 451, 351);
	if (argc > 1 && strcmp(argv[1], "controls") == 0) {
		auto* layout = new QVBoxLayout(&window);
		auto* menuBar = new QMenuBar(&window);
		menuBar->addMenu("File");
		menuBar->addMenu("Edit");
		menuBar->addMenu("Language");
		layout->setMenuBar(menuBar);
		layout->addWidget(new QLabel("Original text"));
		layout->addWidget(new QLineEdit);
		layout->addWidget(new QPlainTextEdit);
	}
	window.show();
	ReportShown();
	QTimer::singleShot(0, &app, &QCoreApplication::quit);
	return app.exec();
}
