// BFilePanel: a non-modal window for choosing files to open or a name to
// save under. It answers its target with a message.
#ifndef _FILE_PANEL_H
#define _FILE_PANEL_H

#include <memory>
#include <sys/stat.h>

#include "EntryRef.h"
#include "Message.h"
#include "Messenger.h"
#include "StorageDefs.h"
#include "SupportDefs.h"

class BDirectory;
class BEntry;
class BNode;

enum file_panel_mode { B_OPEN_PANEL, B_SAVE_PANEL };

// Decides which entries an open panel lists.
class BRefFilter
{
public:
	virtual ~BRefFilter();
	virtual bool Filter(const entry_ref* ref, BNode* node, struct stat* st,
	                    const char* mimeType) = 0;
};

namespace BPrivate {
class FilePanelImpl;
}

// Replies, sent to the target when the user is done:
//  - open panel: a copy of the panel's message (default B_REFS_RECEIVED)
//    with "refs" (B_REF_TYPE), one entry_ref per chosen entry;
//  - save panel: a copy of the panel's message (default B_SAVE_REQUESTED)
//    with "directory" (entry_ref of the folder) and "name" (string);
//  - cancel or close: B_CANCEL with "old_what" (int32, the panel message's
//    what).
// The default target is be_app_messenger.
//
// Threads: the panel's window lives on the Qt main thread. Calls from
// another thread are carried over to it; Show and Hide then return before
// the window changes.
class BFilePanel
{
public:
	// nodeFlavors: what an open panel lets the user choose (B_FILE_NODE,
	// B_DIRECTORY_NODE, or both; 0 means files). The panel copies message;
	// filter stays the caller's.
	BFilePanel(file_panel_mode mode = B_OPEN_PANEL, BMessenger* target = nullptr,
	           const entry_ref* directory = nullptr, uint32 nodeFlavors = 0,
	           bool allowMultipleSelection = true, BMessage* message = nullptr,
	           BRefFilter* filter = nullptr, bool modal = false, bool hideWhenDone = true);
	virtual ~BFilePanel();

	void Show();
	void Hide();
	bool IsShowing() const;

	void SetTarget(BMessenger target);
	BMessenger Messenger() const;
	// The panel keeps its own copy; nullptr restores the default message.
	void SetMessage(BMessage* message);

	// For a folder that does not exist (or a file), the panel goes to the
	// nearest folder above it that exists. nullptr changes nothing.
	void SetPanelDirectory(const entry_ref* ref);
	void SetPanelDirectory(const BEntry* entry);
	void SetPanelDirectory(const BDirectory* dir);
	void SetPanelDirectory(const char* path);
	void GetPanelDirectory(entry_ref* ref) const;

	// The name a save panel proposes.
	void SetSaveText(const char* text);
	// The panel window's title (the framework's Window()->SetTitle(); this
	// layer's panel is no BWindow). nullptr or "": the mode's own title.
	void SetTitle(const char* title);

	void SetRefFilter(BRefFilter* filter);
	// A choice of filters offered beside the name field, as desktop panels
	// offer file types (an extension of the layer: the framework's panel
	// takes one filter). label names what the choice lists; a nullptr filter
	// lists everything. The first choice added is in force at first. The
	// filters stay the caller's.
	void AddFilterChoice(const char* label, BRefFilter* filter);
	// The words the panel's type column shows for files of mimeType (the
	// framework takes them from the MIME database's short description,
	// which this layer does not keep). Without them the column shows the
	// desktop's description of the type, or the type itself.
	void SetTypeDescription(const char* mimeType, const char* description);
	BRefFilter* RefFilter() const;
	file_panel_mode PanelMode() const;
	void SetHideWhenDone(bool hideWhenDone);
	bool HidesWhenDone() const;

	// Layer-internal.
	BPrivate::FilePanelImpl* Impl() const { return mImpl.get(); }

private:
	BFilePanel(const BFilePanel&) = delete;
	BFilePanel& operator=(const BFilePanel&) = delete;

	std::unique_ptr<BPrivate::FilePanelImpl> mImpl;
};

#endif // _FILE_PANEL_H
