// The private side of BFilePanel: the panel's state, shared with work that
// runs later on the main thread, and its Qt file dialog.
#ifndef FILE_PANEL_IMPL_H
#define FILE_PANEL_IMPL_H

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "FilePanel.h"

class QFileDialog;

namespace BPrivate {

class PanelDialog;

struct PanelCore
{
	mutable std::mutex lock;
	BFilePanel* owner = nullptr; // compared only: queued work may outlive it
	std::weak_ptr<PanelCore> self;
	bool ownerGone = false; // the BFilePanel was deleted
	file_panel_mode mode = B_OPEN_PANEL;
	bool hasTarget = false;
	BMessenger target;
	BMessage message;
	uint32 flavors = B_FILE_NODE;
	bool multiple = true;
	BRefFilter* filter = nullptr;
	bool modal = false;
	bool hideWhenDone = true;
	std::string directory; // resolved path of the folder shown
	std::string saveText;
	std::string title; // "" for the mode's own
	// Offered beside the name field, each with the label shown for it.
	std::vector<std::pair<std::string, BRefFilter*>> filterChoices;
	// Words for file types in the type column, by MIME type.
	std::map<std::string, std::string> typeDescriptions;
	bool showing = false;

	// Main thread only.
	PanelDialog* dialog = nullptr;
	// Set by the test seam: the answer to "replace the existing file?".
	int replaceAnswer = -1; // -1: ask the user
};

class FilePanelImpl
{
public:
	FilePanelImpl(BFilePanel* owner);
	~FilePanelImpl();

	std::shared_ptr<PanelCore> Core() const { return mCore; }
	// Runs work on the panel's state under its lock, on the calling thread,
	// and gives back what work returns.
	template <typename Work> auto Locked(Work work) const
	{
		std::lock_guard<std::mutex> lock(mCore->lock);
		return work(*mCore);
	}

	// Runs work on the main thread: at once when called there, else queued.
	void OnMain(std::function<void(PanelCore&)> work);

	// Main thread: makes the dialog when there is none (needs a
	// QApplication); false when it cannot.
	static bool EnsureDialog(PanelCore& core);
	static void ApplyDirectory(PanelCore& core);
	// Offers the filter choices in the dialog.
	static void ApplyFilterChoices(PanelCore& core);
	// Puts the filter choice of that label in force and lists anew.
	static void ChooseFilter(PanelCore& core, const std::string& label);
	static void Show(PanelCore& core);
	static void Hide(PanelCore& core);

	// The replies.
	static void Accept(PanelCore& core, const std::vector<std::string>& paths);
	static void Cancel(PanelCore& core);

private:
	std::shared_ptr<PanelCore> mCore;
};

// The panels shown, in showing order (main thread only).
std::vector<BFilePanel*>& shown_panels();

namespace FilePanelTesting {
// An open panel just shown chooses the file kPanelChoiceVariable names,
// when it names one (FilePanelTesting.h).
void answer_from_environment(PanelCore& core);
} // namespace FilePanelTesting

} // namespace BPrivate

#endif // FILE_PANEL_IMPL_H
