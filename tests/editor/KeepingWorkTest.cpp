// The window keeps unsaved work safe: its journal while the text changes,
// the offer to restore what an editor that is gone left, and the open file
// changed on disk by another program.

#include <ctime>
#include <filesystem>
#include <fstream>

#include <Message.h>

#include "EditorAlerts.h"
#include "EditorMessages.h"
#include "FileCommandsTestSupport.h"
#include "FileWatch.h"
#include "HeaderFields.h"
#include "JournalKeeper.h"
#include "WorkJournal.h"

namespace fs = std::filesystem;

namespace {

// Past the journal's interval, with room for a loaded machine.
const auto kJournalWait = std::chrono::duration_cast<std::chrono::milliseconds>(
    std::chrono::microseconds(JournalKeeper::kInterval) * 4);
// Past the file watch's wait for a writer to settle.
const auto kSettleWait = std::chrono::duration_cast<std::chrono::milliseconds>(
    std::chrono::microseconds(FileWatch::kSettle) * 4);

const char kMarked[] = "; #ID1:\n; Ok\n\n; #ID2:\n; Cancel\n\n";

} // namespace

class KeepingWorkTest : public FileCommandsTest
{
protected:
	std::string StateFolder() const { return mFolder / "state"; }

	void StartJournal()
	{
		ASSERT_TRUE(mWindow->Lock());
		mWindow->StartJournal(StateFolder().c_str());
		mWindow->Unlock();
		Settle();
	}

	// The journals in the state folder, this window's own included.
	std::vector<std::string> Journals()
	{
		std::vector<std::string> found;
		std::error_code error;
		for (const fs::directory_entry& entry : fs::directory_iterator(StateFolder(), error)) {
			if (entry.path().extension() == ".journal")
				found.push_back(entry.path().string());
		}
		return found;
	}

	std::string LoadFile(std::vector<const char*> texts)
	{
		const std::string path = mFolder / "de.locale";
		WriteLocaleFile(path, "Deutsch", texts);
		SetEditedText(kMarked);
		Open(kMsgLoadFile, path);
		return path;
	}

	std::vector<std::string> SavedTexts(const std::string& path)
	{
		BMessage locale;
		EXPECT_EQ(LocaleFile::Read(path.c_str(), &locale), B_OK);
		return Texts(locale);
	}

	bool AlertShown(const std::string& start)
	{
		for (const BPrivate::shown_alert& alert : Alerts()) {
			if (alert.text.compare(0, start.size(), start) == 0)
				return true;
		}
		return false;
	}
};

TEST_F(KeepingWorkTest, TheJournalFollowsUnsavedWorkAndGoesWithASaveOrANew)
{
	StartJournal();
	const std::string path = LoadFile({"Gut", "Abbrechen"});
	SetEditedText("; #ID1:\n; Ok\nPrima\n; #ID2:\n; Cancel\nAbbrechen\n");
	ASSERT_TRUE(WaitFor([&] { return Journals().size() == 1; }, kJournalWait));
	BMessage snapshot;
	ASSERT_EQ(B_OK, WorkJournal::Read(Journals()[0], &snapshot));
	EXPECT_EQ(Text(), snapshot.GetString(WorkJournal::kJournalText, ""));
	EXPECT_EQ(path, snapshot.GetString(WorkJournal::kJournalFile, ""));
	EXPECT_STREQ("Deutsch", snapshot.GetString(kLocaleFieldLanguage, ""));

	// While the text rests, nothing is written.
	const auto written = fs::last_write_time(Journals()[0]);
	EXPECT_FALSE(
	    WaitFor([&] { return fs::last_write_time(Journals()[0]) != written; }, kJournalWait / 2));

	Dispatch(kMsgSaveCurrentFile);
	EXPECT_TRUE(WaitFor([&] { return Journals().empty(); }));

	// A header field typed into, without Enter, is work too.
	ASSERT_TRUE(mWindow->Lock());
	Control("txtctrl_language")->TextView()->Insert(0, "Neu", 3);
	mWindow->Unlock();
	ASSERT_TRUE(WaitFor([&] { return Journals().size() == 1; }, kJournalWait));
	ASSERT_EQ(B_OK, WorkJournal::Read(Journals()[0], &snapshot));
	EXPECT_STREQ("NeuDeutsch", snapshot.GetString(kLocaleFieldLanguage, ""));
	Dispatch(kMsgSaveCurrentFile);
	EXPECT_TRUE(WaitFor([&] { return Journals().empty(); }));

	SetEditedText("; #ID1:\n; Ok\nSehr gut\n; #ID2:\n; Cancel\nAbbrechen\n");
	ASSERT_TRUE(WaitFor([&] { return Journals().size() == 1; }, kJournalWait));
	AnswerAlertsWith(EditorAlerts::kUnsavedDiscard);
	Dispatch(kMsgNewFile);
	EXPECT_TRUE(WaitFor([&] { return Journals().empty() && Text().empty(); }));
}

