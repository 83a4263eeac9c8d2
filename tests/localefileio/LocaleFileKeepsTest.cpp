// A locale file saved over another keeps what the old one carried.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <Message.h>

#include "LocaleFile.h"
#include "LocaleFileTestSupport.h"

namespace {

std::string Xattr(const std::string& path, const char* name)
{
	char value[256];
	ssize_t size = getxattr(path.c_str(), name, value, sizeof(value));
	return size < 0 ? std::string("<none>") : std::string(value, (size_t)size);
}

BMessage Finnish()
{
	const char* texts[] = {"Hyvä", "Peru"};
	BMessage message;
	LocaleFile::Build(&message, "01.00", "some app", "Suomi", texts, 2);
	return message;
}

std::string FirstText(const std::string& path)
{
	BMessage message;
	const char* text = nullptr;
	if (LocaleFile::Read(path.c_str(), &message) != B_OK ||
	    message.FindString(kLocaleFieldText, &text) != B_OK)
		return "<unreadable>";
	return text;
}

} // namespace

TEST(LocaleFileKeeps, OtherAttributesOwnerAndModeStayTheLanguageIsNew)
{
	ScratchFolder folder;
	const std::string path = folder / "fi.locale";
	WriteBytes(path, {'o', 'l', 'd'});
	ASSERT_EQ(setxattr(path.c_str(), "user.comment", "proofread", 9, 0), 0);
	ASSERT_EQ(setxattr(path.c_str(), "user.zt:language", "Deutsch", 7, 0), 0);
	const bool root = geteuid() == 0;
	if (root) {
		ASSERT_EQ(chown(path.c_str(), 4321, 4322), 0);
	}
	ASSERT_EQ(chmod(path.c_str(), 0660), 0);

	ASSERT_EQ(LocaleFile::Write(path.c_str(), Finnish(), "Suomi"), B_OK);
	EXPECT_EQ(FirstText(path), "Hyvä");
	EXPECT_EQ(Xattr(path, "user.comment"), "proofread");
	EXPECT_EQ(Xattr(path, "user.zt:language"), "Suomi");
	EXPECT_EQ(Xattr(path, "user.mime_type"), kLocaleMimeType);
	struct stat info;
	ASSERT_EQ(stat(path.c_str(), &info), 0);
	EXPECT_EQ(info.st_mode & 07777, 0660u);
	if (root) {
		EXPECT_EQ(info.st_uid, 4321u);
		EXPECT_EQ(info.st_gid, 4322u);
	}
	EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"fi.locale"});
}

TEST(LocaleFileKeeps, EveryHardLinkSeesTheNewText)
{
	ScratchFolder folder;
	const std::string path = folder / "fi.locale";
	const std::string other = folder / "copy.locale";
	WriteBytes(path, std::vector<uint8_t>(500, 'o'));
	ASSERT_EQ(link(path.c_str(), other.c_str()), 0);

	ASSERT_EQ(LocaleFile::Write(path.c_str(), Finnish(), "Suomi"), B_OK);
	EXPECT_EQ(FirstText(other), "Hyvä");
	EXPECT_EQ(ReadBytes(other), ReadBytes(path));
	EXPECT_EQ(Xattr(other, "user.zt:language"), "Suomi");
	EXPECT_EQ(FolderEntries(folder.Path()), (std::vector<std::string>{"copy.locale", "fi.locale"}));
}
