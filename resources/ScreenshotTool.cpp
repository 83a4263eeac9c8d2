// Build tool: the editor's window as software centres show it. Starts the
// editor's application in this process (offscreen), saves a picture of its
// window once the window is shown and laid out, and quits.
//
// usage: le_screenshot_tool PNG

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include <cstdio>

#include <AppDefs.h>

#include "LocaleEditorApplication.h"

namespace {

// Gives up when no window is shown within this many checks.
const int kChecksMax = 200;

QWidget* ShownWindow()
{
	for (QWidget* widget : QApplication::topLevelWidgets()) {
		if (widget->isVisible() && widget->width() > 1 && widget->height() > 1)
			return widget;
	}
	return nullptr;
}

} // namespace

int main(int argc, char** argv)
{
	if (argc != 2) {
		std::fprintf(stderr, "usage: le_screenshot_tool PNG\n");
		return 2;
	}
	QString output = QString::fromLocal8Bit(argv[1]);
	auto* app = new LocaleEditorApplication;
	int result = 1;
	int checks = 0;
	QTimer timer;
	timer.setInterval(20);
	QObject::connect(&timer, &QTimer::timeout, [&] {
		QWidget* window = ShownWindow();
		if (window == nullptr && ++checks < kChecksMax)
			return;
		timer.stop();
		if (window != nullptr && QDir().mkpath(QFileInfo(output).absolutePath()) &&
		    window->grab().save(output, "PNG"))
			result = 0;
		else
			std::fprintf(stderr, "le_screenshot_tool: no picture of the window\n");
		be_app->PostMessage(B_QUIT_REQUESTED);
	});
	timer.start();
	app->Run();
	delete app;
	return result;
}
