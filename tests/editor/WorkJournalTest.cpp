// The journal of unsaved work on disk: what a snapshot keeps, whose journal
// is an orphan, and damaged journals.

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <Message.h>
#include <Messenger.h>

#include "FileBytes.h"
#include "HeaderFields.h"
#include "JournalKeeper.h"
#include "ScratchFolder.h"
#include "WorkJournal.h"

namespace fs = std::filesystem;

namespace {

BMessage Snapshot(const char* file, const char* text)
{
	BMessage snapshot(WorkJournal::kJournalFormat);
	snapshot.AddString(WorkJournal::kJournalFile, file);
	snapshot.AddInt64(WorkJournal::kJournalTime, 1700000000);
	for (const HeaderField& header : kHeaderFields)
		snapshot.AddString(*header.field, (std::string("value of ") + header.control).c_str());
	snapshot.AddString(WorkJournal::kJournalText, text);
	return snapshot;
}

std::string Flattened(const BMessage& message)
{
	std::string bytes((size_t)message.FlattenedSize(), '\0');
	message.Flatten(bytes.data(), (ssize_t)bytes.size());
	return bytes;
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
	std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<std::string> Leaves(const std::string& folder)
{
	std::vector<std::string> leaves;
	for (const fs::directory_entry& entry : fs::directory_iterator(folder))
		leaves.push_back(entry.path().filename().string());
	std::sort(leaves.begin(), leaves.end());
	return leaves;
}

} // namespace

TEST(WorkJournal, ASnapshotReadsBackWholeForTheUserAloneAndGoesWithRemove)
{
	ScratchFolder scratch;
	// The state folder's parents need not exist yet.
	const std::string folder = scratch / "state/editor";
	WorkJournal journal(folder);
	ASSERT_EQ(B_OK, journal.InitCheck());
	ASSERT_EQ(B_OK, journal.Write(Snapshot("/somewhere/de.locale", "first")));
	const std::string text = "; #ID1:\n; Ok\nGut\n\xC3\xA4\n";
	ASSERT_EQ(B_OK, journal.Write(Snapshot("", text.c_str())));

	BMessage read;
	ASSERT_EQ(B_OK, WorkJournal::Read(journal.Path(), &read));
	EXPECT_EQ(text, read.GetString(WorkJournal::kJournalText, "<none>"));
	EXPECT_STREQ("", read.GetString(WorkJournal::kJournalFile, "<none>"));
	EXPECT_EQ(1700000000, read.GetInt64(WorkJournal::kJournalTime, 0));
	for (const HeaderField& header : kHeaderFields)
		EXPECT_EQ(std::string("value of ") + header.control, read.GetString(*header.field, ""));

	struct stat info;
	ASSERT_EQ(0, stat(journal.Path().c_str(), &info));
	EXPECT_EQ(0600u, info.st_mode & 0777) << "the text is the user's";
	ASSERT_EQ(0, stat(folder.c_str(), &info));
	EXPECT_EQ(0700u, info.st_mode & 0777);

	EXPECT_EQ(B_OK, journal.Remove());
	EXPECT_FALSE(fs::exists(journal.Path()));
	EXPECT_EQ(B_OK, journal.Remove()) << "nothing to remove is no failure";
}

TEST(WorkJournal, AJournalIsOfferedOnlyOnceItsEditorIsGoneAndToOneEditorAtATime)
{
	ScratchFolder scratch;
	const std::string folder = scratch / "state";
	// This process's own journal is never its orphan.
	WorkJournal mine(folder);
	ASSERT_EQ(B_OK, mine.Write(Snapshot("", "mine")));

	int ready[2];
	ASSERT_EQ(0, pipe(ready));
	const pid_t other = fork();
	if (other == 0) {
		WorkJournal journal(folder);
		const bool written = journal.Write(Snapshot("/x.locale", "theirs")) == B_OK;
		const std::string path = written ? journal.Path() : "";
		(void)!write(ready[1], path.c_str(), path.size() + 1);
		pause();
		_exit(0);
	}
	close(ready[1]);
	char buffer[4096] = {};
	ASSERT_GT(read(ready[0], buffer, sizeof(buffer) - 1), 1) << "the other editor wrote nothing";
	close(ready[0]);
	const std::string theirs = buffer;

	EXPECT_TRUE(WorkJournal::Orphans(folder).empty()) << "both editors run";
	BNode claim;
	EXPECT_EQ(B_BUSY, WorkJournal::Claim(theirs, &claim));

	kill(other, SIGKILL);
	waitpid(other, nullptr, 0);
	EXPECT_EQ(std::vector<std::string>{theirs}, WorkJournal::Orphans(folder));
	ASSERT_EQ(B_OK, WorkJournal::Claim(theirs, &claim));
	// A third editor starting while this one asks about it is not offered it.
	BNode third;
	EXPECT_EQ(B_BUSY, WorkJournal::Claim(theirs, &third));
	EXPECT_TRUE(WorkJournal::Orphans(folder).empty());

	EXPECT_EQ(B_OK, WorkJournal::Discard(theirs));
	claim.Unset();
	EXPECT_TRUE(WorkJournal::Orphans(folder).empty());
	const std::string mineLeaf = fs::path(mine.Path()).filename().string();
	const std::string mineStem = mineLeaf.substr(0, mineLeaf.size() - strlen(".journal"));
	EXPECT_EQ((std::vector<std::string>{mineStem + ".journal", mineStem + ".lock"}), Leaves(folder))
	    << "the orphan and its lock are gone, this editor's journal stays";
}

TEST(WorkJournal, DamagedJournalsAreSetAsideAndTheWholeOneIsOffered)
{
	ScratchFolder scratch;
	const std::string folder = scratch.Path();
	const std::string whole = Flattened(Snapshot("/x.locale", "whole"));
	BMessage noText = Snapshot("", "");
	noText.RemoveName(WorkJournal::kJournalText);
	BMessage otherCode = Snapshot("", "text");
	otherCode.what = 'othr';
	BMessage wrongType = Snapshot("", "text");
	wrongType.RemoveName(WorkJournal::kJournalTime);
	wrongType.AddString(WorkJournal::kJournalTime, "yesterday");
	const struct
	{
		const char* name;
		std::string bytes;
	} kDamaged[] = {
	    {"empty", ""},
	    {"garbage", "this is not a message at all"},
	    {"cut short", whole.substr(0, whole.size() / 2)},
	    {"another message", Flattened(otherCode)},
	    {"without its text", Flattened(noText)},
	    {"a time that is no number", Flattened(wrongType)},
	};
	int n = 1;
	for (const auto& damaged : kDamaged) {
		const std::string path = folder + "/" + std::to_string(n++) + "-1.journal";
		WriteBytes(path, damaged.bytes);
		BMessage read;
		EXPECT_EQ(B_BAD_DATA, WorkJournal::Read(path, &read)) << damaged.name;
		EXPECT_TRUE(read.IsEmpty()) << damaged.name;
	}
	// The whole one is the oldest: the damaged ones are met first.
	const std::string wholePath = folder + "/99-1.journal";
	WriteBytes(wholePath, whole);
	fs::last_write_time(wholePath, fs::file_time_type::clock::now() - std::chrono::hours(1));

	JournalKeeper keeper;
	ASSERT_EQ(B_OK, keeper.Start(folder, BMessenger()));
	BMessage offered;
	std::string path;
	ASSERT_TRUE(keeper.ClaimOrphan(&offered, &path));
	EXPECT_EQ(wholePath, path);
	EXPECT_STREQ("whole", offered.GetString(WorkJournal::kJournalText, ""));
	for (int i = 1; i < n; i++) {
		const std::string stem = folder + "/" + std::to_string(i) + "-1.journal";
		EXPECT_FALSE(fs::exists(stem)) << kDamaged[i - 1].name;
		EXPECT_EQ(kDamaged[i - 1].bytes, ReadFileBytes(stem + ".damaged")) << "kept for a look";
	}
	keeper.Stop(false);
}
