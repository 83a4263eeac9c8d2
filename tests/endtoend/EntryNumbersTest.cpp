// Every entry keeps its number whatever way a translator takes: a
// translation opened alone, the reference opened after it or before it, each
// saved again and read back entry by entry.
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <File.h>
#include <Message.h>

#include "EditorFixture.h"
#include "EnvironmentGuard.h"
#include "FilePanelTesting.h"
#include "LocaleFile.h"
#include "ScratchFolder.h"
#include "ToolRun.h"
#include "Wait.h"

namespace {

const std::vector<std::string> kFileMenu = {"Menu", "File", "of", "MenuBar", "of", "Window", "0"};

std::vector<std::string> SavedEntries(const std::string& path)
{
	std::vector<std::string> entries;
	BFile file(path.c_str(), B_READ_ONLY);
	BMessage locale;
	if (LocaleFile::Read(&file, &locale) != B_OK)
		return {"(unreadable)"};
	const char* text = nullptr;
	for (int32 i = 0; locale.FindString(kLocaleFieldText, i, &text) == B_OK; i++)
		entries.emplace_back(text);
	return entries;
}

bool WriteLocale(const std::string& path, const char* language,
                 const std::vector<std::string>& entries)
{
	std::vector<const char*> texts;
	for (const std::string& entry : entries)
		texts.push_back(entry.c_str());
	BMessage body;
	LocaleFile::Build(&body, "1.0", "application/x-vnd.demo", language, texts.data(),
	                  (long)texts.size());
	return LocaleFile::Write(path.c_str(), body, language) == B_OK;
}

// The entry lines of localetool's dump ("7 = \x20\x20px"), in order.
std::vector<std::string> Dumped(const std::string& path, const ScratchFolder& scratch)
{
	const ToolRun run = RunLocaleTool("dump " + ShellQuote(path), scratch);
	if (run.status != 0)
		return {"(dump failed: " + run.err + ")"};
	std::vector<std::string> lines;
	for (size_t start = 0; start < run.out.size();) {
		size_t end = run.out.find('\n', start);
		if (end == std::string::npos)
			end = run.out.size();
		const std::string line = run.out.substr(start, end - start);
		if (!line.empty() && line[0] >= '1' && line[0] <= '9')
			lines.push_back(line);
		start = end + 1;
	}
	return lines;
}

struct timespec Modified(const std::string& path)
{
	struct stat info = {};
	stat(path.c_str(), &info);
	return info.st_mtim;
}

class EntryNumbers : public testing::Test
{
protected:
	void SetUp() override
	{
		mReference = mFolder.Path() + "/English.locale";
		mTranslation = mFolder.Path() + "/Deutsch.locale";
		std::vector<std::string> english;
		for (int k = 1; k <= 40; k++) {
			english.push_back("Text " + std::to_string(k));
			// Empty in the middle and at the end; leading blanks, a leading
			// ';' and a text that reads like the escape of a blank.
			mEntries.push_back(k == 6 || k == 24 || k == 36 || k >= 39 ? ""
			                   : k == 7                                ? "  px"
			                   : k == 8                                ? ";-) smiley"
			                   : k == 9                                ? "\\x20wie getippt"
			                            : "Text " + std::to_string(k) + " auf Deutsch");
		}
		ASSERT_TRUE(WriteLocale(mReference, "English", english));
		ASSERT_TRUE(WriteLocale(mTranslation, "Deutsch", mEntries));
		mDumped = Dumped(mTranslation, mFolder);
		ASSERT_EQ(mDumped.size(), 40u) << "every entry is dumped, empty ones too";
	}

	std::string LocaleText() const
	{
		return ResultString(mEditor->Hey(Of({"get", "Text"}, kLocaleText)));
	}

	bool Choose(const std::vector<std::string>& item) const
	{
		std::vector<std::string> words = {"do", "MenuItem"};
		words.insert(words.end(), item.begin(), item.end());
		return mEditor->Hey(Of(words, kFileMenu)).exitCode == 0;
	}

	// File > Save, and the saved file read back; its dump must be the
	// first file's, index by index.
	std::vector<std::string> Save() const
	{
		const struct timespec before = Modified(mTranslation);
		if (!Choose({"Save"}))
			return {"(no save)"};
		const bool written = WaitFor([&] {
			const struct timespec now = Modified(mTranslation);
			return now.tv_sec != before.tv_sec || now.tv_nsec != before.tv_nsec;
		});
		if (!written)
			return {"(not written)"};
		EXPECT_EQ(Dumped(mTranslation, mFolder), mDumped);
		return SavedEntries(mTranslation);
	}

	ScratchFolder mFolder;
	std::string mReference;
	std::string mTranslation;
	std::vector<std::string> mEntries;
	std::vector<std::string> mDumped;
	EditorSession* mEditor = nullptr;
};

} // namespace

TEST_F(EntryNumbers, AnyOrderOfOpeningAndSavingKeepsEveryEntryAtItsNumber)
{
	// The open panel answers with the reference, as a user choosing it.
	EnvironmentGuard choice(BPrivate::FilePanelTesting::kPanelChoiceVariable, mReference);
	EditorSession editor({mTranslation});
	mEditor = &editor;
	ASSERT_TRUE(editor.WaitUntilAnswering(std::chrono::seconds(30)));
	ASSERT_TRUE(WaitFor([&] { return LocaleText().find("Text 38 auf") != std::string::npos; }));

	// Opened alone: a marker for every entry, empty ones too, and the odd
	// beginnings shown so that the line keeps them.
	const std::string alone = LocaleText();
	EXPECT_EQ(std::count(alone.begin(), alone.end(), '\n'), 80) << alone;
	EXPECT_NE(alone.find("; #ID40:\n\n"), std::string::npos) << alone;
	EXPECT_NE(alone.find("; #ID7:\n\\x20\\x20px\n"), std::string::npos) << alone;
	EXPECT_NE(alone.find("; #ID8:\n\\x3b-) smiley\n"), std::string::npos) << alone;
	EXPECT_EQ(Save(), mEntries);

	// The reference after the file.
	ASSERT_TRUE(Choose({"Open Reference..."}));
	ASSERT_TRUE(WaitFor([&] { return LocaleText().find("; Text 40\n") != std::string::npos; }));
	const std::string fileFirst = LocaleText();
	EXPECT_NE(fileFirst.find("; #ID6:\n; Text 6\n\n; #ID7:\n; Text 7\n\\x20\\x20px\n"),
	          std::string::npos)
	    << fileFirst;
	EXPECT_EQ(Save(), mEntries);

	// The reference before the file, the file from Open Recent.
	ASSERT_TRUE(Choose({"New"}));
	ASSERT_TRUE(WaitFor([&] { return LocaleText().empty(); }));
	ASSERT_TRUE(Choose({"Open Reference..."}));
	ASSERT_TRUE(WaitFor([&] { return LocaleText().find("; Text 40\n") != std::string::npos; }));
	ASSERT_TRUE(Choose({mTranslation, "of", "Menu", "Open Recent"}));
	ASSERT_TRUE(WaitFor([&] { return LocaleText().find("Text 38 auf") != std::string::npos; }));
	EXPECT_EQ(LocaleText(), fileFirst) << "both orders give one text";
	EXPECT_EQ(Save(), mEntries);
}
