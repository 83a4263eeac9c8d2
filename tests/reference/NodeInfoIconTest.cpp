// Icons of files: the classic icon attributes, and the desktop's icon of a
// program found through its desktop entry.

#include "ReferenceTestSupport.h"

#include "EnvironmentGuard.h"

#include <Bitmap.h>
#include <Node.h>
#include <NodeInfo.h>

#include <QColor>
#include <QDir>
#include <QImage>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

std::string Pattern(int side, int seed)
{
	std::string bytes(side * side, '\0');
	for (int i = 0; i < side * side; i++)
		bytes[i] = static_cast<char>((i * 7 + seed) % 255);
	return bytes;
}

std::string Bytes(const BBitmap& bitmap, int side)
{
	std::string bytes;
	const uint8* bits = static_cast<const uint8*>(bitmap.Bits());
	for (int row = 0; row < side; row++)
		bytes.append(reinterpret_cast<const char*>(bits + row * bitmap.BytesPerRow()), side);
	return bytes;
}

void MakeFile(const std::string& path, bool executable)
{
	std::ofstream(path) << "#!/bin/sh\n";
	fs::permissions(path, executable ? fs::perms::owner_all
	                                 : fs::perms::owner_read | fs::perms::owner_write);
}

status_t IconOf(const std::string& path, BBitmap* bitmap, icon_size which)
{
	BNode node(path.c_str());
	BNodeInfo info(&node);
	return info.GetIcon(bitmap, which);
}

class NodeInfoIcon : public ::testing::Test
{
protected:
	// Nothing from the machine's own desktop may answer.
	ScratchFolder mFolder;
	EnvironmentGuard mHome{"XDG_DATA_HOME", mFolder / "home"};
	EnvironmentGuard mDirs{"XDG_DATA_DIRS", mFolder / "system"};
};

} // namespace

TEST_F(NodeInfoIcon, TheIconAttributesAreReadAsTheyAreAndTheMissingSizeIsScaled)
{
	std::string path = mFolder / "file";
	MakeFile(path, false);
	BNode node(path.c_str());
	std::string large = Pattern(32, 3);
	ASSERT_EQ(node.WriteAttr("BEOS:L:STD_ICON", 'ICON', 0, large.data(), large.size()), 1024);

	BBitmap mini(BRect(0, 0, 15, 15), B_CMAP8);
	BBitmap big(BRect(0, 0, 31, 31), B_CMAP8);
	ASSERT_EQ(IconOf(path, &big, B_LARGE_ICON), B_OK);
	EXPECT_EQ(Bytes(big, 32), large);
	// No mini icon: every second pixel of the large one.
	ASSERT_EQ(IconOf(path, &mini, B_MINI_ICON), B_OK);
	std::string halved;
	for (int y = 0; y < 16; y++)
		for (int x = 0; x < 16; x++)
			halved += large[(2 * y) * 32 + 2 * x];
	EXPECT_EQ(Bytes(mini, 16), halved);

	std::string small = Pattern(16, 9);
	ASSERT_EQ(node.WriteAttr("BEOS:M:STD_ICON", 'MICN', 0, small.data(), small.size()), 256);
	ASSERT_EQ(IconOf(path, &mini, B_MINI_ICON), B_OK);
	EXPECT_EQ(Bytes(mini, 16), small);
}

TEST_F(NodeInfoIcon, ABitmapOfAnotherSizeOrColourSpaceIsRefused)
{
	std::string path = mFolder / "file";
	MakeFile(path, false);
	BNode node(path.c_str());
	std::string small = Pattern(16, 1);
	node.WriteAttr("BEOS:M:STD_ICON", 'MICN', 0, small.data(), small.size());

	BBitmap big(BRect(0, 0, 31, 31), B_CMAP8);
	BBitmap rgb(BRect(0, 0, 15, 15), B_RGB32);
	EXPECT_EQ(IconOf(path, &big, B_MINI_ICON), B_BAD_VALUE);
	EXPECT_EQ(IconOf(path, &rgb, B_MINI_ICON), B_BAD_VALUE);
	EXPECT_EQ(IconOf(path, nullptr, B_MINI_ICON), B_BAD_VALUE);
	BNodeInfo unset;
	BBitmap mini(BRect(0, 0, 15, 15), B_CMAP8);
	EXPECT_EQ(unset.GetIcon(&mini, B_MINI_ICON), B_NO_INIT);
}

