// Where the editor keeps the user's settings and interface translations:
// beside a writable program as always, and in the user's XDG folders when
// the program's folder is an installed copy or cannot be written.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include <Path.h>

#include "AppFolder.h"
#include "EnvironmentGuard.h"
#include "FileBytes.h"
#include "ScratchFolder.h"

namespace fs = std::filesystem;

namespace {

// A folder its user cannot write, as an installed program's folder is. The
// owner of every file may write anyway, so when the tests run as the
// superuser they act as another user meanwhile.
class ReadOnlyFolder
{
public:
	ReadOnlyFolder()
	{
		chmod(mFolder.Path().c_str(), 0555);
		if (geteuid() == 0)
			mSwitched = seteuid(kNobody) == 0;
	}
	~ReadOnlyFolder()
	{
		if (mSwitched && seteuid(0) != 0)
			std::abort(); // every later test would run as the wrong user
		chmod(mFolder.Path().c_str(), 0755);
	}
	BPath Path() const { return BPath(mFolder.Path().c_str()); }

private:
	static constexpr uid_t kNobody = 65534;
	ScratchFolder mFolder;
	bool mSwitched = false;
};

// A scratch home that any user may write in.
class OpenScratch : public ScratchFolder
{
public:
	OpenScratch() { chmod(Path().c_str(), 0777); }
};

std::string Canonical(const char* path)
{
	return fs::weakly_canonical(path).string();
}

} // namespace

TEST(UserFolders, AWritableProgramFolderKeepsTheSettingsAndHasNoUserLocaleFolder)
{
	ScratchFolder app;
	OpenScratch config;
	EnvironmentGuard xdg("XDG_CONFIG_HOME", config.Path());
	BPath settings;
	ASSERT_EQ(GetSettingsFolder(BPath(app.Path().c_str()), &settings), B_OK);
	EXPECT_EQ(Canonical(settings.Path()), Canonical(app.Path().c_str()));
	BPath locale;
	EXPECT_EQ(GetUserLocaleFolder(BPath(app.Path().c_str()), &locale), B_ENTRY_NOT_FOUND);
	EXPECT_TRUE(fs::is_empty(config.Path())) << "nothing is made in the user's folders";
}

TEST(UserFolders, AReadOnlyProgramFolderPutsThemUnderTheXdgFolders)
{
	OpenScratch config;
	OpenScratch data;
	EnvironmentGuard configHome("XDG_CONFIG_HOME", config.Path());
	EnvironmentGuard dataHome("XDG_DATA_HOME", data.Path());
	ReadOnlyFolder app;

	BPath settings;
	ASSERT_EQ(GetSettingsFolder(app.Path(), &settings), B_OK);
	EXPECT_EQ(Canonical(settings.Path()), Canonical((config / "korvane-localeeditor").c_str()));
	EXPECT_TRUE(fs::is_directory(settings.Path()));
	EXPECT_EQ(access(settings.Path(), W_OK), 0);

	BPath locale;
	ASSERT_EQ(GetUserLocaleFolder(app.Path(), &locale), B_OK);
	EXPECT_EQ(Canonical(locale.Path()), Canonical((data / "korvane-localeeditor/locale").c_str()));
	EXPECT_TRUE(fs::is_directory(locale.Path()));
}

TEST(UserFolders, WithoutXdgVariablesTheFoldersAreUnderHome)
{
	OpenScratch home;
	EnvironmentGuard homeGuard("HOME", home.Path());
	EnvironmentGuard configHome("XDG_CONFIG_HOME", std::nullopt);
	// Relative values are to be ignored, as the base directory rules say.
	EnvironmentGuard dataHome("XDG_DATA_HOME", std::string("relative/share"));
	ReadOnlyFolder app;

	BPath settings;
	ASSERT_EQ(GetSettingsFolder(app.Path(), &settings), B_OK);
	EXPECT_EQ(Canonical(settings.Path()),
	          Canonical((home / ".config/korvane-localeeditor").c_str()));
	BPath locale;
	ASSERT_EQ(GetUserLocaleFolder(app.Path(), &locale), B_OK);
	EXPECT_EQ(Canonical(locale.Path()),
	          Canonical((home / ".local/share/korvane-localeeditor/locale").c_str()));
}

TEST(UserFolders, AnInstalledProgramFolderSendsThemToTheXdgFoldersThoughItIsWritable)
{
	// As root runs an installed copy: the folder can be written, but what
	// the program left there would outlive the package and reach every user.
	ScratchFolder app;
	OpenScratch config;
	OpenScratch data;
	EnvironmentGuard configHome("XDG_CONFIG_HOME", config.Path());
	EnvironmentGuard dataHome("XDG_DATA_HOME", data.Path());
	const BPath appFolder(app.Path().c_str());
	EXPECT_FALSE(IsInstalledAppFolder(appFolder));
	WriteFileBytes(app / kInstalledMarkerName, "installed copy\n");
	EXPECT_TRUE(IsInstalledAppFolder(appFolder));

	BPath settings;
	ASSERT_EQ(GetSettingsFolder(appFolder, &settings), B_OK);
	EXPECT_EQ(Canonical(settings.Path()), Canonical((config / "korvane-localeeditor").c_str()));
	BPath locale;
	ASSERT_EQ(GetUserLocaleFolder(appFolder, &locale), B_OK);
	EXPECT_EQ(Canonical(locale.Path()), Canonical((data / "korvane-localeeditor/locale").c_str()));
}
