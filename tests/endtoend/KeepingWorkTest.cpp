// Work typed into the editor survives its being killed, and a file another
// program changes is reloaded or asked about, as a user at a terminal sees it.
#include <csignal>
#include <filesystem>

#include <Message.h>

#include "EditorFixture.h"
#include "LocaleFile.h"
#include "ScratchFolder.h"
#include "Wait.h"

namespace fs = std::filesystem;

namespace {

const std::vector<std::string> kFileMenu = {"Menu", "File", "of", "MenuBar", "of", "Window", "0"};

std::string AlertText(const EditorSession& editor)
{
	return ResultString(
	    editor.Hey({"get", "Text", "of", "View", "alert_text", "of", "Window", "1"}));
}

HeyResult Press(const EditorSession& editor, int index)
{
	return editor.Hey({"do", "View", "button" + std::to_string(index), "of", "Window", "1"});
}

std::string Title(const EditorSession& editor)
{
	return ResultString(editor.Hey({"get", "Title", "of", "Window", "0"}));
}

int CountJournals(const std::string& folder)
{
	int count = 0;
	std::error_code error;
	for (const fs::directory_entry& entry : fs::directory_iterator(folder, error))
		count += entry.path().extension() == ".journal" ? 1 : 0;
	return count;
}

void WriteLocale(const std::string& path, std::vector<const char*> texts)
{
	BMessage body;
	LocaleFile::Build(&body, "01.00", "application/x-vnd.some-app", "Deutsch", texts.data(),
	                  (long)texts.size());
	ASSERT_EQ(B_OK, LocaleFile::Write(path.c_str(), body, "Deutsch"));
}

std::vector<std::string> SavedTexts(const std::string& path)
{
	BMessage locale;
	std::vector<std::string> texts;
	const char* text = nullptr;
	if (LocaleFile::Read(path.c_str(), &locale) == B_OK) {
		for (int32 i = 0; locale.FindString("zt:text", i, &text) == B_OK; i++)
			texts.emplace_back(text);
	}
	return texts;
}

const int kRestore = 1;
const int kKeepMine = 1;
const int kOverwrite = 1;

} // namespace

TEST(KeepingWork, TextTypedBeforeAKillIsOfferedAtTheNextStartAndRestored)
{
	ScratchFolder state;
	const std::map<std::string, std::string> environment = {{"XDG_STATE_HOME", state.Path()}};
	const std::string journals = state / "korvane-localeeditor";
	const std::string typed = "; #ID1:\n; Ok\nTen minutes of typing\n";
	{
		EditorSession first({}, environment);
		ASSERT_TRUE(first.WaitUntilAnswering(std::chrono::seconds(30)));
		ASSERT_EQ(0, SetLocaleText(first, typed).exitCode);
		ASSERT_TRUE(
		    WaitFor([&] { return CountJournals(journals) == 1; }, std::chrono::seconds(15)));
		first.Kill();
	}

	EditorSession second({}, environment);
	ASSERT_TRUE(second.WaitUntilAnswering(std::chrono::seconds(30)));
	ASSERT_TRUE(WaitFor([&] { return CountWindows(second) == 2; })) << "no Restore question";
	EXPECT_NE(std::string::npos, AlertText(second).find("untitled text")) << AlertText(second);
	EXPECT_EQ("Restore", ResultString(second.Hey(
	                         {"get", "Label", "of", "View", "button1", "of", "Window", "1"})));

	// While it is up, a third editor is not offered the same work.
	{
		EditorSession third({}, environment);
		ASSERT_TRUE(third.WaitUntilAnswering(std::chrono::seconds(30)));
		EXPECT_FALSE(WaitFor([&] { return CountWindows(third) != 1; }, std::chrono::seconds(2)));
	}

	ASSERT_EQ(0, Press(second, kRestore).exitCode);
	EXPECT_TRUE(WaitFor([&] { return LocaleText(second) == typed; })) << LocaleText(second);
	EXPECT_TRUE(WaitFor([&] { return Title(second).find(" *") != std::string::npos; }))
	    << Title(second);
	// The work now lies in the second editor's journal alone.
	EXPECT_TRUE(WaitFor([&] { return CountJournals(journals) == 1; }));
}

TEST(KeepingWork, AnotherProgramsChangeReloadsOrAsksAndSavingOverItAsks)
{
	ScratchFolder folder;
	const std::string path = folder / "Deutsch.locale";
	WriteLocale(path, {"Gut"});
	EditorSession editor({path});
	ASSERT_TRUE(editor.WaitUntilAnswering(std::chrono::seconds(30)));
	ASSERT_TRUE(WaitFor([&] { return LocaleText(editor).find("Gut") != std::string::npos; }));

	// No unsaved work: reloaded at once.
	WriteLocale(path, {"Prima"});
	EXPECT_TRUE(WaitFor([&] { return LocaleText(editor).find("Prima") != std::string::npos; }))
	    << LocaleText(editor);
	EXPECT_EQ(1, CountWindows(editor));

	// Unsaved work: asked, and Keep Mine keeps it.
	ASSERT_EQ(0, SetLocaleText(editor, "; #ID1:\nMeins\n").exitCode);
	WriteLocale(path, {"Fremd"});
	ASSERT_TRUE(WaitFor([&] { return CountWindows(editor) == 2; })) << "no question";
	EXPECT_EQ(0u, AlertText(editor).find("Another program changed " + path));
	ASSERT_EQ(0, Press(editor, kKeepMine).exitCode);
	ASSERT_TRUE(WaitFor([&] { return CountWindows(editor) == 1; }));
	EXPECT_EQ("; #ID1:\nMeins\n", LocaleText(editor));

	// Saving over the other program's file asks first.
	ASSERT_EQ(0, editor.Hey(Of({"do", "MenuItem", "Save"}, kFileMenu)).exitCode);
	ASSERT_TRUE(WaitFor([&] { return CountWindows(editor) == 2; })) << "no question";
	EXPECT_NE(std::string::npos, AlertText(editor).find("Overwrite it with this text?"));
	EXPECT_EQ(std::vector<std::string>{"Fremd"}, SavedTexts(path));
	ASSERT_EQ(0, Press(editor, kOverwrite).exitCode);
	EXPECT_TRUE(WaitFor([&] { return SavedTexts(path) == std::vector<std::string>{"Meins"}; }));
}
