#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <linux/fs.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <File.h>
#include <Message.h>
#include <Node.h>
#include <NodeInfo.h>
#include <TypeConstants.h>

#include "FileSizeLimit.h"
#include "LocaleFile.h"
#include "LocaleFileTestSupport.h"

namespace {

const char* const kTexts[] = {"Ok", "Cancel"};
const char* const kAppID = "korvane localeeditor locale";

BMessage GoldenMessage()
{
	BMessage message;
	LocaleFile::Build(&message, "01.00", kAppID, "English", kTexts, 2);
	return message;
}

std::string StringAt(const BMessage& message, const char* field, int32 index = 0)
{
	const char* value = nullptr;
	if (message.FindString(field, index, &value) != B_OK || value == nullptr)
		return "<missing>";
	return value;
}

std::vector<uint8_t> Attribute(const std::string& path, const char* name, attr_info* info)
{
	BNode node(path.c_str());
	if (node.GetAttrInfo(name, info) != B_OK)
		return {};
	std::vector<uint8_t> bytes(info->size);
	ssize_t read = node.ReadAttr(name, info->type, 0, bytes.data(), bytes.size());
	bytes.resize(read > 0 ? read : 0);
	return bytes;
}

std::string MimeType(const std::string& path)
{
	BNode node(path.c_str());
	BNodeInfo info(&node);
	char type[B_MIME_TYPE_LENGTH] = "";
	if (info.GetType(type) != B_OK)
		return "<none>";
	return type;
}

// Makes a folder refuse new entries, also for root (which ignores the mode
// bits): the immutable flag where the file system has it.
class ReadOnlyFolder
{
public:
	explicit ReadOnlyFolder(const std::string& path) : mPath(path)
	{
		chmod(path.c_str(), 0555);
		if (geteuid() != 0) {
			mActive = true;
			return;
		}
		int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY);
		int flags = 0;
		if (fd >= 0 && ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
			flags |= FS_IMMUTABLE_FL;
			mImmutable = ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
		}
		if (fd >= 0)
			close(fd);
		mActive = mImmutable;
	}
	~ReadOnlyFolder()
	{
		if (mImmutable) {
			int fd = open(mPath.c_str(), O_RDONLY | O_DIRECTORY);
			int flags = 0;
			if (fd >= 0 && ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
				flags &= ~FS_IMMUTABLE_FL;
				ioctl(fd, FS_IOC_SETFLAGS, &flags);
			}
			if (fd >= 0)
				close(fd);
		}
		chmod(mPath.c_str(), 0755);
	}
	bool Active() const { return mActive; }

private:
	std::string mPath;
	bool mImmutable = false;
	bool mActive = false;
};

} // namespace

TEST(LocaleFileWrite, BuildsTheFormatsFieldOrderByteForByte)
{
	// The checksum word (bytes 4 to 7) is not compared: readers never
	// reject on it.
	ScratchFolder folder;
	std::string path = folder / "English.locale";
	ASSERT_EQ(LocaleFile::Write(path.c_str(), GoldenMessage(), "English"), B_OK);
	std::vector<uint8_t> bytes = ReadBytes(path);
	ASSERT_EQ(bytes.size(), kGoldenLocaleMessage.size());
	for (size_t i = 0; i < bytes.size(); i++) {
		if (i >= 4 && i < 8)
			continue;
		EXPECT_EQ(bytes[i], kGoldenLocaleMessage[i]) << "byte " << i;
	}
}

