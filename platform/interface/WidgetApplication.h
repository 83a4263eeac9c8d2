// Classes of the interface kit that need a QApplication call this from
// their constructors. It does nothing; the call links the registration
// in WidgetApplication.cpp into every program that uses them.
#ifndef WIDGET_APPLICATION_H
#define WIDGET_APPLICATION_H

namespace BPrivate {

void use_widget_application();

} // namespace BPrivate

#endif // WIDGET_APPLICATION_H
