// The interface tests run inside a running application: the main thread
// runs Qt's event loop (as BApplication::Run() does), the application
// looper has its thread, and the tests run from the event loop.
#include <QApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>

#include "InterfaceTestSupport.h"

int main(int argc, char** argv)
{
	if (qgetenv("QT_QPA_PLATFORM").isEmpty())
		qputenv("QT_QPA_PLATFORM", "offscreen");
	::testing::InitGoogleTest(&argc, argv);
	interfacetest::TestApplication application;
	int result = 1;
	QTimer::singleShot(0, [&result] {
		result = RUN_ALL_TESTS();
		be_app->PostMessage(B_QUIT_REQUESTED);
	});
	// The whole run must end; a hang elsewhere fails in minutes, not hours.
	interfacetest::Watchdog watchdog(300);
	application.Run();
	return result;
}
