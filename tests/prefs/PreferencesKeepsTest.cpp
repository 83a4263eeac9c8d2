// The settings file saved over another keeps what the old one carried.
#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "Preferences.h"
#include "ScratchFolder.h"

namespace {

const char* kKennung = "ZTLOCALE";

std::string Xattr(const std::string& path, const char* name)
{
	char value[256];
	ssize_t size = getxattr(path.c_str(), name, value, sizeof(value));
	return size < 0 ? std::string("<none>") : std::string(value, (size_t)size);
}

std::string Language(const std::string& path)
{
	return Preferences(path.c_str(), kKennung).GetString(kPrefLanguage, "<none>");
}

} // namespace

TEST(PreferencesKeeps, AttributesOwnerAndEveryHardLink)
{
	ScratchFolder folder;
	const std::string path = folder / "LocaleEditor.prefs";
	const std::string other = folder / "shared.prefs";
	{
		Preferences first(path.c_str(), kKennung);
		ASSERT_EQ(first.Save(), kPrefsOK);
	}
	ASSERT_EQ(setxattr(path.c_str(), "user.comment", "mine", 4, 0), 0);
	ASSERT_EQ(link(path.c_str(), other.c_str()), 0);
	const bool root = geteuid() == 0;
	if (root) {
		ASSERT_EQ(chown(path.c_str(), 4321, 4322), 0);
	}

	Preferences prefs(path.c_str(), kKennung);
	prefs.Set(kPrefLanguage, "Dansk");
	ASSERT_EQ(prefs.Save(), kPrefsOK);
	EXPECT_EQ(Language(path), "Dansk");
	EXPECT_EQ(Language(other), "Dansk");
	EXPECT_EQ(Xattr(path, "user.comment"), "mine");
	struct stat info;
	ASSERT_EQ(stat(path.c_str(), &info), 0);
	EXPECT_EQ(info.st_nlink, 2u);
	if (root) {
		EXPECT_EQ(info.st_uid, 4321u);
		EXPECT_EQ(info.st_gid, 4322u);
	}
	size_t files = 0;
	for (const auto& item : std::filesystem::directory_iterator(folder.Path())) {
		(void)item;
		files++;
	}
	EXPECT_EQ(files, 2u);
}
