#include "FilePanelTesting.h"

#include <QAbstractItemView>
#include <QDir>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTimer>

#include <cstdlib>

#include "FilePanel.h"
#include "FilePanelImpl.h"
#include "PanelDialog.h"

namespace BPrivate {
namespace FilePanelTesting {

namespace {

PanelDialog* shown_dialog(const BFilePanel* panel)
{
	if (panel == nullptr)
		return nullptr;
	PanelDialog* dialog = panel->Impl()->Core()->dialog;
	return dialog != nullptr && dialog->isVisible() ? dialog : nullptr;
}

QLineEdit* name_field(QFileDialog* dialog)
{
	return dialog->findChild<QLineEdit*>("fileNameEdit");
}

// What the user typed wins only while nothing is selected in the lists.
void clear_selection(QFileDialog* dialog)
{
	for (QAbstractItemView* view : dialog->findChildren<QAbstractItemView*>()) {
		if (view->selectionModel() != nullptr)
			view->selectionModel()->clear();
	}
}

QString quoted(const std::string& path)
{
	return "\"" + QString::fromStdString(path) + "\"";
}

} // namespace

std::vector<BFilePanel*> panels_on_screen()
{
	std::vector<BFilePanel*> panels;
	for (BFilePanel* panel : shown_panels()) {
		if (shown_dialog(panel) != nullptr)
			panels.push_back(panel);
	}
	return panels;
}

std::string panel_folder(const BFilePanel* panel)
{
	if (panel == nullptr)
		return std::string();
	PanelCore* core = panel->Impl()->Core().get();
	if (core->dialog != nullptr)
		return QFileInfo(core->dialog->directory().absolutePath())
		    .canonicalFilePath()
		    .toStdString();
	std::lock_guard<std::mutex> lock(core->lock);
	return core->directory;
}

std::string panel_title(const BFilePanel* panel)
{
	if (panel == nullptr)
		return std::string();
	PanelCore* core = panel->Impl()->Core().get();
	if (core->dialog != nullptr)
		return core->dialog->windowTitle().toStdString();
	std::lock_guard<std::mutex> lock(core->lock);
	return core->title;
}

std::vector<std::string> filter_choices(const BFilePanel* panel)
{
	std::vector<std::string> labels;
	if (panel == nullptr)
		return labels;
	PanelCore* core = panel->Impl()->Core().get();
	if (core->dialog != nullptr) {
		for (const QString& name : core->dialog->nameFilters())
			labels.push_back(name.section(QStringLiteral(" ("), 0, 0).toStdString());
	}
	return labels;
}

std::string chosen_filter(const BFilePanel* panel)
{
	if (panel == nullptr)
		return std::string();
	PanelCore* core = panel->Impl()->Core().get();
	std::lock_guard<std::mutex> lock(core->lock);
	for (const auto& choice : core->filterChoices) {
		if (choice.second == core->filter)
			return choice.first;
	}
	return std::string();
}

std::string type_shown(const BFilePanel* panel, const std::string& path)
{
	if (panel == nullptr)
		return std::string();
	PanelCore* core = panel->Impl()->Core().get();
	if (core->dialog == nullptr || core->dialog->iconProvider() == nullptr)
		return std::string();
	return core->dialog->iconProvider()
	    ->type(QFileInfo(QString::fromStdString(path)))
	    .toStdString();
}

status_t choose_filter(BFilePanel* panel, const std::string& label)
{
	if (panel == nullptr)
		return B_BAD_VALUE;
	PanelCore* core = panel->Impl()->Core().get();
	if (core->dialog == nullptr || !core->dialog->nameFilters().contains(
	                                   QString::fromStdString(label) + QStringLiteral(" (*)")))
		return B_BAD_VALUE;
	FilePanelImpl::ChooseFilter(*core, label);
	return B_OK;
}

std::string proposed_name(const BFilePanel* panel)
{
	if (panel == nullptr)
		return std::string();
	PanelCore* core = panel->Impl()->Core().get();
	if (core->dialog != nullptr) {
		if (QLineEdit* field = name_field(core->dialog))
			return field->text().toStdString();
	}
	std::lock_guard<std::mutex> lock(core->lock);
	return core->saveText;
}

status_t choose_entries(BFilePanel* panel, const std::vector<std::string>& paths)
{
	PanelDialog* dialog = shown_dialog(panel);
	if (dialog == nullptr || panel->PanelMode() != B_OPEN_PANEL || paths.empty())
		return B_BAD_VALUE;
	PanelCore* core = panel->Impl()->Core().get();
	if (!core->multiple && paths.size() > 1)
		return B_BAD_VALUE;
	QDir folder = dialog->directory();
	QStringList typed;
	for (const std::string& path : paths) {
		QFileInfo info(folder, QString::fromStdString(path));
		if (!info.exists())
			return B_BAD_VALUE;
		typed << quoted(info.absoluteFilePath().toStdString());
	}
	QLineEdit* field = name_field(dialog);
	if (field == nullptr)
		return B_ERROR;
	clear_selection(dialog);
	field->setText(paths.size() == 1
	                   ? QFileInfo(folder, QString::fromStdString(paths[0])).absoluteFilePath()
	                   : typed.join(' '));
	dialog->accept();
	return B_OK;
}

status_t choose_save_name(BFilePanel* panel, const std::string& name, const std::string& folder,
                          bool replaceExisting)
{
	PanelDialog* dialog = shown_dialog(panel);
	if (dialog == nullptr || panel->PanelMode() != B_SAVE_PANEL || name.empty())
		return B_BAD_VALUE;
	if (!folder.empty()) {
		if (!QFileInfo(QString::fromStdString(folder)).isDir())
			return B_BAD_VALUE;
		dialog->setDirectory(QString::fromStdString(folder));
	}
	QLineEdit* field = name_field(dialog);
	if (field == nullptr)
		return B_ERROR;
	clear_selection(dialog);
	field->setText(QString::fromStdString(name));
	PanelCore* core = panel->Impl()->Core().get();
	core->replaceAnswer = replaceExisting ? 1 : 0;
	dialog->accept();
	core->replaceAnswer = -1;
	return B_OK;
}

status_t cancel_panel(BFilePanel* panel)
{
	PanelDialog* dialog = shown_dialog(panel);
	if (dialog == nullptr)
		return B_BAD_VALUE;
	dialog->reject();
	return B_OK;
}

void answer_from_environment(PanelCore& core)
{
	const char* path = getenv(kPanelChoiceVariable);
	if (path == nullptr || *path == '\0' || core.dialog == nullptr || core.mode != B_OPEN_PANEL)
		return;
	// After the panel's Show() has returned, as a user answers it.
	std::weak_ptr<PanelCore> weak = core.self;
	const std::string chosen = path;
	QTimer::singleShot(0, core.dialog, [weak, chosen] {
		std::shared_ptr<PanelCore> alive = weak.lock();
		if (alive == nullptr)
			return;
		BFilePanel* panel = nullptr;
		{
			std::lock_guard<std::mutex> lock(alive->lock);
			if (!alive->ownerGone)
				panel = alive->owner;
		}
		if (panel != nullptr)
			choose_entries(panel, {chosen});
	});
}

} // namespace FilePanelTesting
} // namespace BPrivate
