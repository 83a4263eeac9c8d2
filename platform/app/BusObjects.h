// Qt objects of the bus side, living on the bus thread: the exported
// object that receives messages, and the watcher of names on the bus.
#ifndef BUS_OBJECTS_H
#define BUS_OBJECTS_H

#include <functional>
#include <mutex>

#include <QDBusVirtualObject>
#include <QObject>
#include <QString>

#include "AppRecord.h"

namespace BPrivate {

class BusObject : public QDBusVirtualObject
{
public:
	void SetProvider(std::function<app_record()> provider);

	bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;
	QString introspect(const QString& path) const override;

private:
	bool _Own(app_record* record);
	void _Post(const QDBusMessage& message, const QDBusConnection& connection);
	void _Request(const QDBusMessage& message, const QDBusConnection& connection);
	void _Requests(const QDBusMessage& message, const QDBusConnection& connection);
	void _AppInfo(const QDBusMessage& message, const QDBusConnection& connection);
	void _Properties(const QDBusMessage& message, const QDBusConnection& connection);

	std::mutex mLock;
	std::function<app_record()> mProvider;
};

class BusNameWatcher : public QObject
{
	Q_OBJECT

public slots:
	void NameOwnerChanged(const QString& name, const QString& oldOwner, const QString& newOwner);
};

} // namespace BPrivate

#endif // BUS_OBJECTS_H