TEST(LocaleFileWrite, RoundTripKeepsFieldsAttributeAndType)
{
	ScratchFolder folder;
	std::string path = folder / "de.locale";
	const char* texts[] = {"Gut", "", "Zeile\\nzwei", "Ende ; mit Semikolon"};
	BMessage written;
	LocaleFile::Build(&written, "02.10", "some app", "Deutsch", texts, 4);
	std::string reason = "stale";
	ASSERT_EQ(LocaleFile::Write(path.c_str(), written, "Deutsch", &reason), B_OK);
	EXPECT_TRUE(reason.empty());

	BMessage read;
	ASSERT_EQ(LocaleFile::Read(path.c_str(), &read), B_OK);
	EXPECT_EQ(read.what, 0u);
	EXPECT_EQ(StringAt(read, kLocaleFieldVersion), "02.10");
	EXPECT_EQ(StringAt(read, kLocaleFieldAppID), "some app");
	EXPECT_EQ(StringAt(read, kLocaleFieldLanguage), "Deutsch");
	type_code type = 0;
	int32 count = 0;
	ASSERT_EQ(read.GetInfo(kLocaleFieldText, &type, &count), B_OK);
	EXPECT_EQ(type, (type_code)B_STRING_TYPE);
	ASSERT_EQ(count, 4);
	for (int32 i = 0; i < 4; i++)
		EXPECT_EQ(StringAt(read, kLocaleFieldText, i), texts[i]);

	// Seven letters: an attribute of seven bytes, no terminator.
	attr_info info;
	std::vector<uint8_t> attribute = Attribute(path, kLocaleLanguageAttr, &info);
	EXPECT_EQ(info.size, 7);
	EXPECT_EQ(info.type, (uint32)B_STRING_TYPE);
	EXPECT_EQ(std::string(attribute.begin(), attribute.end()), "Deutsch");
	EXPECT_EQ(MimeType(path), "locale/x-vnd.vessmor-locale");

	// Nothing but the file itself is left in the folder.
	EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"de.locale"});
}

TEST(LocaleFileWrite, WritesNoAttributeWithoutLanguage)
{
	ScratchFolder folder;
	std::string path = folder / "x.locale";
	ASSERT_EQ(LocaleFile::Write(path.c_str(), GoldenMessage(), nullptr), B_OK);
	attr_info info;
	EXPECT_NE(BNode(path.c_str()).GetAttrInfo(kLocaleLanguageAttr, &info), B_OK);
	EXPECT_EQ(MimeType(path), "locale/x-vnd.vessmor-locale");

	// Nor does it keep the language of the file it replaces.
	ASSERT_EQ(LocaleFile::Write(path.c_str(), GoldenMessage(), "English"), B_OK);
	ASSERT_EQ(BNode(path.c_str()).GetAttrInfo(kLocaleLanguageAttr, &info), B_OK);
	ASSERT_EQ(LocaleFile::Write(path.c_str(), GoldenMessage(), nullptr), B_OK);
	EXPECT_NE(BNode(path.c_str()).GetAttrInfo(kLocaleLanguageAttr, &info), B_OK);
}

TEST(LocaleFileWrite, ReplacesAnOlderFileAndKeepsItsPermissions)
{
	ScratchFolder folder;
	std::string path = folder / "old.locale";
	WriteBytes(path, {'o', 'l', 'd'});
	chmod(path.c_str(), 0600);
	ASSERT_EQ(LocaleFile::Write(path.c_str(), GoldenMessage(), "English"), B_OK);
	struct stat info;
	ASSERT_EQ(stat(path.c_str(), &info), 0);
	EXPECT_EQ(info.st_mode & 07777, 0600u);
	EXPECT_EQ(ReadBytes(path).size(), kGoldenLocaleMessage.size());

	// A new file gets 0644 whatever the umask says.
	mode_t oldMask = umask(077);
	std::string fresh = folder / "fresh.locale";
	status_t status = LocaleFile::Write(fresh.c_str(), GoldenMessage(), "English");
	umask(oldMask);
	ASSERT_EQ(status, B_OK);
	ASSERT_EQ(stat(fresh.c_str(), &info), 0);
	EXPECT_EQ(info.st_mode & 07777, 0644u);
}

TEST(LocaleFileWrite, ThroughASymbolicLinkReplacesTheTargetAndKeepsTheLink)
{
	ScratchFolder folder;
	std::filesystem::create_directory(folder / "real");
	std::string target = folder / "real/target.locale";
	std::string link = folder / "link.locale";
	WriteBytes(target, {'o', 'l', 'd'});
	std::filesystem::create_symlink(target, link);

	ASSERT_EQ(LocaleFile::Write(link.c_str(), GoldenMessage(), "English"), B_OK);
	EXPECT_TRUE(std::filesystem::is_symlink(link));
	EXPECT_EQ(std::filesystem::read_symlink(link), target);
	EXPECT_EQ(ReadBytes(target).size(), kGoldenLocaleMessage.size());
	EXPECT_EQ(MimeType(target), "locale/x-vnd.vessmor-locale");
	EXPECT_EQ(FolderEntries(folder / "real"), std::vector<std::string>{"target.locale"});
}