TEST_F(KeepingWorkTest, AnOrphanIsOfferedNewestFirstAndRestoredUnsavedOrDiscarded)
{
	const std::string file = mFolder / "fr.locale";
	// The file as the work found it, then changed by another program after
	// the editor was gone.
	WriteLocaleFile(file, "Francais", {"Ancien"});
	const BMessage stamp = FileStamp::Of(file).ToMessage();
	WriteLocaleFile(file, "Francais", {"Changé ailleurs"});
	auto leave = [&](const char* text, const std::string& of, int hoursAgo) {
		WorkJournal gone(StateFolder());
		BMessage snapshot(WorkJournal::kJournalFormat);
		snapshot.AddString(WorkJournal::kJournalFile, of.c_str());
		snapshot.AddMessage(WorkJournal::kJournalFileStamp, &stamp);
		snapshot.AddInt64(WorkJournal::kJournalTime, (int64)time(nullptr));
		for (const HeaderField& header : kHeaderFields)
			snapshot.AddString(*header.field, header.control);
		snapshot.AddString(WorkJournal::kJournalText, text);
		EXPECT_EQ(B_OK, gone.Write(snapshot));
		fs::last_write_time(gone.Path(),
		                    fs::file_time_type::clock::now() - std::chrono::hours(hoursAgo));
		// Its editor ends without removing it, as a killed one does.
		return gone.Path();
	};
	const std::string older = leave("; #ID1:\n; Ok\nD'accord\n", file, 2);
	const std::string newer = leave("untitled work\n", "", 1);

	AnswerAlertsWith(EditorAlerts::kRecoveryDiscard);
	StartJournal();
	ASSERT_TRUE(WaitFor([&] { return !fs::exists(newer); }));
	ASSERT_EQ(1u, Alerts().size());
	EXPECT_EQ((std::vector<std::string>{"Discard", "Restore"}), Alerts()[0].buttons);
	EXPECT_NE(std::string::npos, Alerts()[0].text.find("untitled text"));
	EXPECT_EQ("", Text()) << "Discard puts nothing in";

	// The next start offers the next one.
	ClearAlerts();
	AnswerAlertsWith(EditorAlerts::kRecoveryRestore);
	StartJournal();
	ASSERT_TRUE(WaitFor([&] { return !fs::exists(older); }));
	ASSERT_EQ(1u, Alerts().size());
	EXPECT_NE(std::string::npos, Alerts()[0].text.find(file)) << Alerts()[0].text;
	EXPECT_EQ("; #ID1:\n; Ok\nD'accord\n", Text());
	for (const HeaderField& header : kHeaderFields)
		EXPECT_EQ(header.control, ControlText(header.control));
	EXPECT_EQ("fr.locale *", Title());
	// The restored work is this editor's to keep now.
	ASSERT_TRUE(WaitFor([&] { return Journals().size() == 1; }));
	BMessage kept;
	ASSERT_EQ(B_OK, WorkJournal::Read(Journals()[0], &kept));
	EXPECT_EQ(Text(), kept.GetString(WorkJournal::kJournalText, ""));

	// Saving writes the file the work belonged to, once the user has said
	// that the other program's text may go.
	ClearAlerts();
	Dispatch(kMsgSaveCurrentFile);
	Settle();
	ASSERT_EQ(1u, Alerts().size());
	EXPECT_EQ((std::vector<std::string>{"Cancel", "Overwrite"}), Alerts()[0].buttons);
	EXPECT_EQ((std::vector<std::string>{"D'accord"}), SavedTexts(file));
	EXPECT_EQ("fr.locale", Title());
}

