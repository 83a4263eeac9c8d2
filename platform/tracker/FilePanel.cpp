#include "FilePanel.h"

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QMetaObject>
#include <QThread>
#include <algorithm>
#include <unistd.h>

#include "Application.h"
#include "Directory.h"
#include "Entry.h"
#include "FilePanelImpl.h"
#include "PanelDialog.h"
#include "Path.h"

BRefFilter::~BRefFilter() {}

namespace BPrivate {

namespace {

uint32 default_what(file_panel_mode mode)
{
	return mode == B_SAVE_PANEL ? (uint32)B_SAVE_REQUESTED : (uint32)B_REFS_RECEIVED;
}

bool on_main_thread()
{
	return QCoreApplication::instance() == nullptr ||
	       QThread::currentThread() == QCoreApplication::instance()->thread();
}

// The folder a path names, resolved; empty when it is no folder.
std::string folder_path(const char* path)
{
	if (path == nullptr || path[0] == '\0')
		return std::string();
	BEntry entry(path, true);
	if (entry.InitCheck() != B_OK || !entry.IsDirectory())
		return std::string();
	return entry.FullPath();
}

// For a place that is gone (a folder removed since it was last used): the
// nearest folder above it that still exists.
std::string nearest_folder(const char* path)
{
	if (path == nullptr || path[0] == '\0')
		return std::string();
	BPath place(path);
	while (place.InitCheck() == B_OK) {
		std::string folder = folder_path(place.Path());
		if (!folder.empty())
			return folder;
		BPath parent;
		if (place.GetParent(&parent) != B_OK)
			break;
		place = parent;
	}
	return std::string();
}

void send(PanelCore& core, BMessage& message)
{
	BMessenger target;
	{
		std::lock_guard<std::mutex> lock(core.lock);
		target = core.hasTarget ? core.target : be_app_messenger;
	}
	target.SendMessage(&message);
}

void forget_shown(BFilePanel* panel)
{
	std::vector<BFilePanel*>& shown = shown_panels();
	shown.erase(std::remove(shown.begin(), shown.end(), panel), shown.end());
}

} // namespace

std::vector<BFilePanel*>& shown_panels()
{
	static std::vector<BFilePanel*> sShown;
	return sShown;
}

FilePanelImpl::FilePanelImpl(BFilePanel* owner) : mCore(std::make_shared<PanelCore>())
{
	mCore->owner = owner;
	mCore->self = mCore;
}

FilePanelImpl::~FilePanelImpl()
{
	{
		std::lock_guard<std::mutex> lock(mCore->lock);
		mCore->ownerGone = true;
	}
	OnMain([](PanelCore& core) {
		forget_shown(core.owner);
		if (core.dialog != nullptr) {
			core.dialog->hide();
			core.dialog->deleteLater();
			core.dialog = nullptr;
		}
	});
}

void FilePanelImpl::OnMain(std::function<void(PanelCore&)> work)
{
	if (on_main_thread()) {
		work(*mCore);
		return;
	}
	// The core outlives the panel as long as the queued work holds it.
	std::shared_ptr<PanelCore> core = mCore;
	QMetaObject::invokeMethod(
	    QCoreApplication::instance(), [core, work]() { work(*core); }, Qt::QueuedConnection);
}

bool FilePanelImpl::EnsureDialog(PanelCore& core)
{
	if (core.dialog != nullptr)
		return true;
	if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr)
		return false;
	std::shared_ptr<PanelCore> shared = core.self.lock();
	if (shared == nullptr)
		return false;
	file_panel_mode mode;
	uint32 flavors;
	bool multiple;
	bool modal;
	std::string directory;
	std::string saveText;
	std::string title;
	{
		// Copied out: the dialog calls back into the filter, which locks.
		std::lock_guard<std::mutex> lock(core.lock);
		mode = core.mode;
		flavors = core.flavors;
		multiple = core.multiple;
		modal = core.modal;
		directory = core.directory;
		saveText = core.saveText;
		title = core.title;
	}
	PanelDialog* dialog = new PanelDialog(shared);
	if (mode == B_SAVE_PANEL) {
		dialog->setAcceptMode(QFileDialog::AcceptSave);
		dialog->setFileMode(QFileDialog::AnyFile);
		dialog->setWindowTitle(QObject::tr("Save"));
	} else {
		dialog->setAcceptMode(QFileDialog::AcceptOpen);
		if (flavors == B_DIRECTORY_NODE) {
			dialog->setFileMode(QFileDialog::Directory);
			dialog->setOption(QFileDialog::ShowDirsOnly);
		} else {
			dialog->setFileMode(multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
		}
		dialog->setWindowTitle(QObject::tr("Open"));
	}
	if (!title.empty())
		dialog->setWindowTitle(QString::fromStdString(title));
	dialog->setModal(modal);
	dialog->setProxyModel(new RefFilterProxy(shared, dialog));
	dialog->setDirectory(QString::fromStdString(directory));
	if (mode == B_SAVE_PANEL && !saveText.empty())
		dialog->selectFile(QString::fromStdString(saveText));
	std::weak_ptr<PanelCore> weak = shared;
	// Choices added later reach the dialog through ApplyFilterChoices.
	QObject::connect(dialog, &QFileDialog::filterSelected, dialog, [weak](const QString& name) {
		std::shared_ptr<PanelCore> core = weak.lock();
		if (core != nullptr)
			ChooseFilter(*core, name.section(QStringLiteral(" ("), 0, 0).toStdString());
	});
	QObject::connect(dialog, &QFileDialog::directoryEntered, dialog, [weak](const QString& path) {
		std::shared_ptr<PanelCore> core = weak.lock();
		if (core == nullptr)
			return;
		std::string resolved = folder_path(path.toStdString().c_str());
		std::lock_guard<std::mutex> lock(core->lock);
		if (!resolved.empty())
			core->directory = resolved;
	});
	core.dialog = dialog;
	ApplyFilterChoices(core);
	return true;
}

void FilePanelImpl::ApplyFilterChoices(PanelCore& core)
{
	if (core.dialog == nullptr)
		return;
	QStringList names;
	{
		std::lock_guard<std::mutex> lock(core.lock);
		// The labels alone, without the "(*)" every choice carries.
		for (const auto& choice : core.filterChoices)
			names << QString::fromStdString(choice.first) + QStringLiteral(" (*)");
	}
	if (names.isEmpty())
		return;
	core.dialog->setOption(QFileDialog::HideNameFilterDetails);
	core.dialog->setNameFilters(names);
}

void FilePanelImpl::ChooseFilter(PanelCore& core, const std::string& label)
{
	{
		std::lock_guard<std::mutex> lock(core.lock);
		for (const auto& choice : core.filterChoices) {
			if (choice.first == label)
				core.filter = choice.second;
		}
	}
	if (core.dialog == nullptr)
		return;
	const QString name = QString::fromStdString(label) + QStringLiteral(" (*)");
	if (core.dialog->selectedNameFilter() != name)
		core.dialog->selectNameFilter(name);
	if (auto* proxy = qobject_cast<QSortFilterProxyModel*>(core.dialog->proxyModel()))
		proxy->invalidate();
}

void FilePanelImpl::ApplyDirectory(PanelCore& core)
{
	if (core.dialog == nullptr)
		return;
	std::string directory;
	{
		std::lock_guard<std::mutex> lock(core.lock);
		directory = core.directory;
	}
	core.dialog->setDirectory(QString::fromStdString(directory));
}

void FilePanelImpl::Show(PanelCore& core)
{
	{
		std::lock_guard<std::mutex> lock(core.lock);
		if (core.ownerGone)
			return;
	}
	if (!EnsureDialog(core))
		return;
	core.dialog->show();
	// The offscreen platform of tests has no window stack to raise in.
	if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
		core.dialog->raise();
		core.dialog->activateWindow();
	}
	forget_shown(core.owner);
	shown_panels().push_back(core.owner);
	{
		std::lock_guard<std::mutex> lock(core.lock);
		core.showing = true;
	}
	FilePanelTesting::answer_from_environment(core);
}

