#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

#include "Directory.h"
#include "Entry.h"
#include "File.h"
#include "FileBytes.h"
#include "ScratchFolder.h"

namespace fs = std::filesystem;

TEST(FileTest, OpenModesCreateEraseAndRefuse)
{
	ScratchFolder temp;
	std::string path = temp / "data";

	BFile missing(path.c_str(), B_READ_ONLY);
	EXPECT_EQ(missing.InitCheck(), B_ENTRY_NOT_FOUND);

	BFile created(path.c_str(), B_WRITE_ONLY | B_CREATE_FILE);
	ASSERT_EQ(created.InitCheck(), B_OK);
	EXPECT_TRUE(created.IsWritable());
	EXPECT_FALSE(created.IsReadable());
	ASSERT_EQ(created.Write("hello world", 11), 11);
	created.Unset();

	BFile exclusive(path.c_str(), B_WRITE_ONLY | B_CREATE_FILE | B_FAIL_IF_EXISTS);
	EXPECT_EQ(exclusive.InitCheck(), B_FILE_EXISTS);

	BFile append(path.c_str(), B_WRITE_ONLY | B_OPEN_AT_END);
	ASSERT_EQ(append.Write("!", 1), 1);
	append.Unset();
	EXPECT_EQ(ReadFileBytes(path), "hello world!");

	// The mode the editor saves with: write-only, create, erase (0x601).
	BFile erased(path.c_str(), 0x601);
	ASSERT_EQ(erased.InitCheck(), B_OK);
	off_t size = -1;
	ASSERT_EQ(erased.GetSize(&size), B_OK);
	EXPECT_EQ(size, 0);

	BFile readOnly(path.c_str(), B_READ_ONLY);
	EXPECT_TRUE(readOnly.IsReadable());
	EXPECT_FALSE(readOnly.IsWritable());
	EXPECT_LT(readOnly.Write("x", 1), 0);

	BFile badMode(path.c_str(), 3);
	EXPECT_EQ(badMode.InitCheck(), B_BAD_VALUE);
}

TEST(FileTest, ReadsWritesAndSeeksLikeAStream)
{
	ScratchFolder temp;
	BFile file((temp / "data").c_str(), B_READ_WRITE | B_CREATE_FILE);
	ASSERT_EQ(file.InitCheck(), B_OK);
	ASSERT_EQ(file.Write("0123456789", 10), 10);
	EXPECT_EQ(file.Position(), 10);
	EXPECT_EQ(file.Seek(2, SEEK_SET), 2);
	char buffer[16] = {};
	ASSERT_EQ(file.Read(buffer, 3), 3);
	EXPECT_STREQ(buffer, "234");
	EXPECT_EQ(file.Seek(-1, SEEK_END), 9);
	EXPECT_EQ(file.Read(buffer, sizeof(buffer)), 1);
	EXPECT_EQ(file.Read(buffer, sizeof(buffer)), 0);
	EXPECT_EQ(file.Seek(0, 99), B_BAD_VALUE);

	ASSERT_EQ(file.WriteAt(4, "ab", 2), 2);
	EXPECT_EQ(file.Position(), 10);
	ASSERT_EQ(file.ReadAt(3, buffer, 4), 4);
	EXPECT_EQ(std::string(buffer, 4), "3ab6");

	ASSERT_EQ(file.SetSize(5), B_OK);
	off_t size;
	ASSERT_EQ(file.GetSize(&size), B_OK);
	EXPECT_EQ(size, 5);
	EXPECT_EQ(file.SetSize(-1), B_BAD_VALUE);
}

TEST(FileTest, AFullDiskIsReportedNotHidden)
{
	BFile full("/dev/full", B_WRITE_ONLY);
	ASSERT_EQ(full.InitCheck(), B_OK);
	EXPECT_EQ(full.Write("x", 1), B_DEVICE_FULL);
	EXPECT_EQ(full.WriteAt(0, "x", 1), B_DEVICE_FULL);
}

TEST(FileTest, RefusesFoldersAndPipes)
{
	ScratchFolder temp;
	BFile folder(temp.Path().c_str(), B_READ_ONLY);
	EXPECT_EQ(folder.InitCheck(), B_IS_A_DIRECTORY);
	BFile folderForWriting(temp.Path().c_str(), B_WRITE_ONLY);
	EXPECT_EQ(folderForWriting.InitCheck(), B_IS_A_DIRECTORY);

	ASSERT_EQ(mkfifo((temp / "pipe").c_str(), 0600), 0);
	// Must return at once: nobody writes to the pipe.
	BFile pipe((temp / "pipe").c_str(), B_READ_ONLY);
	EXPECT_EQ(pipe.InitCheck(), B_BAD_TYPE);
}

TEST(FileTest, UninitialisedFileAnswersItsStatus)
{
	BFile file;
	char buffer[4];
	EXPECT_EQ(file.InitCheck(), B_NO_INIT);
	EXPECT_EQ(file.Read(buffer, 4), B_NO_INIT);
	EXPECT_EQ(file.Write(buffer, 4), B_NO_INIT);
	EXPECT_EQ(file.Seek(0, SEEK_SET), B_NO_INIT);
	EXPECT_FALSE(file.IsReadable());
	off_t size;
	EXPECT_EQ(file.GetSize(&size), B_NO_INIT);
}

TEST(FileTest, OpensByRefEntryAndFolder)
{
	ScratchFolder temp;
	std::ofstream(temp / "doc") << "abc";
	entry_ref ref;
	ASSERT_EQ(get_ref_for_path((temp / "doc").c_str(), &ref), B_OK);
	char buffer[3];
	BFile byRef(&ref, B_READ_ONLY);
	EXPECT_EQ(byRef.Read(buffer, 3), 3);
	BEntry entry((temp / "doc").c_str());
	BFile byEntry(&entry, B_READ_ONLY);
	EXPECT_EQ(byEntry.Read(buffer, 3), 3);
	BDirectory dir(temp.Path().c_str());
	BFile byFolder(&dir, "doc", B_READ_ONLY);
	EXPECT_EQ(byFolder.Read(buffer, 3), 3);
	BFile copy(byFolder);
	EXPECT_EQ(copy.ReadAt(0, buffer, 3), 3);
	EXPECT_EQ(std::string(buffer, 3), "abc");
}
