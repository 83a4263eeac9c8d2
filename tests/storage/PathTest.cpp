#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

#include "Directory.h"
#include "Entry.h"
#include "Path.h"
#include "ScratchFolder.h"

namespace fs = std::filesystem;

namespace {

// Puts the current folder back after a test that changed it.
class CurrentFolderGuard
{
public:
	CurrentFolderGuard()
	{
		char buffer[PATH_MAX];
		if (getcwd(buffer, sizeof(buffer)) != nullptr)
			mSaved = buffer;
	}
	~CurrentFolderGuard()
	{
		if (!mSaved.empty() && chdir(mSaved.c_str()) != 0)
			abort();
	}

private:
	std::string mSaved;
};

} // namespace

TEST(PathTest, CleansSeparatorsAndDotsWithoutTouchingTheDisk)
{
	BPath path("/no/such//folder/./here/");
	ASSERT_EQ(path.InitCheck(), B_OK);
	EXPECT_STREQ(path.Path(), "/no/such/folder/here");
	EXPECT_STREQ(path.Leaf(), "here");

	BPath joined("/no/such", "leaf.txt");
	EXPECT_STREQ(joined.Path(), "/no/such/leaf.txt");
}

TEST(PathTest, CompletesRelativePathsAgainstTheCurrentFolder)
{
	ScratchFolder temp;
	CurrentFolderGuard guard;
	ASSERT_EQ(chdir(temp.Path().c_str()), 0);
	BPath path("sub/file");
	ASSERT_EQ(path.InitCheck(), B_OK);
	EXPECT_EQ(std::string(path.Path()), temp / "sub/file");
}

TEST(PathTest, NormalizingResolvesLinksAndParentSteps)
{
	ScratchFolder temp;
	fs::create_directories(temp / "real/inner");
	fs::create_directory_symlink(temp / "real", temp / "link");

	BPath viaLink((temp / "link/inner").c_str(), "x.txt", true);
	ASSERT_EQ(viaLink.InitCheck(), B_OK);
	EXPECT_EQ(std::string(viaLink.Path()), temp / "real/inner/x.txt");

	// ".." always needs the disk: it applies to the link's target.
	BPath up((temp / "link/inner/..").c_str());
	ASSERT_EQ(up.InitCheck(), B_OK);
	EXPECT_EQ(std::string(up.Path()), temp / "real");

	BPath missing((temp / "nothing/here").c_str(), nullptr, true);
	EXPECT_EQ(missing.InitCheck(), B_ENTRY_NOT_FOUND);
	EXPECT_EQ(missing.Path(), nullptr);
}

TEST(PathTest, AppendGetParentAndLeaf)
{
	BPath path("/a/b");
	ASSERT_EQ(path.Append("c/d"), B_OK);
	EXPECT_STREQ(path.Path(), "/a/b/c/d");
	EXPECT_EQ(path.Append("/absolute"), B_BAD_VALUE);
	EXPECT_STREQ(path.Path(), "/a/b/c/d");

	BPath parent;
	ASSERT_EQ(path.GetParent(&parent), B_OK);
	EXPECT_STREQ(parent.Path(), "/a/b/c");

	BPath root("/");
	EXPECT_STREQ(root.Leaf(), "");
	EXPECT_EQ(root.GetParent(&parent), B_ENTRY_NOT_FOUND);
	EXPECT_EQ(parent.InitCheck(), B_ENTRY_NOT_FOUND);
}

TEST(PathTest, RefusesMissingOrAbsoluteParts)
{
	BPath path;
	EXPECT_EQ(path.InitCheck(), B_NO_INIT);
	EXPECT_EQ(path.Path(), nullptr);
	EXPECT_EQ(path.SetTo((const char*)nullptr), B_BAD_VALUE);
	EXPECT_EQ(path.SetTo(""), B_BAD_VALUE);
	EXPECT_EQ(path.SetTo("/a", "/b"), B_BAD_VALUE);
	entry_ref empty;
	EXPECT_EQ(path.SetTo(&empty), B_BAD_VALUE);
}

TEST(PathTest, SetToItsOwnPathIsSafe)
{
	BPath path("/some/where");
	ASSERT_EQ(path.SetTo(path.Path(), "else"), B_OK);
	EXPECT_STREQ(path.Path(), "/some/where/else");
}

TEST(PathTest, RoundTripsThroughEntryAndRef)
{
	ScratchFolder temp;
	BPath path((temp / "file.txt").c_str());
	entry_ref ref;
	ASSERT_EQ(get_ref_for_path(path.Path(), &ref), B_OK);
	EXPECT_STREQ(ref.name, "file.txt");
	EXPECT_EQ(std::string(ref.DirectoryPath()), temp.Path());
	BPath back(&ref);
	EXPECT_EQ(back, path);

	BDirectory dir(temp.Path().c_str());
	BPath inDir(&dir, "x");
	EXPECT_EQ(std::string(inDir.Path()), temp / "x");
}
