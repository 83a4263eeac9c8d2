#include "PanelDialog.h"

#include "TypeNameProvider.h"

#include <QFileInfo>
#include <QFileSystemModel>
#include <QMessageBox>
#include <sys/stat.h>

#include "Entry.h"
#include "FilePanelImpl.h"
#include "Node.h"
#include "NodeInfo.h"

namespace BPrivate {

PanelDialog::PanelDialog(const std::shared_ptr<PanelCore>& core) : mCore(core)
{
	// Our own question replaces Qt's, so that tests can answer it.
	setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
	mTypeNames = std::make_unique<TypeNameProvider>(core);
	setIconProvider(mTypeNames.get());
}

bool PanelDialog::_ConfirmReplace(const QString& path)
{
	std::shared_ptr<PanelCore> core = mCore.lock();
	if (core != nullptr && core->replaceAnswer >= 0)
		return core->replaceAnswer != 0;
	QMessageBox question(QMessageBox::Warning, windowTitle(),
	                     tr("The file \"%1\" already exists. Do you want to replace it?")
	                         .arg(QFileInfo(path).fileName()),
	                     QMessageBox::Yes | QMessageBox::No, this);
	question.setDefaultButton(QMessageBox::No);
	return question.exec() == QMessageBox::Yes;
}

void PanelDialog::accept()
{
	if (acceptMode() == QFileDialog::AcceptSave) {
		QStringList files = selectedFiles();
		if (!files.isEmpty()) {
			QFileInfo info(files.first());
			if (info.exists() && !info.isDir() && !_ConfirmReplace(info.absoluteFilePath()))
				return;
		}
	}
	QFileDialog::accept();
}

void PanelDialog::done(int result)
{
	// Read before QFileDialog::done, which may clear the selection.
	std::vector<std::string> paths;
	if (result == QDialog::Accepted) {
		for (const QString& file : selectedFiles())
			paths.push_back(QFileInfo(file).absoluteFilePath().toStdString());
	}
	QFileDialog::done(result);
	std::shared_ptr<PanelCore> core = mCore.lock();
	if (core == nullptr)
		return;
	if (result == QDialog::Accepted)
		FilePanelImpl::Accept(*core, paths);
	else
		FilePanelImpl::Cancel(*core);
}

RefFilterProxy::RefFilterProxy(const std::shared_ptr<PanelCore>& core, QObject* parent)
    : QSortFilterProxyModel(parent), mCore(core)
{
}

bool RefFilterProxy::filterAcceptsRow(int row, const QModelIndex& parent) const
{
	std::shared_ptr<PanelCore> core = mCore.lock();
	QFileSystemModel* model = qobject_cast<QFileSystemModel*>(sourceModel());
	if (core == nullptr || model == nullptr)
		return true;
	BRefFilter* filter;
	{
		std::lock_guard<std::mutex> lock(core->lock);
		filter = core->filter;
	}
	if (filter == nullptr)
		return true;
	QModelIndex index = model->index(row, 0, parent);
	if (model->isDir(index))
		return true;
	std::string path = model->filePath(index).toStdString();
	entry_ref ref;
	if (get_ref_for_path(path.c_str(), &ref) != B_OK)
		return true;
	BNode node(&ref);
	struct stat st = {};
	lstat(path.c_str(), &st);
	char type[B_MIME_TYPE_LENGTH] = "";
	if (node.InitCheck() == B_OK) {
		BNodeInfo info(&node);
		if (info.GetType(type) != B_OK)
			type[0] = '\0';
	}
	return filter->Filter(&ref, &node, &st, type);
}

} // namespace BPrivate
