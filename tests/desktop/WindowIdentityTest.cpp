// What ties the editor's windows to its launcher: the window class named
// after the executable (StartupWMClass) and the program's icon, found the
// way the desktop finds it, beside the build and under an install prefix.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>

#include <Application.h>

#include "BuiltPrograms.h"
#include "DesktopTestSupport.h"
#include "ProgramIcon.h"
#include "ScratchFolder.h"

namespace fs = std::filesystem;

namespace {

QList<int> Sides(const QIcon& icon)
{
	QList<int> sides;
	for (const QSize& size : icon.availableSizes())
		sides << size.width();
	std::sort(sides.begin(), sides.end());
	return sides;
}

// Icons need Qt's GUI application, which the first application object makes
// and keeps.
void EnsureGui()
{
	if (QCoreApplication::instance() == nullptr)
		BApplication("application/x-vnd.test-window-identity");
}

} // namespace

TEST(WindowIdentity, TheWindowClassIsTheExecutablesNameAndTheEntryNamesIt)
{
	// Qt names the windows' class after the program name it was given.
	auto app = std::make_unique<BApplication>("application/x-vnd.test-window-identity");
	ASSERT_FALSE(QCoreApplication::arguments().isEmpty());
	EXPECT_EQ(QCoreApplication::arguments().first(), "test_desktop");
	EXPECT_EQ(QCoreApplication::applicationName(), "test_desktop");
	app.reset();

	// The editor's executable is LocaleEditor, and so its windows' class.
	std::string entry = BuildFolder() + "/share/applications/" + kAppName + ".desktop";
	EXPECT_EQ(DesktopEntryValue(entry, "StartupWMClass"), "LocaleEditor");
	EXPECT_TRUE(fs::is_regular_file(BuildFolder() + "/LocaleEditor"));
}

TEST(WindowIdentity, TheBuiltEditorsIconComesInEveryThemeSize)
{
	EnsureGui();
	QIcon icon = BPrivate::program_icon(QString::fromStdString(BuildFolder() + "/LocaleEditor"));
	ASSERT_FALSE(icon.isNull());
	EXPECT_EQ(Sides(icon), (QList<int>{16, 24, 32, 48, 64, 128, 256}));
}

TEST(WindowIdentity, AnInstalledProgramFindsItsIconInThePrefixShareFolder)
{
	EnsureGui();
	// PREFIX/lib/NAME/program with its entry and icon in PREFIX/share, a
	// prefix that is in no XDG data folder.
	ScratchFolder prefix;
	std::string program = prefix / "lib/some-tool/SomeTool";
	fs::create_directories(prefix / "lib/some-tool");
	fs::copy_file(BuildFolder() + "/LocaleEditor", program);
	fs::create_directories(prefix / "share/applications");
	std::ofstream(prefix / "share/applications/some-tool.desktop")
	    << "[Desktop Entry]\nType=Application\nName=Some Tool\nExec=" << program
	    << "\nIcon=some-tool\n";
	fs::create_directories(prefix / "share/icons/hicolor/48x48/apps");
	fs::copy_file(BuildFolder() + "/share/icons/hicolor/48x48/apps/" + kAppName + ".png",
	              prefix / "share/icons/hicolor/48x48/apps/some-tool.png");

	QIcon icon = BPrivate::program_icon(QString::fromStdString(program));
	EXPECT_EQ(Sides(icon), (QList<int>{48}));
	// Elsewhere than lib/NAME the prefix's share folder is not looked at.
	std::string elsewhere = prefix / "opt/SomeTool";
	fs::create_directories(prefix / "opt");
	fs::copy_file(program, elsewhere);
	EXPECT_TRUE(BPrivate::program_icon(QString::fromStdString(elsewhere)).isNull());
}
