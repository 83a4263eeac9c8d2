// The interface kit's windows and alerts are widgets, which need a
// QApplication rather than the QGuiApplication the app kit would make.
// Registered during static initialization, so before any BApplication.

#include "WidgetApplication.h"

#include <QApplication>

#include "QtApplicationFactory.h"

namespace {

QCoreApplication* make_widget_application(int& argc, char** argv)
{
	return new QApplication(argc, argv);
}

const bool sRegistered = (BPrivate::set_qt_application_factory(make_widget_application), true);

} // namespace

namespace BPrivate {

void use_widget_application()
{
	(void)sRegistered;
}

} // namespace BPrivate
