// The window tests of saving and loading: a fixture that fills the header,
// sets the text and answers the panels as they answer, and readers of
// what a save wrote.
#ifndef TESTS_EDITOR_FILE_COMMANDS_TEST_SUPPORT_H
#define TESTS_EDITOR_FILE_COMMANDS_TEST_SUPPORT_H

#include <string>
#include <vector>

#include <Entry.h>
#include <FilePanel.h>
#include <FilePanelTesting.h>
#include <Message.h>
#include <TextControl.h>
#include <TextView.h>

#include "EditorMessages.h"
#include "EditorTestSupport.h"
#include "LocaleFile.h"

namespace FP = BPrivate::FilePanelTesting;

inline std::vector<std::string> Texts(const BMessage& locale)
{
	std::vector<std::string> texts;
	const char* text = nullptr;
	for (int32 i = 0; locale.FindString("zt:text", i, &text) == B_OK; i++)
		texts.emplace_back(text);
	return texts;
}

inline std::string Field(const BMessage& locale, const char* name)
{
	const char* value = nullptr;
	return locale.FindString(name, 0, &value) == B_OK ? value : "<none>";
}

inline BFilePanel* LastPanel(file_panel_mode mode)
{
	BFilePanel* last = nullptr;
	for (BFilePanel* panel : FP::panels_on_screen()) {
		if (panel->PanelMode() == mode)
			last = panel;
	}
	return last;
}

inline int CountPanels(file_panel_mode mode)
{
	int count = 0;
	for (BFilePanel* panel : FP::panels_on_screen())
		count += panel->PanelMode() == mode && panel->IsShowing() ? 1 : 0;
	return count;
}

inline void WriteLocaleFile(const std::string& path, const char* language,
                            std::vector<const char*> texts)
{
	BMessage locale;
	LocaleFile::Build(&locale, "02.00", "some app", language, texts.data(), (long)texts.size());
	ASSERT_EQ(LocaleFile::Write(path.c_str(), locale, language), B_OK);
}

class FileCommandsTest : public EditorWindowTest
{
protected:
	void FillHeader(const char* language = "Deutsch", const char* version = "01.00",
	                const char* appID = "some app")
	{
		ASSERT_TRUE(mWindow->Lock());
		SetControlText("txtctrl_language", language);
		SetControlText("txtctrl_version", version);
		SetControlText("txtctrl_appid", appID);
		mWindow->Unlock();
	}

	void SetEditedText(const std::string& text)
	{
		ASSERT_TRUE(mWindow->Lock());
		SetText(text);
		mWindow->Unlock();
	}

	// Fills the header for language and the text, then asks for a save with
	// command: the save panel that opened, nullptr when none did.
	BFilePanel* SavePanelFor(const char* language, const std::string& text,
	                         uint32 command = kMsgSaveFilePanel)
	{
		FillHeader(language);
		SetEditedText(text);
		Dispatch(command);
		return LastPanel(B_SAVE_PANEL);
	}

	// The save panel's reply, as the panel sends it.
	void SaveAs(const std::string& folder, const std::string& name)
	{
		BMessage reply(kMsgSaveFile);
		entry_ref ref;
		ASSERT_EQ(get_ref_for_path(folder.c_str(), &ref), B_OK);
		reply.AddRef("directory", &ref);
		reply.AddString("name", name.c_str());
		Dispatch(reply);
	}

	void Open(uint32 what, const std::string& path)
	{
		BMessage reply(what);
		entry_ref ref;
		ASSERT_EQ(get_ref_for_path(path.c_str(), &ref), B_OK);
		reply.AddRef("refs", &ref);
		Dispatch(reply);
	}

	std::string Pref(const char* key) { return mPrefs->GetString(key, "<none>"); }

	bool HasFocus(const char* name)
	{
		BTextControl* control = Control(name);
		return control != nullptr &&
		       (control->IsFocus() || (control->TextView() && control->TextView()->IsFocus()));
	}

	ScratchFolder mFolder;
};

#endif // TESTS_EDITOR_FILE_COMMANDS_TEST_SUPPORT_H
