// Which Qt application object the process gets. The app kit itself needs no
// more than a QGuiApplication; windows and alerts need a QApplication, and
// the interface kit registers the factory that makes one before main runs,
// in every program that links its windows or alerts. Layer-internal.
#ifndef QT_APPLICATION_FACTORY_H
#define QT_APPLICATION_FACTORY_H

class QCoreApplication;

namespace BPrivate {

using qt_application_factory = QCoreApplication* (*)(int& argc, char** argv);

void set_qt_application_factory(qt_application_factory factory);

} // namespace BPrivate

#endif // QT_APPLICATION_FACTORY_H
