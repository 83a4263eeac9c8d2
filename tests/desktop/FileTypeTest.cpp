// The locale file type in the desktop's MIME database: by name (*.locale)
// and by content (every flattened form the reader accepts), as the desktop's
// own tools see it once the type is registered in a scratch data folder.

#include <gtest/gtest.h>

#include <filesystem>

#include <Message.h>

#include "BuiltPrograms.h"
#include "DesktopTestSupport.h"
#include "FileBytes.h"
#include "LocaleFile.h"
#include "ScratchFolder.h"

namespace fs = std::filesystem;

namespace {

class FileType : public ::testing::Test
{
protected:
	void SetUp() override
	{
		if (!HaveProgram("update-mime-database") || !HaveProgram("xdg-mime"))
			GTEST_FAIL() << "shared-mime-info and xdg-utils are needed (tools/deps.sh)";
		fs::create_directories(mData / "mime/packages");
		fs::copy_file(std::string(LE_SOURCE_DIR) + "/resources/" + kAppName + ".xml",
		              mData / (std::string("mime/packages/") + kAppName + ".xml"));
		CommandResult update = RunCommand({"update-mime-database", mData / "mime"});
		ASSERT_EQ(update.status, 0) << update.output;
	}

	// The type xdg-mime names, asked as on a desktop whose tools use the
	// shared MIME database (without one, xdg-mime asks file(1), which knows
	// no registered types).
	std::string XdgMimeType(const std::string& path)
	{
		CommandResult query =
		    RunCommand({"xdg-mime", "query", "filetype", path},
		               {{"XDG_DATA_HOME", mData.Path()}, {"XDG_CURRENT_DESKTOP", "GNOME"}});
		std::string type = query.output;
		while (!type.empty() && (type.back() == '\n' || type.back() == ' '))
			type.pop_back();
		return type;
	}

	// The type gio names; "" when gio is not installed.
	std::string GioType(const std::string& path)
	{
		if (!HaveProgram("gio"))
			return kLocaleType;
		CommandResult info = RunCommand({"gio", "info", "-a", "standard::content-type", path},
		                                {{"XDG_DATA_HOME", mData.Path()}});
		const std::string key = "standard::content-type: ";
		size_t at = info.output.find(key);
		if (at == std::string::npos)
			return info.output;
		size_t end = info.output.find('\n', at);
		return info.output.substr(at + key.size(), end - at - key.size());
	}

	void ExpectLocaleType(const std::string& path)
	{
		EXPECT_EQ(XdgMimeType(path), kLocaleType) << path;
		EXPECT_EQ(GioType(path), kLocaleType) << path;
	}

	// A file of the bytes, as it arrives without attributes (unpacked, cloned).
	std::string PlainFile(const std::string& leaf, const std::string& bytes)
	{
		std::string path = mFiles / leaf;
		WriteFileBytes(path, bytes);
		return path;
	}

	ScratchFolder mData;
	ScratchFolder mFiles;
};

std::string SavedLocaleBytes(const ScratchFolder& folder)
{
	BMessage locale;
	const char* texts[] = {"Hallo", "Welt"};
	LocaleFile::Build(&locale, "01.00", "test app", "Deutsch", texts, 2);
	std::string path = folder / "saved";
	EXPECT_EQ(LocaleFile::Write(path.c_str(), locale, "Deutsch"), B_OK);
	return ReadFileBytes(path);
}

} // namespace

TEST_F(FileType, ALocaleFileIsKnownByItsName)
{
	// The editor's own translations, as the build made them.
	std::string shipped = ReadFileBytes(BuildFolder() + "/locale/Deutsch.locale");
	ASSERT_FALSE(shipped.empty());
	ExpectLocaleType(PlainFile("Deutsch.locale", shipped));
	// The name alone is enough, whatever the bytes.
	ExpectLocaleType(PlainFile("notes.locale", "not flattened"));
}

TEST_F(FileType, AFileTheEditorSavedWithoutExtensionIsKnownByItsContent)
{
	ScratchFolder saved;
	std::string bytes = SavedLocaleBytes(saved);
	ASSERT_EQ(bytes.substr(0, 4), "1BOF");
	// As saved, with its attributes, and as a copy without them.
	ExpectLocaleType(saved / "saved");
	ExpectLocaleType(PlainFile("Deutsch", bytes));
}

TEST_F(FileType, EveryFlattenedFormTheReaderAcceptsIsKnownByItsFirstBytes)
{
	// R5 in both byte orders, the Haiku form in both byte orders; the rest
	// of each file is a message's worth of zero bytes.
	for (const char* magic : {"1BOF", "FOB1", "HMF1", "1FMH"}) {
		std::string bytes = std::string(magic) + std::string(64, '\0');
		ExpectLocaleType(PlainFile(std::string("form-") + magic, bytes));
	}
	// Anything else is not taken for a locale file.
	std::string other = PlainFile("other", std::string("FOB2") + std::string(64, '\0'));
	EXPECT_NE(XdgMimeType(other), kLocaleType);
}

TEST_F(FileType, TheDesktopEntryOpensTheTypeThroughItsAlias)
{
	// Desktop entries may only name registered media types; the entry names
	// the application/ alias, which the database resolves to the type.
	std::string aliases = ReadFileBytes(mData / "mime/aliases");
	EXPECT_NE(aliases.find(std::string("application/x-vnd.vessmor-locale ") + kLocaleType),
	          std::string::npos)
	    << aliases;
	std::string entry = BuildFolder() + "/share/applications/" + kAppName + ".desktop";
	EXPECT_EQ(DesktopEntryValue(entry, "MimeType"), "application/x-vnd.vessmor-locale;");
	if (!HaveProgram("gio") || !HaveProgram("update-desktop-database"))
		return;
	fs::create_directories(mData / "applications");
	fs::copy_file(entry, mData / (std::string("applications/") + kAppName + ".desktop"));
	// As installing a package does: the index of which program opens what.
	ASSERT_EQ(RunCommand({"update-desktop-database", mData / "applications"}).status, 0);
	CommandResult mime =
	    RunCommand({"gio", "mime", kLocaleType}, {{"XDG_DATA_HOME", mData.Path()}});
	EXPECT_NE(mime.output.find(std::string(kAppName) + ".desktop"), std::string::npos)
	    << mime.output;
}
