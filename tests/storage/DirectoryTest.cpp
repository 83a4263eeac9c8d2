#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "Directory.h"
#include "Entry.h"
#include "Path.h"
#include "ScratchFolder.h"

namespace fs = std::filesystem;

namespace {

std::set<std::string> Walk(BDirectory& dir, bool traverse)
{
	std::set<std::string> paths;
	BEntry entry;
	while (dir.GetNextEntry(&entry, traverse) == B_OK) {
		EXPECT_EQ(entry.InitCheck(), B_OK);
		paths.insert(entry.FullPath());
	}
	return paths;
}

class DirectoryTest : public ::testing::Test
{
protected:
	void SetUp() override
	{
		std::ofstream(mTemp / "a.locale") << "a";
		fs::create_directory(mTemp / "sub");
		std::ofstream(mTemp / "sub/inner") << "i";
		fs::create_directory(mTemp / "elsewhere");
		std::ofstream(mTemp / "elsewhere/target.locale") << "t";
		fs::create_symlink(mTemp / "elsewhere/target.locale", mTemp / "link.locale");
		fs::create_symlink(mTemp / "elsewhere", mTemp / "folderlink");
		fs::create_symlink(mTemp / "nowhere/x", mTemp / "broken");
	}

	ScratchFolder mTemp;
};

} // namespace

TEST_F(DirectoryTest, WalkListsEveryEntryOnceWithoutDots)
{
	BDirectory dir(mTemp.Path().c_str());
	ASSERT_EQ(dir.InitCheck(), B_OK);
	std::set<std::string> expected = {mTemp / "a.locale",   mTemp / "sub",
	                                  mTemp / "elsewhere",  mTemp / "link.locale",
	                                  mTemp / "folderlink", mTemp / "broken"};
	EXPECT_EQ(Walk(dir, false), expected);
	BEntry entry;
	EXPECT_EQ(dir.GetNextEntry(&entry), B_ENTRY_NOT_FOUND);
	EXPECT_EQ(entry.InitCheck(), B_NO_INIT);
	EXPECT_EQ(dir.CountEntries(), 6);
}

TEST_F(DirectoryTest, TraversingWalkFollowsLinksAndKeepsBrokenOnes)
{
	BDirectory dir(mTemp.Path().c_str());
	std::set<std::string> expected = {mTemp / "a.locale", mTemp / "sub", mTemp / "elsewhere",
	                                  mTemp / "elsewhere/target.locale", mTemp / "broken"};
	// The broken link cannot be followed and comes back as itself, so the
	// walk goes on past it.
	EXPECT_EQ(Walk(dir, true), expected);
}

TEST_F(DirectoryTest, RewindStartsTheWalkAgain)
{
	BDirectory dir(mTemp.Path().c_str());
	BEntry entry;
	ASSERT_EQ(dir.GetNextEntry(&entry), B_OK);
	ASSERT_EQ(dir.GetNextEntry(&entry), B_OK);
	ASSERT_EQ(dir.Rewind(), B_OK);
	EXPECT_EQ(Walk(dir, false).size(), 6u);
}

TEST_F(DirectoryTest, ContainsChecksPlaceAndFlavour)
{
	BDirectory dir(mTemp.Path().c_str());
	EXPECT_TRUE(dir.Contains("a.locale"));
	EXPECT_TRUE(dir.Contains("sub/inner", B_FILE_NODE));
	EXPECT_FALSE(dir.Contains("sub", B_FILE_NODE));
	EXPECT_TRUE(dir.Contains("sub", B_DIRECTORY_NODE));
	EXPECT_TRUE(dir.Contains("link.locale", B_SYMLINK_NODE));
	EXPECT_FALSE(dir.Contains("missing"));
	EXPECT_FALSE(dir.Contains("/etc/passwd"));
	EXPECT_TRUE(dir.Contains((mTemp / "sub/inner").c_str()));
	BEntry outside("/etc");
	EXPECT_FALSE(dir.Contains(&outside));
}

TEST_F(DirectoryTest, OpensOnlyFolders)
{
	BDirectory notFolder((mTemp / "a.locale").c_str());
	EXPECT_EQ(notFolder.InitCheck(), B_NOT_A_DIRECTORY);
	BDirectory missing((mTemp / "missing").c_str());
	EXPECT_EQ(missing.InitCheck(), B_ENTRY_NOT_FOUND);
	BEntry entry;
	EXPECT_EQ(missing.GetNextEntry(&entry), B_ENTRY_NOT_FOUND);
	EXPECT_EQ(missing.CountEntries(), B_ENTRY_NOT_FOUND);

	BDirectory viaLink((mTemp / "folderlink").c_str());
	ASSERT_EQ(viaLink.InitCheck(), B_OK);
	EXPECT_EQ(std::string(viaLink.NodePath()), mTemp / "elsewhere");
	BDirectory sub(&viaLink, "../sub");
	ASSERT_EQ(sub.InitCheck(), B_OK);
	BEntry self;
	ASSERT_EQ(sub.GetEntry(&self), B_OK);
	EXPECT_EQ(self.FullPath(), mTemp / "sub");
}
