#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

#include "Directory.h"
#include "Entry.h"
#include "Path.h"
#include "ScratchFolder.h"

namespace fs = std::filesystem;

namespace {

void WriteText(const std::string& path, const std::string& text)
{
	std::ofstream(path) << text;
}

} // namespace

TEST(EntryTest, AnEntryNeedsItsFolderButNotItself)
{
	ScratchFolder temp;
	BEntry absent((temp / "later.txt").c_str());
	ASSERT_EQ(absent.InitCheck(), B_OK);
	EXPECT_FALSE(absent.Exists());
	EXPECT_FALSE(absent.IsFile());

	BEntry orphan((temp / "missing/later.txt").c_str());
	EXPECT_EQ(orphan.InitCheck(), B_ENTRY_NOT_FOUND);

	WriteText(temp / "file", "x");
	BEntry underFile((temp / "file/child").c_str());
	EXPECT_EQ(underFile.InitCheck(), B_NOT_A_DIRECTORY);
}

TEST(EntryTest, TellsFilesFoldersAndLinksApart)
{
	ScratchFolder temp;
	WriteText(temp / "file", "x");
	fs::create_directory(temp / "folder");
	fs::create_symlink(temp / "file", temp / "link");

	EXPECT_TRUE(BEntry((temp / "file").c_str()).IsFile());
	EXPECT_TRUE(BEntry((temp / "folder").c_str()).IsDirectory());
	BEntry link((temp / "link").c_str());
	EXPECT_TRUE(link.IsSymLink());
	EXPECT_FALSE(link.IsFile());

	BEntry followed((temp / "link").c_str(), true);
	EXPECT_TRUE(followed.IsFile());
	char name[B_FILE_NAME_LENGTH];
	ASSERT_EQ(followed.GetName(name), B_OK);
	EXPECT_STREQ(name, "file");
}

TEST(EntryTest, TraversalFollowsChainsAndStopsOnLoops)
{
	ScratchFolder temp;
	fs::create_directory(temp / "deep");
	WriteText(temp / "deep/target", "x");
	fs::create_symlink("deep/target", temp / "first");
	fs::create_symlink("first", temp / "second");
	BEntry chain((temp / "second").c_str(), true);
	ASSERT_EQ(chain.InitCheck(), B_OK);
	EXPECT_EQ(chain.FullPath(), temp / "deep/target");

	fs::create_symlink("loop-b", temp / "loop-a");
	fs::create_symlink("loop-a", temp / "loop-b");
	BEntry loop((temp / "loop-a").c_str(), true);
	EXPECT_EQ(loop.InitCheck(), B_LINK_LIMIT);

	// A dangling link leads to an entry that does not exist.
	fs::create_symlink("gone", temp / "dangling");
	BEntry dangling((temp / "dangling").c_str(), true);
	ASSERT_EQ(dangling.InitCheck(), B_OK);
	EXPECT_FALSE(dangling.Exists());
	EXPECT_EQ(dangling.FullPath(), temp / "gone");
}

TEST(EntryTest, RefsPathsAndParentsAgree)
{
	ScratchFolder temp;
	fs::create_directory(temp / "sub");
	WriteText(temp / "sub/doc.txt", "x");
	BEntry entry((temp / "sub/doc.txt").c_str());

	entry_ref ref;
	ASSERT_EQ(entry.GetRef(&ref), B_OK);
	struct stat folderInfo;
	ASSERT_EQ(stat((temp / "sub").c_str(), &folderInfo), 0);
	EXPECT_EQ(ref.device, folderInfo.st_dev);
	EXPECT_EQ(ref.directory, folderInfo.st_ino);

	BEntry again(&ref);
	EXPECT_EQ(again, entry);
	BPath path;
	ASSERT_EQ(entry.GetPath(&path), B_OK);
	EXPECT_EQ(std::string(path.Path()), temp / "sub/doc.txt");

	BEntry parent;
	ASSERT_EQ(entry.GetParent(&parent), B_OK);
	EXPECT_EQ(parent.FullPath(), temp / "sub");
	BDirectory parentDir;
	ASSERT_EQ(entry.GetParent(&parentDir), B_OK);
	EXPECT_EQ(std::string(parentDir.NodePath()), temp / "sub");

	BEntry root("/");
	EXPECT_TRUE(root.IsDirectory());
	EXPECT_EQ(root.GetParent(&parent), B_ENTRY_NOT_FOUND);
}

