// cpack -G DEB makes a package whose dependencies were computed from the
// binaries, whose files are stripped and clash with no other package's, and
// whose contents, unpacked into a scratch root, run: the editor starts from
// there offscreen with its translations and guide beside it, and the
// package's scripts make it the default for its file type and take that
// back on removal.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include <Path.h>

#include "BuiltPrograms.h"
#include "DesktopTestSupport.h"
#include "EditorHarness.h"
#include "FileBytes.h"
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

	// The package's files, as absolute paths on the machine it installs on.
	std::vector<std::string> Contents()
	{
		ScratchFolder root;
		EXPECT_EQ(RunCommand({"dpkg-deb", "-x", sPackage, root.Path()}).status, 0);
		std::vector<std::string> files;
		for (const std::string& file : FilesBelow(root.Path()))
			files.push_back("/" + file);
		return files;
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

TEST_F(DebianPackage, ItsFilesBelongToNoOtherPackage)
{
	const std::vector<std::string> files = Contents();
	ASSERT_FALSE(files.empty());
	const std::string hey = std::string("/usr/bin/") + kHeyName;
	EXPECT_NE(std::find(files.begin(), files.end(), hey), files.end());
	// Debian's "hey" (a load generator) owns it, installed or not.
	EXPECT_EQ(std::find(files.begin(), files.end(), "/usr/bin/hey"), files.end());
	// Nor a file any package installed here owns.
	std::vector<std::string> query = {"dpkg-query", "-S"};
	query.insert(query.end(), files.begin(), files.end());
	std::istringstream owners(RunCommand(query).output);
	std::string line;
	while (std::getline(owners, line)) {
		if (line.find(": /") != std::string::npos &&
		    line.rfind(std::string(kAppName) + ":", 0) != 0)
			ADD_FAILURE() << "already owned: " << line;
	}
}

TEST_F(DebianPackage, ItsProgramsAndLibraryAreStripped)
{
	ScratchFolder root;
	ASSERT_EQ(RunCommand({"dpkg-deb", "-x", sPackage, root.Path()}).status, 0);
	int binaries = 0;
	for (const std::string& file : FilesBelow(root.Path())) {
		const std::string path = root / file;
		if (fs::is_symlink(path) || ReadFileBytes(path).substr(0, 4) != "\x7f"
		                                                                "ELF")
			continue;
		++binaries;
		CommandResult type = RunCommand({"file", "-b", path});
		EXPECT_NE(type.output.find(", stripped"), std::string::npos) << file << ": " << type.output;
	}
	// The editor, hey and the localization library at least.
	EXPECT_GE(binaries, 3);
}

TEST_F(DebianPackage, ItsScriptsMakeTheEditorTheDefaultAndTakeThatBackOnRemoval)
{
	ScratchFolder root;
	ASSERT_EQ(RunCommand({"dpkg-deb", "-x", sPackage, root.Path()}).status, 0);
	ASSERT_EQ(RunCommand({"dpkg-deb", "-e", sPackage, root / "DEBIAN"}).status, 0);
	// What the system held before: kept through install and removal.
	const std::string list = root / "usr/share/applications/mimeapps.list";
	const std::string earlier = "[Default Applications]\ntext/plain=writer.desktop;\n";
	WriteFileBytes(list, earlier);
	// dpkg tells the scripts where the root lies, when it is not /. The
	// entry there names /usr/bin's launcher, which is not installed on this
	// machine, so xdg-mime would pass it over: the file is read instead (the
	// install test asks xdg-mime about the same line).
	const std::map<std::string, std::string> dpkg = {{"DPKG_ROOT", root.Path()}};
	const std::string ours = std::string("[Default Applications]\ntext/plain=writer.desktop;\n") +
	                         kLocaleType + "=" + kAppName + ".desktop;\n";

	CommandResult configure = RunCommand({root / "DEBIAN/postinst", "configure"}, dpkg);
	ASSERT_EQ(configure.status, 0) << configure.output;
	EXPECT_EQ(ReadFileBytes(list).rfind(ours, 0), 0u) << ReadFileBytes(list);
	// An upgrade leaves the choice in place.
	const std::string installed = ReadFileBytes(list);
	ASSERT_EQ(RunCommand({root / "DEBIAN/prerm", "upgrade", "1.0"}, dpkg).status, 0);
	EXPECT_EQ(ReadFileBytes(list), installed);

	CommandResult remove = RunCommand({root / "DEBIAN/prerm", "remove"}, dpkg);
	ASSERT_EQ(remove.status, 0) << remove.output;
	EXPECT_EQ(ReadFileBytes(list), earlier);
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
	// it really lies in as its application folder, and knows it for an
	// installed copy: the first start makes the preferences in the user's
	// folder, though the tests (and root) could write the program's.
	const std::vector<std::string> before = FilesBelow(folder);
	ScratchFolder home;
	EditorHarness editor(root / (std::string("usr/bin/") + kAppName), {},
	                     {{"HOME", home.Path()},
	                      {"XDG_CONFIG_HOME", home / ".config"},
	                      {"XDG_DATA_HOME", home / ".local/share"}},
	                     EditorHarness::Waiting::kPolling);
	ASSERT_GT(editor.Pid(), 0);
	const pid_t pid = editor.Pid();
	EXPECT_TRUE(
	    editor.WaitUntilAnswering(std::chrono::seconds(20), [pid] { return IsOnBus(pid); }));
	bool endedByItself = false;
	EXPECT_EQ(0, editor.Stop(std::chrono::seconds(20), nullptr, &endedByItself));
	ASSERT_TRUE(endedByItself);
	EXPECT_TRUE(
	    fs::is_regular_file(home / (std::string(".config/") + kAppName + "/LocaleEditor.prefs")));
	EXPECT_EQ(FilesBelow(folder), before);
}