void FilePanelImpl::Hide(PanelCore& core)
{
	if (core.dialog != nullptr)
		core.dialog->hide();
	forget_shown(core.owner);
	std::lock_guard<std::mutex> lock(core.lock);
	core.showing = false;
}

void FilePanelImpl::Accept(PanelCore& core, const std::vector<std::string>& paths)
{
	BMessage reply;
	file_panel_mode mode;
	bool hideWhenDone;
	{
		std::lock_guard<std::mutex> lock(core.lock);
		reply = core.message;
		mode = core.mode;
		hideWhenDone = core.hideWhenDone;
	}
	bool complete = !paths.empty();
	if (complete && mode == B_SAVE_PANEL) {
		BPath chosen(paths.front().c_str());
		BPath folder;
		entry_ref folderRef;
		if (chosen.InitCheck() != B_OK || chosen.GetParent(&folder) != B_OK ||
		    get_ref_for_path(folder.Path(), &folderRef) != B_OK ||
		    !BEntry(&folderRef).IsDirectory()) {
			complete = false;
		} else {
			reply.AddRef("directory", &folderRef);
			reply.AddString("name", chosen.Leaf());
		}
	} else if (complete) {
		for (const std::string& path : paths) {
			entry_ref ref;
			if (get_ref_for_path(path.c_str(), &ref) == B_OK)
				reply.AddRef("refs", &ref);
		}
		complete = reply.HasRef("refs");
	}
	if (!complete) {
		// Nothing usable was chosen (a folder that vanished meanwhile):
		// the panel stays for another try.
		Show(core);
		return;
	}
	{
		// The panel is left where the user chose, as if navigated there.
		BPath first(paths.front().c_str());
		BPath parent;
		std::string where = mode == B_SAVE_PANEL || first.GetParent(&parent) != B_OK
		                        ? std::string()
		                        : folder_path(parent.Path());
		if (mode == B_SAVE_PANEL) {
			entry_ref folderRef;
			if (reply.FindRef("directory", &folderRef) == B_OK)
				where = folder_path(folderRef.FullPath().c_str());
		}
		std::lock_guard<std::mutex> lock(core.lock);
		if (!where.empty())
			core.directory = where;
	}
	if (hideWhenDone)
		Hide(core);
	else
		Show(core);
	send(core, reply);
}

