// Entries anchored to their markers through the window: skipped and deleted
// entries keep every later one in its place, a doubled entry refuses the
// save before anything is touched, empty entries survive load and save, and
// reference and file give one layout in either order.

#include <filesystem>

#include <TextView.h>

#include "FileCommandsTestSupport.h"
#include "LocaleMerge.h"

namespace {

// The reference blocks of count texts with every translation line given
// (an empty one for a skipped entry), as a user leaves the text.
std::string Translated(const std::vector<std::string>& translations)
{
	std::string text;
	for (size_t i = 0; i < translations.size(); i++)
		text += LocaleMerge::EntryMarker((long)i + 1) + "\n; text " + std::to_string(i + 1) + "\n" +
		        translations[i] + "\n";
	return text;
}

std::vector<const char*> Pointers(const std::vector<std::string>& texts)
{
	std::vector<const char*> pointers;
	for (const std::string& text : texts)
		pointers.push_back(text.c_str());
	return pointers;
}

} // namespace

using EntrySavingTest = FileCommandsTest;

TEST_F(EntrySavingTest, SkippedEntriesKeepEveryLaterOneUnderItsOwnText)
{
	// Entries 26 to 30 left empty, 31 translated: the save keeps 31 as 31,
	// and after reopening under the reference it stands under its block.
	std::vector<std::string> translations;
	std::vector<std::string> references;
	for (int k = 1; k <= 31; k++) {
		translations.push_back(k <= 25 ? "Eintrag " + std::to_string(k) : "");
		references.push_back("text " + std::to_string(k));
	}
	translations[30] = "Seite %d von %d";
	FillHeader();
	SetEditedText(Translated(translations));
	SaveAs(mFolder.Path(), "de.locale");
	ASSERT_TRUE(Alerts().empty());

	BMessage saved;
	ASSERT_EQ(LocaleFile::Read((mFolder / "de.locale").c_str(), &saved), B_OK);
	EXPECT_EQ(Texts(saved), translations);

	// Reopened: reference first, then the file, as after a restart.
	Dispatch(kMsgNewFile);
	WriteLocaleFile(mFolder / "en.locale", "English", Pointers(references));
	Open(kMsgLoadRefFile, mFolder / "en.locale");
	Open(kMsgLoadFile, mFolder / "de.locale");
	EXPECT_EQ(Text(), Translated(translations));
	EXPECT_NE(Text().find("; #ID31:\n; text 31\nSeite %d von %d\n"), std::string::npos);
	EXPECT_NE(Text().find("; #ID26:\n; text 26\n\n; #ID27:"), std::string::npos);
}

TEST_F(EntrySavingTest, ADeletedBlockSavesAnEmptyEntry)
{
	FillHeader();
	SetEditedText("; #ID1:\n; Yes\nJa\n; #ID3:\n; Maybe\nVielleicht\n");
	SaveAs(mFolder.Path(), "de.locale");
	BMessage saved;
	ASSERT_EQ(LocaleFile::Read((mFolder / "de.locale").c_str(), &saved), B_OK);
	EXPECT_EQ(Texts(saved), (std::vector<std::string>{"Ja", "", "Vielleicht"}));
}