TEST_F(KeepingWorkTest, AChangeOnDiskReloadsACleanTextAndAsksAboutUnsavedWork)
{
	const std::string path = LoadFile({"Gut", "Abbrechen"});
	ClearAlerts();
	// Replaced by a rename, as most programs save.
	WriteLocaleFile(path, "Deutsch", {"Prima", "Abbrechen"});
	ASSERT_TRUE(WaitFor([&] { return Text().find("Prima") != std::string::npos; })) << Text();
	EXPECT_EQ("Reloaded " + path + ": another program changed it.", Status());
	EXPECT_EQ("de.locale", Title());

	// Written in place.
	BMessage locale;
	const char* texts[] = {"Toll", "Abbrechen"};
	LocaleFile::Build(&locale, "02.00", "some app", "Deutsch", texts, 2);
	std::string bytes((size_t)locale.FlattenedSize(), '\0');
	locale.Flatten(bytes.data(), (ssize_t)bytes.size());
	std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
	ASSERT_TRUE(WaitFor([&] { return Text().find("Toll") != std::string::npos; })) << Text();
	EXPECT_TRUE(Alerts().empty());

	// With unsaved work the user is asked; Keep Mine keeps it.
	const std::string mine = "; #ID1:\n; Ok\nMeins\n; #ID2:\n; Cancel\nAbbrechen\n";
	SetEditedText(mine);
	AnswerAlertsWith(EditorAlerts::kReloadKeepMine);
	WriteLocaleFile(path, "Deutsch", {"Fremd", "Abbrechen"});
	ASSERT_TRUE(WaitFor([&] { return AlertShown("Another program changed " + path); }));
	EXPECT_EQ((std::vector<std::string>{"Reload", "Keep Mine"}), Alerts().back().buttons);
	Settle();
	EXPECT_EQ(mine, Text());

	// Reload takes the other program's text.
	ClearAlerts();
	AnswerAlertsWith(EditorAlerts::kReloadReload);
	WriteLocaleFile(path, "Deutsch", {"Noch fremder", "Abbrechen"});
	ASSERT_TRUE(WaitFor([&] { return Text().find("Noch fremder") != std::string::npos; }));
	EXPECT_EQ(1u, Alerts().size());
	EXPECT_EQ("de.locale", Title());
}

TEST_F(KeepingWorkTest, SavingOverAChangedFileAsksAndTheEditorsOwnSavesNeverCount)
{
	StartJournal();
	const std::string path = LoadFile({"Gut", "Abbrechen"});
	SetEditedText("; #ID1:\n; Ok\nMeins\n; #ID2:\n; Cancel\nAbbrechen\n");
	AnswerAlertsWith(EditorAlerts::kReloadKeepMine);
	WriteLocaleFile(path, "Deutsch", {"Fremd", "Abbrechen"});
	ASSERT_TRUE(WaitFor([&] { return AlertShown("Another program changed"); }));

	ClearAlerts();
	AnswerAlertsWith(EditorAlerts::kOverwriteCancel);
	Dispatch(kMsgSaveCurrentFile);
	ASSERT_EQ(1u, Alerts().size());
	EXPECT_EQ("Another program changed " + path +
	              " since it was loaded or saved here. Overwrite it with this text?",
	          Alerts()[0].text);
	EXPECT_EQ((std::vector<std::string>{"Cancel", "Overwrite"}), Alerts()[0].buttons);
	EXPECT_EQ(EditorAlerts::kOverwriteCancel, Alerts()[0].escapeButton);
	Settle();
	EXPECT_EQ((std::vector<std::string>{"Fremd", "Abbrechen"}), SavedTexts(path));

	ClearAlerts();
	AnswerAlertsWith(EditorAlerts::kOverwriteOverwrite);
	Dispatch(kMsgSaveCurrentFile);
	Settle();
	EXPECT_EQ((std::vector<std::string>{"Meins", "Abbrechen"}), SavedTexts(path));
	EXPECT_EQ("Saved " + path, Status());

	// The save just made is no change by another program, now or later.
	ClearAlerts();
	SetEditedText("; #ID1:\n; Ok\nMeins2\n; #ID2:\n; Cancel\nAbbrechen\n");
	EXPECT_FALSE(WaitFor([&] { return !Alerts().empty(); }, kSettleWait));
	Dispatch(kMsgSaveCurrentFile);
	EXPECT_TRUE(Alerts().empty());
	EXPECT_EQ((std::vector<std::string>{"Meins2", "Abbrechen"}), SavedTexts(path));

	// A deleted file: said, and the text is kept as unsaved work.
	ASSERT_TRUE(WaitFor([&] { return Journals().empty(); })) << "all saved";
	fs::remove(path);
	ASSERT_TRUE(WaitFor([&] { return Status().find("deleted") != std::string::npos; }));
	EXPECT_EQ("Another program deleted " + path + ". The text is kept and marked unsaved.",
	          Status());
	EXPECT_EQ("de.locale *", Title());
	EXPECT_NE(std::string::npos, Text().find("Meins2"));
	// The text is its only copy now, typed into or not.
	EXPECT_TRUE(WaitFor([&] { return Journals().size() == 1; }, kJournalWait));
}
