#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "SafeFile.h"
#include "SafeFileTestSupport.h"
#include "ScratchFolder.h"

namespace fs = std::filesystem;

TEST(SafeFileTest, CommitReplacesTheTargetOnlyThenAndKeepsItsPermissions)
{
	ScratchFolder folder;
	const std::string path = folder / "doc";
	WriteFileBytes(path, "old text");
	ASSERT_EQ(chmod(path.c_str(), 0640), 0);

	SafeFile file(path.c_str());
	ASSERT_EQ(file.InitCheck(), B_OK);
	EXPECT_TRUE(file.ReplacesFile());
	EXPECT_EQ(std::string(file.TargetPath()), path);
	ASSERT_EQ(file.Write("new", 3), 3);
	EXPECT_EQ(ReadFileBytes(path), "old text");

	ASSERT_EQ(file.Commit(), B_OK);
	EXPECT_EQ(ReadFileBytes(path), "new");
	EXPECT_EQ(Mode(path), 0640u);
	EXPECT_EQ(Entries(folder.Path()), std::vector<std::string>{"doc"});
	EXPECT_EQ(file.InitCheck(), B_NO_INIT);
	EXPECT_NE(file.Commit(), B_OK);
	EXPECT_EQ(ReadFileBytes(path), "new");
}

TEST(SafeFileTest, WithoutCommitNothingChangesAndNothingIsLeft)
{
	ScratchFolder folder;
	const std::string path = folder / "doc";
	WriteFileBytes(path, "old text");
	{
		SafeFile file(path.c_str());
		ASSERT_EQ(file.InitCheck(), B_OK);
		ASSERT_EQ(file.Write("half", 4), 4);
	}
	EXPECT_EQ(ReadFileBytes(path), "old text");
	EXPECT_EQ(Entries(folder.Path()), std::vector<std::string>{"doc"});

	SafeFile file(path.c_str());
	ASSERT_EQ(file.Write("half", 4), 4);
	file.Unset();
	EXPECT_NE(file.Commit(), B_OK);
	EXPECT_EQ(ReadFileBytes(path), "old text");
	EXPECT_EQ(Entries(folder.Path()), std::vector<std::string>{"doc"});

	// A new file appears only with the commit.
	const std::string fresh = folder / "fresh";
	{
		SafeFile unsaved(fresh.c_str());
		ASSERT_EQ(unsaved.InitCheck(), B_OK);
		EXPECT_FALSE(unsaved.ReplacesFile());
		ASSERT_EQ(unsaved.Write("x", 1), 1);
	}
	EXPECT_FALSE(fs::exists(fresh));
	ASSERT_EQ(Save(fresh, "x"), B_OK);
	EXPECT_EQ(ReadFileBytes(fresh), "x");
}

TEST(SafeFileTest, ThroughALinkReplacesTheLinksTarget)
{
	ScratchFolder folder;
	fs::create_directory(folder / "real");
	const std::string target = folder / "real/doc";
	const std::string link = folder / "link";
	WriteFileBytes(target, "old");
	fs::create_symlink(target, link);

	ASSERT_EQ(Save(link, "new"), B_OK);
	EXPECT_TRUE(fs::is_symlink(link));
	EXPECT_EQ(ReadFileBytes(target), "new");
	EXPECT_EQ(Entries(folder / "real"), std::vector<std::string>{"doc"});
}

TEST(SafeFileTest, RefusesWhatCannotBeReplacedByAFile)
{
	ScratchFolder folder;
	fs::create_directory(folder / "sub");
	SafeFile file((folder / "sub").c_str());
	EXPECT_EQ(file.InitCheck(), B_IS_A_DIRECTORY);
	EXPECT_EQ(file.Write("x", 1), B_IS_A_DIRECTORY);

	ASSERT_EQ(mkfifo((folder / "pipe").c_str(), 0600), 0);
	EXPECT_EQ(file.SetTo((folder / "pipe").c_str()), B_NOT_ALLOWED);
	EXPECT_EQ(file.SetTo((folder / "none/doc").c_str()), B_ENTRY_NOT_FOUND);
	EXPECT_EQ(file.SetTo(""), B_BAD_VALUE);
	EXPECT_EQ(file.SetTo(nullptr), B_BAD_VALUE);
	EXPECT_EQ(Entries(folder.Path()), (std::vector<std::string>{"pipe", "sub"}));
}

TEST(SafeFileTest, AFailedCommitRemovesTheNewFile)
{
	ScratchFolder folder;
	const std::string path = folder / "doc";
	WriteFileBytes(path, "old");
	SafeFile file(path.c_str());
	ASSERT_EQ(file.Write("new", 3), 3);
	// Meanwhile a folder with content took the name: the rename must fail.
	fs::remove(path);
	fs::create_directory(path);
	WriteFileBytes(path + "/inside", "kept");

	EXPECT_NE(file.Commit(), B_OK);
	EXPECT_EQ(file.InitCheck(), B_NO_INIT);
	EXPECT_EQ(ReadFileBytes(path + "/inside"), "kept");
	EXPECT_EQ(Entries(folder.Path()), std::vector<std::string>{"doc"});
}

TEST(SafeFileTest, AnotherSavesNewFileIsLeftAlone)
{
	ScratchFolder folder;
	const std::string path = folder / "doc";
	WriteFileBytes(path, "old");
	// A save of this process on another thread, still writing.
	const std::string running = folder / (".doc.save-" + std::to_string(getpid()) + "-0");
	WriteFileBytes(running, "in progress");

	ASSERT_EQ(Save(path, "new"), B_OK);
	EXPECT_EQ(ReadFileBytes(path), "new");
	EXPECT_EQ(ReadFileBytes(running), "in progress");
	EXPECT_EQ(Entries(folder.Path()).size(), 2u);
}
