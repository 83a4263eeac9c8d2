// cpack -G DEB makes a package whose dependencies were computed from the
// binaries, and whose contents, unpacked into a scratch root, run: the
// editor starts from there offscreen with its translations and guide beside
// it.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include <Path.h>

#include "BuiltPrograms.h"
#include "DesktopTestSupport.h"
#include "ScratchFolder.h"
#include "ZTLocale.h"

namespace fs = std::filesystem;

namespace {

// The package, made once for every test here into a scratch folder.
class DebianPackage : public ::testing::Test
{
protected:
	static void SetUpTestSuite()
	{
		sOutput = new ScratchFolder;
		CommandResult pack = RunCommand({"cpack", "-G", "DEB", "-B", sOutput->Path(), "--config",
		                                 BuildFolder() + "/CPackConfig.cmake"},
		                                {}, BuildFolder());
		sLog = pack.output;
		for (const auto& entry : fs::directory_iterator(sOutput->Path())) {
			if (entry.path().extension() == ".deb")
				sPackage = entry.path().string();
		}
	}

	static void TearDownTestSuite()
	{
		delete sOutput;
		sOutput = nullptr;
	}

	void SetUp() override
	{
		if (!HaveProgram("dpkg-deb") || !HaveProgram("dpkg-shlibdeps"))
			GTEST_FAIL() << "dpkg-dev is needed (tools/deps.sh)";
		ASSERT_FALSE(sPackage.empty()) << sLog;
	}

	std::string Field(const std::string& name)
	{
		CommandResult field = RunCommand({"dpkg-deb", "--field", sPackage, name});
		std::string value = field.output;
		while (!value.empty() && value.back() == '\n')
			value.pop_back();
		return value;
	}

	static ScratchFolder* sOutput;
	static std::string sPackage;
	static std::string sLog;
};

ScratchFolder* DebianPackage::sOutput = nullptr;
std::string DebianPackage::sPackage;
std::string DebianPackage::sLog;

} // namespace

TEST_F(DebianPackage, DependsOnTheLibrariesTheBinariesUse)
{
	EXPECT_EQ(Field("Package"), kAppName);
	std::string depends = Field("Depends");
	// Computed by dpkg-shlibdeps: the C library and Qt's widgets, with
	// versions, and not the editor's own library, which the package holds.
	EXPECT_NE(depends.find("libc6 (>="), std::string::npos) << depends;
	EXPECT_NE(depends.find("libqt6widgets6 (>="), std::string::npos) << depends;
	EXPECT_NE(depends.find("libqt6dbus6 (>="), std::string::npos) << depends;
	EXPECT_EQ(depends.find("ztlocale"), std::string::npos) << depends;
}

TEST_F(DebianPackage, UnpackedIntoAnEmptyRootTheEditorRunsFromThere)
{
	ScratchFolder root;
	CommandResult unpack = RunCommand({"dpkg-deb", "-x", sPackage, root.Path()});
	ASSERT_EQ(unpack.status, 0) << unpack.output;

	std::string folder = root / (std::string("usr/lib/") + kAppName);
	EXPECT_TRUE(
	    fs::is_regular_file(folder + "/Documentation/KorvaneLocale-UserGuide-English.html"));
	// The package carries no file attributes: the translations are found by
	// what the files hold, as the editor's localization library reads them.
	ZTLocale* locale = ZTLocale::GetInstance();
	locale->SetAppID("korvane localeeditor locale");
	BPath localeFolder((folder + "/locale").c_str());
	for (const char* language : {"Deutsch", "Espa\xc3\xb1ol",
	                             "Fran\xc3\xa7"
	                             "ais"})
		EXPECT_TRUE(locale->SetLanguage(&localeFolder, language)) << language;
	std::string entry = root / (std::string("usr/share/applications/") + kAppName + ".desktop");
	EXPECT_EQ(DesktopEntryValue(entry, "Exec"), std::string("/usr/bin/") + kAppName + " %F");

	const char* bus = getenv("DBUS_SESSION_BUS_ADDRESS");
	if (bus == nullptr || bus[0] == '\0')
		GTEST_SKIP() << "needs a session bus (ctest under dbus-run-session)";
	// Started through the package's launcher, the program takes the folder
	// it really lies in as its application folder: the first start makes
	// the preferences there, with the interface language it found.
	ScratchFolder home;
	pid_t pid =
	    StartOffscreen(root / (std::string("usr/bin/") + kAppName), {}, {{"HOME", home.Path()}});
	ASSERT_GT(pid, 0);
	EXPECT_TRUE(WaitUntilOnBus(pid));
	int status = -1;
	ASSERT_TRUE(StopAndReap(pid, &status));
	EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
	EXPECT_TRUE(fs::is_regular_file(folder + "/LocaleEditor.prefs"));
}
