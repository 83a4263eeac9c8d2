// The save panel and the shared open panel.

#include "ZTLEWindow.h"

#include <memory>
#include <string>

#include "Application.h"
#include "Entry.h"
#include "FilePanel.h"
#include "Message.h"
#include "Messenger.h"
#include "Path.h"
#include "TextControl.h"

#include "AppFolder.h"
#include "EditorMessages.h"
#include "LocaleFile.h"
#include "LocaleFileFilter.h"
#include "Preferences.h"

namespace {

// A new file is proposed with the type's extension, so the desktop knows it
// as a locale file by its name as well as by its content.
const char* const kLocaleExtension = ".locale";

BFilePanel* NewPanel(file_panel_mode mode)
{
	return new BFilePanel(mode, nullptr, nullptr, 0, true, nullptr, nullptr, false, true);
}

} // namespace

bool ZTLEWindow::FileSavePanel()
{
	BMessage message(kMsgSaveFile);
	if (!CheckInputFields())
		return false;

	if (mSavePanel == nullptr) {
		mSavePanel.reset(NewPanel(B_SAVE_PANEL));
		mSavePanel->SetTarget(BMessenger(nullptr, this));
		mSavePanel->SetMessage(&message);
		mSavePanel->SetTitle(_Text(kTextSaveAs));
		mSavePanel->SetTypeDescription(kLocaleMimeType, _Text(kTextLocaleFile));

		std::string loadPath = _LoadPath();
		entry_ref folder;
		BPath path;
		if (mOpenPanel != nullptr) {
			mOpenPanel->GetPanelDirectory(&folder);
			mSavePanel->SetPanelDirectory(&folder);
		} else if (!loadPath.empty() && path.SetTo(loadPath.c_str()) == B_OK) {
			if (path.Leaf() != nullptr)
				mSavePanel->SetSaveText(path.Leaf());
			BPath parent;
			if (path.GetParent(&parent) == B_OK)
				mSavePanel->SetPanelDirectory(parent.Path());
		} else if (GetAppFolder(be_app, &path) == B_OK)
			mSavePanel->SetPanelDirectory(path.Path());
		BTextControl* language = _TextControl(kLanguageControl);
		if (loadPath.empty() && language != nullptr && language->Text() != nullptr)
			mSavePanel->SetSaveText((std::string(language->Text()) + kLocaleExtension).c_str());
	}
	// Save As starts from the file being edited.
	BPath current;
	BPath currentFolder;
	if (!mDocument.File().empty() && current.SetTo(mDocument.File().c_str()) == B_OK &&
	    current.GetParent(&currentFolder) == B_OK) {
		mSavePanel->SetPanelDirectory(currentFolder.Path());
		mSavePanel->SetSaveText(current.Leaf());
	}
	if (!mSavePanel->IsShowing())
		mSavePanel->Show();
	return true;
}

void ZTLEWindow::LoadPanel(int32 what)
{
	BMessage message(what);
	if (mOpenPanel == nullptr) {
		mOpenPanel.reset(NewPanel(B_OPEN_PANEL));
		mOpenPanel->SetTarget(BMessenger(nullptr, this));
		if (mLocaleFilter == nullptr)
			mLocaleFilter = std::make_unique<LocaleFileFilter>();
		mOpenPanel->AddFilterChoice(_Text(kTextLocaleFiles), mLocaleFilter.get());
		mOpenPanel->AddFilterChoice(_Text(kTextAllFiles), nullptr);
		mOpenPanel->SetTypeDescription(kLocaleMimeType, _Text(kTextLocaleFile));

		std::string loadPath = _LoadPath();
		BPath path;
		BPath parent;
		if (!loadPath.empty() && path.SetTo(loadPath.c_str()) == B_OK &&
		    path.GetParent(&parent) == B_OK)
			mOpenPanel->SetPanelDirectory(parent.Path());
		else if (GetAppFolder(be_app, &path) == B_OK)
			mOpenPanel->SetPanelDirectory(path.Path());
	}
	mOpenPanel->SetMessage(&message);
	// One panel serves both buttons; its title says which file it loads.
	mOpenPanel->SetTitle(
	    _Text(what == kMsgLoadRefFile ? kTextLoadReferenceTip : kTextLoadTranslationTip));
	if (!mOpenPanel->IsShowing())
		mOpenPanel->Show();
}