void FilePanelImpl::Cancel(PanelCore& core)
{
	BMessage cancel(B_CANCEL);
	{
		std::lock_guard<std::mutex> lock(core.lock);
		cancel.AddInt32("old_what", (int32)core.message.what);
	}
	Hide(core);
	send(core, cancel);
}

} // namespace BPrivate

using BPrivate::FilePanelImpl;
using BPrivate::PanelCore;

BFilePanel::BFilePanel(file_panel_mode mode, BMessenger* target, const entry_ref* directory,
                       uint32 nodeFlavors, bool allowMultipleSelection, BMessage* message,
                       BRefFilter* filter, bool modal, bool hideWhenDone)
    : mImpl(std::make_unique<FilePanelImpl>(this))
{
	std::shared_ptr<PanelCore> core = mImpl->Core();
	core->mode = mode;
	core->hasTarget = target != nullptr;
	if (target != nullptr)
		core->target = *target;
	core->message = message != nullptr ? *message : BMessage(BPrivate::default_what(mode));
	core->flavors = nodeFlavors != 0 ? nodeFlavors : (uint32)B_FILE_NODE;
	core->multiple = allowMultipleSelection;
	core->filter = filter;
	core->modal = modal;
	core->hideWhenDone = hideWhenDone;
	std::string start;
	if (directory != nullptr)
		start = BPrivate::nearest_folder(directory->FullPath().c_str());
	if (start.empty()) {
		char* cwd = getcwd(nullptr, 0);
		if (cwd != nullptr) {
			start = BPrivate::folder_path(cwd);
			free(cwd);
		}
	}
	core->directory = start.empty() ? std::string("/") : start;
	// Made now when we can, so that it is ready at the first Show.
	mImpl->OnMain([](PanelCore& core) { FilePanelImpl::EnsureDialog(core); });
}

BFilePanel::~BFilePanel() = default;

void BFilePanel::Show()
{
	mImpl->OnMain([](PanelCore& core) { FilePanelImpl::Show(core); });
}

void BFilePanel::Hide()
{
	mImpl->OnMain([](PanelCore& core) { FilePanelImpl::Hide(core); });
}

bool BFilePanel::IsShowing() const
{
	return mImpl->Locked([](PanelCore& core) { return core.showing; });
}

