// The main of the test programs whose tests need a Qt application (widgets,
// text layout) but no running BApplication; they run offscreen.
#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
	if (qgetenv("QT_QPA_PLATFORM").isEmpty())
		qputenv("QT_QPA_PLATFORM", "offscreen");
	QApplication application(argc, argv);
	::testing::InitGoogleTest(&argc, argv);
	return RUN_ALL_TESTS();
}