TEST_F(EntrySavingTest, TwoLinesUnderOneMarkerRefuseTheSaveAndKeepTheFile)
{
	const std::string path = mFolder / "de.locale";
	WriteFileBytes(path, std::string("precious\0bytes", 14));
	FillHeader();
	const std::string before = "; #ID1:\n; Ok\nGut\n";
	SetEditedText(before + "; #ID2:\n; Cancel\nAbbrechen\nNein\n; #ID3:\n; Continue\nWeiter\n");
	SaveAs(mFolder.Path(), "de.locale");

	EXPECT_EQ(ReadFileBytes(path), std::string("precious\0bytes", 14));
	EXPECT_EQ(std::filesystem::directory_iterator(mFolder.Path())->path(), path)
	    << "no temporary file is left behind";
	ASSERT_EQ(Alerts().size(), 1u);
	EXPECT_EQ(Alerts()[0].title, "Locale");
	EXPECT_EQ(Alerts()[0].text,
	          "Entry #2 has 2 lines. An entry is one line; write \\n for a line break.");
	EXPECT_EQ(Alerts()[0].buttons, std::vector<std::string>{"Cancel"});
	int32 start = -1, end = -1;
	ASSERT_TRUE(mWindow->Lock());
	TextView()->GetSelection(&start, &end);
	const bool focused = TextView()->IsFocus();
	mWindow->Unlock();
	EXPECT_EQ(start, (int32)before.size()) << "the caret stands at the marker";
	EXPECT_EQ(end, start);
	EXPECT_TRUE(focused);
	EXPECT_EQ(Pref("loadpath"), "<none>");

	// The Save button says so before it asks for a file name.
	ClearAlerts();
	Dispatch(kMsgSaveFilePanel);
	ASSERT_EQ(Alerts().size(), 1u);
	EXPECT_EQ(Alerts()[0].text.rfind("Entry #2 has 2 lines.", 0), 0u);
	EXPECT_EQ(CountPanels(B_SAVE_PANEL), 0);
}

TEST_F(EntrySavingTest, EmptyEntriesLoadUnderTheirMarkersAndSaveToTheSameBytes)
{
	// A file of "A", "", "C", "D": every entry is read, the empty one too.
	WriteLocaleFile(mFolder / "en.locale", "English", {"One", "Two", "Three", "Four"});
	WriteLocaleFile(mFolder / "de.locale", "Deutsch", {"A", "", "C", "D"});
	Open(kMsgLoadRefFile, mFolder / "en.locale");
	Open(kMsgLoadFile, mFolder / "de.locale");
	EXPECT_EQ(Text(), "; #ID1:\n; One\nA\n; #ID2:\n; Two\n\n; #ID3:\n; Three\nC\n"
	                  "; #ID4:\n; Four\nD\n");

	SaveAs(mFolder.Path(), "again.locale");
	ASSERT_TRUE(Alerts().empty());
	EXPECT_EQ(ReadFileBytes(mFolder / "again.locale"), ReadFileBytes(mFolder / "de.locale"));

	// Opened alone, the empty entry keeps its block too, and the file comes
	// back as it was.
	Dispatch(kMsgNewFile);
	Open(kMsgLoadFile, mFolder / "de.locale");
	EXPECT_EQ(Text(), "; #ID1:\nA\n; #ID2:\n\n; #ID3:\nC\n; #ID4:\nD\n");
	SaveAs(mFolder.Path(), "alone.locale");
	ASSERT_TRUE(Alerts().empty());
	EXPECT_EQ(ReadFileBytes(mFolder / "alone.locale"), ReadFileBytes(mFolder / "de.locale"));
}

TEST_F(EntrySavingTest, ReferenceAndFileGiveOneLayoutInEitherOrder)
{
	WriteLocaleFile(mFolder / "en.locale", "English", {"Ok", "Cancel", "Continue"});
	WriteLocaleFile(mFolder / "de.locale", "Deutsch", {"Ok", "Abbrechen"});
	// The layout of the reference's worked example.
	const std::string expected =
	    "; #ID1:\n; Ok\nOk\n; #ID2:\n; Cancel\nAbbrechen\n; #ID3:\n; Continue\n\n";

	Open(kMsgLoadFile, mFolder / "de.locale");
	Open(kMsgLoadRefFile, mFolder / "en.locale");
	EXPECT_EQ(Text(), expected);

	AnswerAlertsWith(1);
	Dispatch(kMsgNewFile);
	ASSERT_EQ(Text(), "");
	Open(kMsgLoadRefFile, mFolder / "en.locale");
	Open(kMsgLoadFile, mFolder / "de.locale");
	EXPECT_EQ(Text(), expected);

	// Typing into the one empty line left fills entry 3, nothing else.
	SetEditedText(expected.substr(0, expected.size() - 1) + "Weiter\n");
	SaveAs(mFolder.Path(), "de.locale");
	BMessage saved;
	ASSERT_EQ(LocaleFile::Read((mFolder / "de.locale").c_str(), &saved), B_OK);
	EXPECT_EQ(Texts(saved), (std::vector<std::string>{"Ok", "Abbrechen", "Weiter"}));
}