void BFilePanel::SetTarget(BMessenger target)
{
	mImpl->Locked([&](PanelCore& core) {
		core.hasTarget = true;
		core.target = target;
	});
}

BMessenger BFilePanel::Messenger() const
{
	return mImpl->Locked(
	    [](PanelCore& core) { return core.hasTarget ? core.target : be_app_messenger; });
}

void BFilePanel::SetMessage(BMessage* message)
{
	mImpl->Locked([&](PanelCore& core) {
		core.message = message != nullptr ? *message : BMessage(BPrivate::default_what(core.mode));
	});
}

void BFilePanel::SetPanelDirectory(const entry_ref* ref)
{
	if (ref != nullptr)
		SetPanelDirectory(ref->FullPath().c_str());
}

void BFilePanel::SetPanelDirectory(const BEntry* entry)
{
	if (entry != nullptr && entry->InitCheck() == B_OK)
		SetPanelDirectory(entry->FullPath().c_str());
}

void BFilePanel::SetPanelDirectory(const BDirectory* dir)
{
	if (dir != nullptr && dir->InitCheck() == B_OK)
		SetPanelDirectory(dir->NodePath());
}

void BFilePanel::SetPanelDirectory(const char* path)
{
	std::string folder = BPrivate::nearest_folder(path);
	if (folder.empty())
		return;
	mImpl->Locked([&](PanelCore& core) { core.directory = folder; });
	mImpl->OnMain([](PanelCore& core) { FilePanelImpl::ApplyDirectory(core); });
}

void BFilePanel::GetPanelDirectory(entry_ref* ref) const
{
	if (ref == nullptr)
		return;
	const std::string directory = mImpl->Locked([](PanelCore& core) { return core.directory; });
	if (get_ref_for_path(directory.c_str(), ref) != B_OK)
		*ref = entry_ref();
}

void BFilePanel::SetSaveText(const char* text)
{
	std::string saveText = text != nullptr ? text : "";
	mImpl->Locked([&](PanelCore& core) { core.saveText = saveText; });
	mImpl->OnMain([saveText](PanelCore& core) {
		if (core.dialog != nullptr && core.mode == B_SAVE_PANEL)
			core.dialog->selectFile(QString::fromStdString(saveText));
	});
}

void BFilePanel::SetTitle(const char* title)
{
	std::string text = title != nullptr ? title : "";
	mImpl->Locked([&](PanelCore& core) { core.title = text; });
	mImpl->OnMain([text](PanelCore& core) {
		if (core.dialog != nullptr && !text.empty())
			core.dialog->setWindowTitle(QString::fromStdString(text));
	});
}

void BFilePanel::AddFilterChoice(const char* label, BRefFilter* filter)
{
	mImpl->Locked([&](PanelCore& core) {
		if (core.filterChoices.empty())
			core.filter = filter;
		core.filterChoices.emplace_back(label != nullptr ? label : "", filter);
	});
	mImpl->OnMain([](PanelCore& core) { FilePanelImpl::ApplyFilterChoices(core); });
}

void BFilePanel::SetTypeDescription(const char* mimeType, const char* description)
{
	if (mimeType == nullptr || description == nullptr)
		return;
	mImpl->Locked([&](PanelCore& core) { core.typeDescriptions[mimeType] = description; });
}

void BFilePanel::SetRefFilter(BRefFilter* filter)
{
	mImpl->Locked([&](PanelCore& core) { core.filter = filter; });
	mImpl->OnMain([](PanelCore& core) {
		if (core.dialog == nullptr)
			return;
		if (auto* proxy = qobject_cast<QSortFilterProxyModel*>(core.dialog->proxyModel()))
			proxy->invalidate();
	});
}

BRefFilter* BFilePanel::RefFilter() const
{
	return mImpl->Locked([](PanelCore& core) { return core.filter; });
}

file_panel_mode BFilePanel::PanelMode() const
{
	return mImpl->Core()->mode;
}

void BFilePanel::SetHideWhenDone(bool hideWhenDone)
{
	mImpl->Locked([&](PanelCore& core) { core.hideWhenDone = hideWhenDone; });
}

bool BFilePanel::HidesWhenDone() const
{
	return mImpl->Locked([](PanelCore& core) { return core.hideWhenDone; });
}
