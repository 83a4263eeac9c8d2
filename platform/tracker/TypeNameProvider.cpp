#include "TypeNameProvider.h"

#include <QFileInfo>
#include <QMimeDatabase>
#include <mutex>
#include <string>

#include "Entry.h"
#include "FilePanelImpl.h"
#include "Node.h"
#include "NodeInfo.h"

namespace BPrivate {

TypeNameProvider::TypeNameProvider(const std::shared_ptr<PanelCore>& core) : mCore(core) {}

QString TypeNameProvider::type(const QFileInfo& info) const
{
	if (info.isDir())
		return QFileIconProvider::type(info);
	BNode node(info.absoluteFilePath().toUtf8().constData());
	char type[B_MIME_TYPE_LENGTH] = "";
	if (node.InitCheck() != B_OK || BNodeInfo(&node).GetType(type) != B_OK || type[0] == '\0')
		return QFileIconProvider::type(info);
	// The application's own words first, then the desktop's type database.
	if (std::shared_ptr<PanelCore> core = mCore.lock()) {
		std::lock_guard<std::mutex> lock(core->lock);
		auto found = core->typeDescriptions.find(type);
		if (found != core->typeDescriptions.end())
			return QString::fromStdString(found->second);
	}
	QMimeType known = QMimeDatabase().mimeTypeForName(QString::fromUtf8(type));
	if (known.isValid() && !known.comment().isEmpty())
		return known.comment();
	return QString::fromUtf8(type);
}

} // namespace BPrivate