TEST(LocaleFileWrite, RefusedWriteInReadOnlyFolderKeepsTheOldFile)
{
	ScratchFolder folder;
	std::string path = folder / "keep.locale";
	const std::vector<uint8_t> old = {'o', 'l', 'd', '\n', 0, 1, 2};
	WriteBytes(path, old);
	{
		ReadOnlyFolder readOnly(folder.Path());
		if (!readOnly.Active())
			GTEST_SKIP() << "cannot make a folder read-only for this user here";
		std::string reason;
		status_t status = LocaleFile::Write(path.c_str(), GoldenMessage(), "English", &reason);
		EXPECT_NE(status, B_OK);
		EXPECT_FALSE(reason.empty());
	}
	EXPECT_EQ(ReadBytes(path), old);
	EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"keep.locale"});
}

TEST(LocaleFileWrite, FailingWriteKeepsTheOldFileAndRemovesTheTemporary)
{
	ScratchFolder folder;
	std::string path = folder / "keep.locale";
	const std::vector<uint8_t> old = {'o', 'l', 'd'};
	WriteBytes(path, old);
	std::string reason;
	status_t status;
	{
		FileSizeLimit limit(16);
		status = LocaleFile::Write(path.c_str(), GoldenMessage(), "English", &reason);
	}
	EXPECT_NE(status, B_OK);
	EXPECT_EQ(reason, b_status_string(status));
	EXPECT_EQ(ReadBytes(path), old);
	EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"keep.locale"});
}

TEST(LocaleFileWrite, RefusesFoldersReadOnlyFilesAndMissingFolders)
{
	ScratchFolder folder;
	std::filesystem::create_directory(folder / "sub");
	std::string reason;
	EXPECT_EQ(LocaleFile::Write((folder / "sub").c_str(), GoldenMessage(), "English", &reason),
	          B_IS_A_DIRECTORY);
	EXPECT_FALSE(reason.empty());
	EXPECT_TRUE(std::filesystem::is_directory(folder / "sub"));

	EXPECT_NE(LocaleFile::Write((folder / "none/x.locale").c_str(), GoldenMessage(), "English"),
	          B_OK);
	EXPECT_NE(LocaleFile::Write("", GoldenMessage(), "English"), B_OK);
	EXPECT_NE(LocaleFile::Write(nullptr, GoldenMessage(), "English"), B_OK);

	if (geteuid() != 0) {
		std::string locked = folder / "locked.locale";
		WriteBytes(locked, {'x'});
		chmod(locked.c_str(), 0444);
		EXPECT_EQ(LocaleFile::Write(locked.c_str(), GoldenMessage(), "English"),
		          B_PERMISSION_DENIED);
		EXPECT_EQ(ReadBytes(locked), std::vector<uint8_t>{'x'});
	}
}

TEST(LocaleFileWrite, IntoAnOpenFileWritesEverythingAndReportsFailures)
{
	ScratchFolder folder;
	std::string path = folder / "fi.locale";
	{
		BFile file(path.c_str(), B_WRITE_ONLY | B_CREATE_FILE);
		ASSERT_EQ(LocaleFile::WriteInto(&file, GoldenMessage(), "Suomi"), B_OK);
	}
	EXPECT_EQ(ReadBytes(path).size(), kGoldenLocaleMessage.size());
	attr_info info;
	std::vector<uint8_t> attribute = Attribute(path, kLocaleLanguageAttr, &info);
	EXPECT_EQ(std::string(attribute.begin(), attribute.end()), "Suomi");
	EXPECT_EQ(MimeType(path), "locale/x-vnd.vessmor-locale");

	BFile readOnly(path.c_str(), B_READ_ONLY);
	EXPECT_NE(LocaleFile::WriteInto(&readOnly, GoldenMessage(), "Suomi"), B_OK);
	BFile unset;
	EXPECT_EQ(LocaleFile::WriteInto(&unset, GoldenMessage(), "Suomi"), B_NO_INIT);
	EXPECT_EQ(LocaleFile::WriteInto(nullptr, GoldenMessage(), "Suomi"), B_BAD_VALUE);
	EXPECT_EQ(ReadBytes(path).size(), kGoldenLocaleMessage.size());
}