TEST(EntryTest, NodeRefsIdentifyTheEntryItself)
{
	ScratchFolder temp;
	WriteText(temp / "file", "x");
	fs::create_symlink(temp / "file", temp / "link");
	node_ref fileRef;
	node_ref linkRef;
	ASSERT_EQ(BEntry((temp / "file").c_str()).GetNodeRef(&fileRef), B_OK);
	ASSERT_EQ(BEntry((temp / "link").c_str()).GetNodeRef(&linkRef), B_OK);
	EXPECT_NE(fileRef, linkRef);
	node_ref viaLink;
	ASSERT_EQ(BEntry((temp / "link").c_str(), true).GetNodeRef(&viaLink), B_OK);
	EXPECT_EQ(viaLink, fileRef);
	EXPECT_EQ(BEntry((temp / "absent").c_str()).GetNodeRef(&viaLink), B_ENTRY_NOT_FOUND);
}

TEST(EntryTest, RenameKeepsOrReplacesTheTarget)
{
	ScratchFolder temp;
	WriteText(temp / "a", "first");
	WriteText(temp / "b", "second");
	BEntry entry((temp / "a").c_str());

	EXPECT_EQ(entry.Rename("b"), B_FILE_EXISTS);
	EXPECT_TRUE(fs::exists(temp / "a"));
	ASSERT_EQ(entry.Rename("b", true), B_OK);
	EXPECT_FALSE(fs::exists(temp / "a"));
	EXPECT_EQ(entry.FullPath(), temp / "b");
	std::ifstream in(temp / "b");
	std::string text;
	in >> text;
	EXPECT_EQ(text, "first");

	fs::create_directory(temp / "into");
	BDirectory into((temp / "into").c_str());
	ASSERT_EQ(entry.MoveTo(&into), B_OK);
	EXPECT_TRUE(fs::exists(temp / "into/b"));

	ASSERT_EQ(entry.Remove(), B_OK);
	EXPECT_FALSE(entry.Exists());
	EXPECT_EQ(entry.Remove(), B_ENTRY_NOT_FOUND);
}

TEST(EntryTest, CreateDirectoryMakesParentsAndAcceptsExisting)
{
	ScratchFolder temp;
	std::string nested = temp / "one/two/three";
	ASSERT_EQ(create_directory(nested.c_str(), 0777), B_OK);
	EXPECT_TRUE(fs::is_directory(nested));
	EXPECT_EQ(create_directory(nested.c_str(), 0777), B_OK);

	WriteText(temp / "plain", "x");
	EXPECT_EQ(create_directory((temp / "plain/sub").c_str(), 0777), B_NOT_A_DIRECTORY);
	EXPECT_EQ(create_directory((temp / "plain").c_str(), 0777), B_NOT_A_DIRECTORY);
	EXPECT_EQ(create_directory(nullptr, 0777), B_BAD_VALUE);

	// A link to a folder counts as the folder.
	fs::create_directory_symlink(temp / "one", temp / "alias");
	EXPECT_EQ(create_directory((temp / "alias/two").c_str(), 0777), B_OK);
}

TEST(EntryTest, KeepsUtf8NamesByteForByte)
{
	ScratchFolder temp;
	std::string name = "Fran\xc3\xa7"
	                   "ais.locale";
	WriteText(temp / name, "x");
	entry_ref ref;
	ASSERT_EQ(get_ref_for_path((temp / name).c_str(), &ref), B_OK);
	EXPECT_EQ(std::string(ref.name), name);
	EXPECT_TRUE(BEntry(&ref).IsFile());
}
