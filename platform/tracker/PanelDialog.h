// The Qt dialog under a file panel: a non-native QFileDialog that asks
// before a save replaces a file and reports its outcome to the panel.
#ifndef PANEL_DIALOG_H
#define PANEL_DIALOG_H

#include <QFileDialog>
#include <QFileIconProvider>
#include <QSortFilterProxyModel>
#include <memory>

namespace BPrivate {

struct PanelCore;

class PanelDialog : public QFileDialog
{
public:
	PanelDialog(const std::shared_ptr<PanelCore>& core);

	void accept() override;
	void done(int result) override;

private:
	bool _ConfirmReplace(const QString& path);

	std::weak_ptr<PanelCore> mCore;
	// The dialog does not own its icon provider.
	std::unique_ptr<QFileIconProvider> mTypeNames;
};

// Lists only the files the panel's BRefFilter accepts; folders always stay
// listed so that the user can move around.
class RefFilterProxy : public QSortFilterProxyModel
{
public:
	RefFilterProxy(const std::shared_ptr<PanelCore>& core, QObject* parent);

protected:
	bool filterAcceptsRow(int row, const QModelIndex& parent) const override;

private:
	std::weak_ptr<PanelCore> mCore;
};

} // namespace BPrivate

#endif // PANEL_DIALOG_H
