// The type column of a file panel: a file's type as this layer knows it (its
// type attribute, or its content where the attribute was lost), described
// in words instead of Qt's guess from the name ("unknown" for most).
#ifndef TYPE_NAME_PROVIDER_H
#define TYPE_NAME_PROVIDER_H

#include <QFileIconProvider>
#include <memory>

namespace BPrivate {

struct PanelCore;

class TypeNameProvider : public QFileIconProvider
{
public:
	explicit TypeNameProvider(const std::shared_ptr<PanelCore>& core);

	QString type(const QFileInfo& info) const override;

private:
	std::weak_ptr<PanelCore> mCore;
};

} // namespace BPrivate

#endif // TYPE_NAME_PROVIDER_H