TEST_F(NodeInfoIcon, AnAttributeOfTheWrongLengthIsNoIconAndNoIconLeavesTheBitmapAlone)
{
	std::string path = mFolder / "file";
	MakeFile(path, true);
	BNode node(path.c_str());
	std::string shortIcon(200, '\x01');
	node.WriteAttr("BEOS:M:STD_ICON", 'MICN', 0, shortIcon.data(), shortIcon.size());

	BBitmap mini(BRect(0, 0, 15, 15), B_CMAP8);
	memset(mini.Bits(), 0x2a, mini.BitsLength());
	EXPECT_EQ(IconOf(path, &mini, B_MINI_ICON), B_ENTRY_NOT_FOUND);
	EXPECT_EQ(Bytes(mini, 16), std::string(256, '\x2a'));
}

TEST_F(NodeInfoIcon, AProgramWithoutAttributesGetsTheIconOfItsDesktopEntry)
{
	fs::create_directories(mFolder / "bin/share/applications");
	fs::create_directories(mFolder / "system/applications");
	fs::create_directories(mFolder / "system/icons/hicolor/32x32/apps");
	std::string program = mFolder / "bin/desk_program";
	MakeFile(program, true);
	MakeFile(mFolder / "bin/other_program", true);

	// A red square in the middle of a transparent 32 x 32 picture.
	QImage picture(32, 32, QImage::Format_ARGB32);
	picture.fill(Qt::transparent);
	for (int y = 8; y < 24; y++)
		for (int x = 8; x < 24; x++)
			picture.setPixel(x, y, qRgb(255, 0, 0));
	ASSERT_TRUE(picture.save(
	    QString::fromStdString(mFolder / "system/icons/hicolor/32x32/apps/desk-icon.png")));
	// One entry beside the program names another program; the system's one
	// names this program, by its file name.
	std::ofstream(mFolder / "bin/share/applications/other.desktop")
	    << "[Desktop Entry]\nType=Application\nExec=" << (mFolder / "bin/other_program")
	    << "\nIcon=/nonexistent.png\n";
	std::ofstream(mFolder / "system/applications/desk.desktop")
	    << "[Desktop Entry]\nType=Application\nName=Desk\nExec=desk_program %F\n"
	    << "Icon=desk-icon\n[Desktop Action new]\nExec=other\nIcon=wrong\n";

	BBitmap mini(BRect(0, 0, 15, 15), B_CMAP8);
	ASSERT_EQ(IconOf(program, &mini, B_MINI_ICON), B_OK);
	std::string bytes = Bytes(mini, 16);
	EXPECT_EQ(static_cast<uint8>(bytes[8 * 16 + 8]), 42) << "red is index 42";
	EXPECT_EQ(static_cast<uint8>(bytes[0]), 255) << "transparent stays transparent";
	EXPECT_EQ(static_cast<uint8>(bytes[15 * 16 + 15]), 255);

	// The other program's entry points at a picture that does not exist.
	EXPECT_EQ(IconOf(mFolder / "bin/other_program", &mini, B_MINI_ICON), B_ENTRY_NOT_FOUND);
	// A file that is not executable is no program.
	std::string document = mFolder / "bin/desk_document";
	MakeFile(document, false);
	EXPECT_EQ(IconOf(document, &mini, B_MINI_ICON), B_ENTRY_NOT_FOUND);
}

TEST_F(NodeInfoIcon, TheEditorCopiedWithoutAttributesFindsItsIconInTheShareFolderBesideIt)
{
	std::string built = EditorExecutable();
	BBitmap fromAttribute(BRect(0, 0, 15, 15), B_CMAP8);
	ASSERT_EQ(IconOf(built, &fromAttribute, B_MINI_ICON), B_OK);

	// Copied the way git or plain cp would: no attributes, and the desktop
	// entry beside it still names the old place.
	std::string copy = mFolder / "moved/LocaleEditor";
	fs::create_directories(mFolder / "moved");
	fs::copy_file(built, copy);
	fs::permissions(copy, fs::perms::owner_all);
	fs::copy(BuildFolder() + "/share", mFolder / "moved/share", fs::copy_options::recursive);
	BNode node(copy.c_str());
	char probe[1];
	ASSERT_LT(node.ReadAttr("BEOS:M:STD_ICON", 0, 0, probe, 1), 0);

	BBitmap fromDesktop(BRect(0, 0, 15, 15), B_CMAP8);
	ASSERT_EQ(IconOf(copy, &fromDesktop, B_MINI_ICON), B_OK);
	EXPECT_EQ(Bytes(fromDesktop, 16), Bytes(fromAttribute, 16));
}
