// cmake --install into a scratch prefix gives a program the desktop can
// start: the application folder under lib/, a launcher in bin/, and the
// desktop's files under share/, each valid by the desktop's own tools; the
// editor is the default for its file type, merged into what the prefix's
// mimeapps.list held.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "BuiltPrograms.h"
#include "DesktopTestSupport.h"
#include "EditorHarness.h"
#include "FileBytes.h"
#include "ScratchFolder.h"

namespace fs = std::filesystem;

namespace {

const char* const kEarlierChoices = "[Added Associations]\n"
                                    "text/plain=viewer.desktop;\n"
                                    "\n"
                                    "[Default Applications]\n"
                                    "text/plain=writer.desktop;\n";

// Installed once for every test here: installing is the slow part.
class Installed : public ::testing::Test
{
protected:
	static void SetUpTestSuite()
	{
		sPrefix = new ScratchFolder;
		// Choices someone made before: kept as they were by the install.
		std::filesystem::create_directories(*sPrefix / "share/applications");
		WriteFileBytes(*sPrefix / "share/applications/mimeapps.list", kEarlierChoices);
		CommandResult install = InstallInto(sPrefix->Path());
		sInstalled = install.status == 0;
		sInstallOutput = install.output;
	}

	static void TearDownTestSuite()
	{
		delete sPrefix;
		sPrefix = nullptr;
	}

	void SetUp() override { ASSERT_TRUE(sInstalled) << sInstallOutput; }

	std::string Prefixed(const std::string& path) const { return *sPrefix / path; }
	std::string AppFolder() const { return Prefixed(std::string("lib/") + kAppName); }
	std::string DesktopFile() const
	{
		return Prefixed(std::string("share/applications/") + kAppName + ".desktop");
	}

	static ScratchFolder* sPrefix;
	static bool sInstalled;
	static std::string sInstallOutput;
};

ScratchFolder* Installed::sPrefix = nullptr;
bool Installed::sInstalled = false;
std::string Installed::sInstallOutput;

} // namespace

TEST_F(Installed, TheApplicationFolderHoldsWhatTheProgramLooksForBesideItself)
{
	EXPECT_TRUE(fs::is_regular_file(AppFolder() + "/LocaleEditor"));
	EXPECT_TRUE(fs::exists(AppFolder() + "/lib/libztlocale.so.1"));
	EXPECT_TRUE(
	    fs::is_regular_file(AppFolder() + "/Documentation/KorvaneLocale-UserGuide-English.html"));
	for (const char* language : {"Deutsch", "Espanol", "Francais"}) {
		EXPECT_TRUE(fs::is_regular_file(AppFolder() + "/locale/" + language + ".locale"))
		    << language;
	}
	// Every library the program needs resolves, its own from the folder.
	CommandResult ldd = RunCommand({"ldd", AppFolder() + "/LocaleEditor"});
	EXPECT_EQ(ldd.output.find("not found"), std::string::npos) << ldd.output;
	EXPECT_NE(ldd.output.find(AppFolder() + "/lib/libztlocale.so.1"), std::string::npos)
	    << ldd.output;
}

TEST_F(Installed, TheLaunchersAreRelativeLinksToTheProgramsUnderNamesOfTheirOwn)
{
	// The scripting tool's plain name belongs to another Debian package.
	EXPECT_FALSE(fs::exists(Prefixed("bin/hey")));
	for (const auto& [name, program] :
	     {std::pair<std::string, std::string>(kAppName, "LocaleEditor"), {kHeyName, "hey"}}) {
		std::string launcher = Prefixed("bin/" + name);
		ASSERT_TRUE(fs::is_symlink(launcher)) << launcher;
		EXPECT_FALSE(fs::read_symlink(launcher).is_absolute()) << launcher;
		EXPECT_EQ(fs::canonical(launcher), fs::canonical(AppFolder() + "/" + program));
	}
	CommandResult help = RunCommand({Prefixed(std::string("bin/") + kHeyName), "--help"});
	EXPECT_EQ(help.status, 0) << help.output;
	EXPECT_NE(help.output.find("usage:"), std::string::npos) << help.output;
}

TEST_F(Installed, TheEditorIsTheDefaultForItsTypeAndEarlierChoicesStay)
{
	if (!HaveProgram("xdg-mime"))
		GTEST_FAIL() << "xdg-utils is needed (tools/deps.sh)";
	const std::string data = Prefixed("share");
	EXPECT_EQ(DefaultApplication(kLocaleType, data), std::string(kAppName) + ".desktop");
	std::string list = ReadFileBytes(Prefixed("share/applications/mimeapps.list"));
	EXPECT_EQ(list.rfind(kEarlierChoices, 0), 0u) << list;
	// Installing again changes nothing.
	CommandResult again = InstallInto(sPrefix->Path());
	ASSERT_EQ(again.status, 0) << again.output;
	EXPECT_EQ(ReadFileBytes(Prefixed("share/applications/mimeapps.list")), list);
}

