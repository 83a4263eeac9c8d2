// Global calls of the interface kit.
#include "InterfaceDefs.h"

#include <QGuiApplication>

#include "ViewWidget.h"

uint32 modifiers()
{
	if (qGuiApp == nullptr)
		return 0;
	return BPrivate::modifiers_from_qt(QGuiApplication::queryKeyboardModifiers());
}
