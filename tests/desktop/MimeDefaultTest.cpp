// The script that makes the editor the default for its file type in a
// shared mimeapps.list (resources/mime-default.sh, run by the install and
// by the package's scripts) changes only its own lines: whatever else the
// file held, a default someone else chose included, stays as it was.

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "DesktopTestSupport.h"
#include "FileBytes.h"
#include "ScratchFolder.h"

namespace fs = std::filesystem;

namespace {

const std::string kScript = std::string(LE_SOURCE_DIR) + "/resources/mime-default.sh";

CommandResult RunScript(const std::string& action, const std::string& folder)
{
	return RunCommand(
	    {"sh", kScript, action, folder, std::string(kAppName) + ".desktop", kLocaleType});
}

// "T=E;" for the locale type and the desktop entry E.
std::string Line(const std::string& entry)
{
	return std::string(kLocaleType) + "=" + entry + ";\n";
}

} // namespace

TEST(MimeDefault, ChangesOnlyItsOwnLines)
{
	const std::string ours = Line(std::string(kAppName) + ".desktop");
	const std::string theirs = Line("other.desktop");
	struct Case
	{
		const char* what;
		std::optional<std::string> before;
		const char* action;
		std::optional<std::string> after; // nullopt: no file
	};
	const Case cases[] = {
	    {"no list yet", std::nullopt, "add", "[Default Applications]\n" + ours},
	    {"another program's default stays", "[Default Applications]\n" + theirs, "add",
	     "[Default Applications]\n" + theirs},
	    {"added at the end of its group, not after the next",
	     "[Default Applications]\ntext/plain=w.desktop;\n\n[Added Associations]\nx/y=v.desktop;\n",
	     "add",
	     "[Default Applications]\ntext/plain=w.desktop;\n" + ours +
	         "\n[Added Associations]\nx/y=v.desktop;\n"},
	    {"the group made after the others", "[Added Associations]\nx/y=v.desktop;\n", "add",
	     "[Added Associations]\nx/y=v.desktop;\n\n[Default Applications]\n" + ours},
	    {"removal takes only its line", "[Default Applications]\ntext/plain=w.desktop;\n" + ours,
	     "remove", "[Default Applications]\ntext/plain=w.desktop;\n"},
	    {"removal leaves another program's default", "[Default Applications]\n" + theirs, "remove",
	     "[Default Applications]\n" + theirs},
	    {"removal takes the list it made", "[Default Applications]\n" + ours, "remove",
	     std::nullopt},
	    {"removal without a list", std::nullopt, "remove", std::nullopt},
	};
	for (const Case& test : cases) {
		SCOPED_TRACE(test.what);
		ScratchFolder folder;
		const std::string list = folder / "mimeapps.list";
		if (test.before)
			WriteFileBytes(list, *test.before);
		CommandResult run = RunScript(test.action, folder.Path());
		EXPECT_EQ(run.status, 0) << run.output;
		EXPECT_EQ(fs::exists(list), test.after.has_value());
		if (test.after) {
			EXPECT_EQ(ReadFileBytes(list), *test.after);
		}
		// No temporary is left behind.
		EXPECT_EQ(FilesBelow(folder.Path()).size(), test.after ? 1u : 0u);
	}
}

TEST(MimeDefault, AListLinkedFromElsewhereIsWrittenWhereItLies)
{
	ScratchFolder folder;
	ScratchFolder dotfiles;
	const std::string kept = dotfiles / "mimeapps.list";
	WriteFileBytes(kept, "[Default Applications]\ntext/plain=w.desktop;\n");
	fs::create_symlink(kept, folder / "mimeapps.list");

	ASSERT_EQ(RunScript("add", folder.Path()).status, 0);
	EXPECT_TRUE(fs::is_symlink(folder / "mimeapps.list"));
	EXPECT_EQ(ReadFileBytes(kept), "[Default Applications]\ntext/plain=w.desktop;\n" +
	                                   Line(std::string(kAppName) + ".desktop"));
	ASSERT_EQ(RunScript("remove", folder.Path()).status, 0);
	EXPECT_TRUE(fs::is_symlink(folder / "mimeapps.list"));
	EXPECT_EQ(ReadFileBytes(kept), "[Default Applications]\ntext/plain=w.desktop;\n");
}