TEST_F(Installed, TheDesktopEntryIsValidAndStartsTheInstalledLauncher)
{
	ASSERT_TRUE(fs::is_regular_file(DesktopFile()));
	if (HaveProgram("desktop-file-validate")) {
		CommandResult validate = RunCommand({"desktop-file-validate", DesktopFile()});
		EXPECT_EQ(validate.status, 0) << validate.output;
		EXPECT_EQ(validate.output, "");
	} else {
		ADD_FAILURE() << "desktop-file-validate is missing (tools/deps.sh installs it)";
	}
	std::string launcher = Prefixed(std::string("bin/") + kAppName);
	EXPECT_EQ(DesktopEntryValue(DesktopFile(), "Exec"), launcher + " %F");
	EXPECT_EQ(DesktopEntryValue(DesktopFile(), "TryExec"), launcher);
	// Task bars tie windows to the entry by their class, which the program
	// takes from its executable's name.
	EXPECT_EQ(DesktopEntryValue(DesktopFile(), "StartupWMClass"), "LocaleEditor");
	EXPECT_EQ(DesktopEntryValue(DesktopFile(), "Icon"), kAppName);
}

TEST_F(Installed, IconsComeInEverySizeOfTheThemeAndScalable)
{
	std::string theme = Prefixed("share/icons/hicolor/");
	for (int side : {16, 24, 32, 48, 64, 128, 256}) {
		std::string size = std::to_string(side) + "x" + std::to_string(side);
		std::string png = theme + size + "/apps/" + kAppName + ".png";
		ASSERT_TRUE(fs::is_regular_file(png)) << png;
		// The PNG header's width and height (big-endian, at 16 and 20).
		std::string bytes = ReadFileBytes(png);
		ASSERT_GE(bytes.size(), 24u);
		auto number = [&](size_t at) {
			return (uint8_t)bytes[at] << 24 | (uint8_t)bytes[at + 1] << 16 |
			       (uint8_t)bytes[at + 2] << 8 | (uint8_t)bytes[at + 3];
		};
		EXPECT_EQ(number(16), (uint32_t)side) << png;
		EXPECT_EQ(number(20), (uint32_t)side) << png;
	}
	std::string svg = ReadFileBytes(theme + "scalable/apps/" + kAppName + ".svg");
	EXPECT_NE(svg.find("<svg"), std::string::npos);
	EXPECT_NE(svg.find("viewBox=\"0 0 32 32\""), std::string::npos);
}

TEST_F(Installed, AppStreamMetadataIsValidAndItsScreenshotWasMade)
{
	std::string metainfo = Prefixed("share/metainfo/com.korvane.LocaleEditor.metainfo.xml");
	ASSERT_TRUE(fs::is_regular_file(metainfo));
	if (HaveProgram("appstreamcli")) {
		CommandResult validate = RunCommand({"appstreamcli", "validate", "--no-net", metainfo});
		EXPECT_EQ(validate.status, 0) << validate.output;
	} else {
		ADD_FAILURE() << "appstreamcli is missing (tools/deps.sh installs it)";
	}
	EXPECT_NE(ReadFileBytes(metainfo).find(std::string(kAppName) + ".desktop"), std::string::npos);
	std::string screenshot =
	    ReadFileBytes(Prefixed(std::string("share/") + kAppName + "/screenshot.png"));
	ASSERT_GE(screenshot.size(), 24u);
	EXPECT_EQ(screenshot.substr(1, 3), "PNG");
}

TEST_F(Installed, TheInstalledEditorRunsAndKeepsTheUsersFilesOutOfItsFolder)
{
	const char* bus = getenv("DBUS_SESSION_BUS_ADDRESS");
	if (bus == nullptr || bus[0] == '\0')
		GTEST_SKIP() << "needs a session bus (ctest under dbus-run-session)";
	// The tests run as the folder's owner, in CI as root: the folder is
	// writable, as it is for root on a real install.
	const std::vector<std::string> before = FilesBelow(AppFolder());
	ScratchFolder home;
	EditorHarness editor(Prefixed(std::string("bin/") + kAppName), {},
	                     {{"HOME", home.Path()},
	                      {"XDG_CONFIG_HOME", home / ".config"},
	                      {"XDG_DATA_HOME", home / ".local/share"}},
	                     EditorHarness::Waiting::kPolling);
	ASSERT_GT(editor.Pid(), 0);
	// Up once it is on the session bus under its team's name.
	const pid_t pid = editor.Pid();
	EXPECT_TRUE(editor.WaitUntilAnswering(std::chrono::seconds(20), [pid] { return IsOnBus(pid); }))
	    << "the installed editor did not come up on the bus";
	bool endedByItself = false;
	EXPECT_EQ(0, editor.Stop(std::chrono::seconds(20), nullptr, &endedByItself));
	ASSERT_TRUE(endedByItself);
	// The first start's preferences went to the user's folder, nothing new
	// to the program's.
	EXPECT_TRUE(
	    fs::is_regular_file(home / (std::string(".config/") + kAppName + "/LocaleEditor.prefs")));
	EXPECT_EQ(FilesBelow(AppFolder()), before);
}