TEST(LocaleFileRead, ReadsTheGoldenMessageFromATypelessFile)
{
	ScratchFolder folder;
	std::string path = folder / "golden";
	WriteBytes(path, kGoldenLocaleMessage);
	BMessage message;
	ASSERT_EQ(LocaleFile::Read(path.c_str(), &message), B_OK);
	EXPECT_EQ(StringAt(message, kLocaleFieldVersion), "01.00");
	EXPECT_EQ(StringAt(message, kLocaleFieldAppID), kAppID);
	EXPECT_EQ(StringAt(message, kLocaleFieldLanguage), "English");
	EXPECT_EQ(StringAt(message, kLocaleFieldText, 0), "Ok");
	EXPECT_EQ(StringAt(message, kLocaleFieldText, 1), "Cancel");
	EXPECT_EQ(StringAt(message, kLocaleFieldText, 2), "<missing>");

	// From an open file positioned anywhere: always from the start.
	BFile file(path.c_str(), B_READ_ONLY);
	file.Seek(50, SEEK_SET);
	BMessage again;
	ASSERT_EQ(LocaleFile::Read(&file, &again), B_OK);
	EXPECT_EQ(StringAt(again, kLocaleFieldText, 1), "Cancel");
}

TEST(LocaleFileRead, RejectsBrokenBodiesAndLeavesTheMessageEmpty)
{
	ScratchFolder folder;
	std::vector<std::pair<std::string, std::vector<uint8_t>>> cases;
	cases.push_back({"empty", {}});
	cases.push_back({"text", {'h', 'e', 'l', 'l', 'o', '\n'}});
	std::vector<uint8_t> truncated(kGoldenLocaleMessage.begin(), kGoldenLocaleMessage.end() - 9);
	cases.push_back({"truncated", truncated});
	std::vector<uint8_t> bigger = kGoldenLocaleMessage;
	bigger[8] = 0xff; // flattened size larger than the file
	cases.push_back({"oversize", bigger});

	for (const auto& [name, bytes] : cases) {
		std::string path = folder / name;
		WriteBytes(path, bytes);
		BMessage message('junk');
		message.AddString("stale", "value");
		EXPECT_NE(LocaleFile::Read(path.c_str(), &message), B_OK) << name;
		EXPECT_TRUE(message.IsEmpty()) << name;
		EXPECT_EQ(message.what, 0u) << name;
	}

	BMessage message;
	EXPECT_NE(LocaleFile::Read(folder.Path().c_str(), &message), B_OK);
	EXPECT_NE(LocaleFile::Read((folder / "missing").c_str(), &message), B_OK);
	EXPECT_NE(LocaleFile::Read((const char*)nullptr, &message), B_OK);
	EXPECT_NE(LocaleFile::Read((BFile*)nullptr, &message), B_OK);

	// A huge file is refused without being read.
	std::string huge = folder / "huge";
	WriteBytes(huge, kGoldenLocaleMessage);
	std::filesystem::resize_file(huge, kLocaleFileMaxSize + 1);
	EXPECT_EQ(LocaleFile::Read(huge.c_str(), &message), B_FILE_TOO_LARGE);
	EXPECT_TRUE(message.IsEmpty());
}

// Generated locale files can be tens of megabytes; one that is merely big
// reads like any other.
TEST(LocaleFileRead, BigFileUnderTheLimitReads)
{
	ScratchFolder folder;
	const std::string text(1024 * 1024, 'x');
	std::vector<const char*> texts(24, text.c_str());
	BMessage written;
	LocaleFile::Build(&written, "1", "big app", "Deutsch", texts.data(), (long)texts.size());
	ASSERT_GT(written.FlattenedSize(), 16 * 1024 * 1024);
	const std::string path = folder / "big.locale";
	ASSERT_EQ(LocaleFile::Write(path.c_str(), written, "Deutsch"), B_OK);
	BMessage message;
	ASSERT_EQ(LocaleFile::Read(path.c_str(), &message), B_OK);
	int32 count = 0;
	EXPECT_EQ(message.GetInfo("zt:text", nullptr, &count), B_OK);
	EXPECT_EQ(count, 24);
}
