// The object this application exports on the bus (kBusObjectPath): takes
// messages in for its loopers and answers app_info questions. Lives on the
// bus thread and never blocks there.
#ifndef BUS_OBJECT_H
#define BUS_OBJECT_H

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include <QDBusVirtualObject>
#include <QString>

#include "AppRecord.h"
#include "Message.h"

namespace BPrivate {

class LooperImpl;
struct BusMethod;

class BusObject : public QDBusVirtualObject
{
public:
	void SetProvider(std::function<app_record()> provider);

	bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;
	QString introspect(const QString& path) const override;

private:
	// What a Post, Request or Requests call carries, once accepted.
	struct Accepted
	{
		std::shared_ptr<LooperImpl> looper;
		int32 handlerToken = -1;
		std::vector<std::unique_ptr<BMessage>> messages;
		size_t heldBytes = 0;
	};

	bool _Own(app_record* record);
	// The call is that method with its arguments.
	static bool _Is(const BusMethod& method, const QDBusMessage& message);
	// Checks a call that carries messages against its method, finds the
	// target and reads every message; on failure the error is sent. held:
	// the call waits for its answer, and its bytes count as held till then.
	bool _Accept(const BusMethod& method, bool held, const QDBusMessage& message,
	             const QDBusConnection& connection, Accepted* accepted);
	void _Post(const QDBusMessage& message, const QDBusConnection& connection);
	void _Request(const QDBusMessage& message, const QDBusConnection& connection);
	void _RequestFd(const QDBusMessage& message, const QDBusConnection& connection);
	// Request and RequestFd: the same call, answered inline or in a file.
	void _RequestAnswered(const BusMethod& method, const QDBusMessage& message,
	                      const QDBusConnection& connection);
	void _Requests(const QDBusMessage& message, const QDBusConnection& connection);
	void _AppInfo(const QDBusMessage& message, const QDBusConnection& connection);
	void _Properties(const QDBusMessage& message, const QDBusConnection& connection);

	std::mutex mLock;
	std::function<app_record()> mProvider;
};

} // namespace BPrivate

#endif // BUS_OBJECT_H
