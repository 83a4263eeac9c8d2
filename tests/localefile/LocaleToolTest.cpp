// The localetool program, run as the build runs it, and the locale files
// the build makes with it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include <Message.h>
#include <Node.h>
#include <fs_attr.h>

#include "BuiltPrograms.h"
#include "FileBytes.h"
#include "InterfaceText.h"
#include "LocaleFile.h"
#include "LocaleSource.h"
#include "ScratchFolder.h"
#include "ToolRun.h"

namespace {

ToolRun Tool(const std::string& arguments, const ScratchFolder& scratch)
{
	return RunLocaleTool(arguments, scratch);
}

void WriteText(const std::string& path, const std::string& text)
{
	WriteFileBytes(path, text);
}

std::string Quote(const std::string& path)
{
	return ShellQuote(path);
}

std::string ReadAll(const std::string& path)
{
	return ReadFileBytes(path);
}

// A dump is itself a source: compiled, it gives locale's bytes again.
void ExpectDumpCompilesBack(const std::string& dump, const std::string& locale,
                            const ScratchFolder& scratch)
{
	const std::string again = scratch / "again.locale";
	WriteText(scratch / "dump.txt", dump);
	const ToolRun run =
	    Tool("compile " + Quote(scratch / "dump.txt") + " " + Quote(again), scratch);
	ASSERT_EQ(run.status, 0) << run.err;
	EXPECT_EQ(ReadAll(again), ReadAll(locale)) << "compiled from:\n" << dump;
}

} // namespace

TEST(LocaleTool, CompileWritesBodyAttributeAndTypeAndDumpReadsThemBack)
{
	ScratchFolder scratch;
	const std::string source = scratch / "in.txt";
	const std::string locale = scratch / "out.locale";
	WriteText(source, "language: Deutsch\nversion: 01.00\napp_id: my app\n\n1 = Ja\n2 = a\\nb\n");
	ToolRun run = Tool("compile " + Quote(source) + " " + Quote(locale), scratch);
	ASSERT_EQ(run.status, 0) << run.err;
	EXPECT_TRUE(run.err.empty());

	BMessage message;
	ASSERT_EQ(LocaleFile::Read(locale.c_str(), &message), B_OK);
	EXPECT_STREQ(message.GetString(kLocaleFieldText, 1, ""), "a\\nb");
	BNode node(locale.c_str());
	char attribute[16] = {};
	EXPECT_EQ(node.ReadAttr(kLocaleLanguageAttr, B_STRING_TYPE, 0, attribute, sizeof(attribute)),
	          7);
	EXPECT_STREQ(attribute, "Deutsch");

	run = Tool("dump " + Quote(locale), scratch);
	ASSERT_EQ(run.status, 0) << run.err;
	EXPECT_NE(run.out.find("# attribute zt:language: Deutsch\n"), std::string::npos);
	EXPECT_NE(run.out.find("# type: locale/x-vnd.vessmor-locale\n"), std::string::npos);
	EXPECT_NE(run.out.find("2 = a\\nb\n"), std::string::npos);

	// The dump is itself a source that compiles to the same body.
	ASSERT_NO_FATAL_FAILURE(ExpectDumpCompilesBack(run.out, locale, scratch));
}

TEST(LocaleTool, EmptyEntriesKeepTheirPlacesThroughDumpAndCompile)
{
	// A file of "A", "", "C", "D", as the editor saves a skipped entry.
	ScratchFolder scratch;
	const std::string locale = scratch / "gap.locale";
	const char* texts[] = {"A", "", "C", "D"};
	BMessage body;
	LocaleFile::Build(&body, "01.00", "my app", "Deutsch", texts, 4);
	ASSERT_EQ(LocaleFile::Write(locale.c_str(), body, "Deutsch"), B_OK);

	ToolRun run = Tool("dump " + Quote(locale), scratch);
	ASSERT_EQ(run.status, 0) << run.err;
	EXPECT_NE(run.out.find("# entries: 4\n"), std::string::npos) << run.out;
	EXPECT_NE(run.out.find("\n1 = A\n2 =\n3 = C\n4 = D\n"), std::string::npos) << run.out;

	ASSERT_NO_FATAL_FAILURE(ExpectDumpCompilesBack(run.out, locale, scratch));

	run = Tool("dump --json " + Quote(locale), scratch);
	ASSERT_EQ(run.status, 0) << run.err;
	EXPECT_NE(run.out.find("\"A\",\n    \"\",\n    \"C\""), std::string::npos) << run.out;
}

// Texts no line can carry (line feeds, NULs, bytes that are not UTF-8, in the
// texts, the header and the file's attribute) come back byte for byte.
TEST(LocaleTool, DumpOfOddBytesCompilesBackToTheSameBody)
{
	ScratchFolder scratch;
	const std::string locale = scratch / "odd.locale";
	LocaleSource odd;
	odd.language = "Deutsch\xfe";
	odd.version = " 1.0";
	odd.appID = "my\napp";
	odd.texts = {"a\nb", std::string("nul\0x", 5), "\xff\xfe", "cr\r\n", "\\x41", "\\n", ""};
	BMessage body;
	odd.ToMessage(&body);
	ASSERT_EQ(LocaleFile::Write(locale.c_str(), body, "Deutsch\xfe"), B_OK);

	ToolRun run = Tool("dump " + Quote(locale), scratch);
	ASSERT_EQ(run.status, 0) << run.err;
	EXPECT_TRUE(run.err.empty()) << run.err;
	EXPECT_NE(run.out.find("\n1 = a\\x0ab\n2 = nul\\x00x\n3 = \\xff\\xfe\n"), std::string::npos)
	    << run.out;
	ASSERT_NO_FATAL_FAILURE(ExpectDumpCompilesBack(run.out, locale, scratch));

	// What the text form has no place for is said, not lost silently.
	BMessage extra(body);
	extra.AddInt32("zt:other", 1);
	ASSERT_EQ(LocaleFile::Write(locale.c_str(), extra, "Deutsch"), B_OK);
	run = Tool("dump " + Quote(locale), scratch);
	ASSERT_EQ(run.status, 0) << run.err;
	EXPECT_NE(run.err.find("gives another body"), std::string::npos) << run.err;
}

TEST(LocaleTool, JsonDumpEscapesEverythingJsonNeeds)
{
	ScratchFolder scratch;
	const std::string locale = scratch / "odd.locale";
	BMessage message;
	message.AddString(kLocaleFieldVersion, "1");
	message.AddString(kLocaleFieldAppID, "quote\" backslash\\");
	message.AddString(kLocaleFieldText, "line\nfeed\ttab\x01");
	message.AddString(kLocaleFieldText, "bad \xff byte, ü");
	ASSERT_EQ(LocaleFile::Write(locale.c_str(), message, nullptr), B_OK);
	const ToolRun run = Tool("dump " + Quote(locale) + " --json", scratch);
	ASSERT_EQ(run.status, 0) << run.err;
	EXPECT_NE(run.out.find("\"app_id\": \"quote\\\" backslash\\\\\""), std::string::npos)
	    << run.out;
	EXPECT_NE(run.out.find("\"language\": null"), std::string::npos);
	EXPECT_NE(run.out.find("\"attribute_language\": null"), std::string::npos);
	EXPECT_NE(run.out.find("\"line\\nfeed\\ttab\\u0001\""), std::string::npos);
	EXPECT_NE(run.out.find("\"bad \xef\xbf\xbd byte, ü\""), std::string::npos);
}

TEST(LocaleTool, BadInputGivesOneLineNamingTheFileAndStatusTwo)
{
	ScratchFolder scratch;
	const std::string garbage = scratch / "garbage.locale";
	WriteText(garbage, "this is not a flattened message");
	ToolRun run = Tool("dump " + Quote(garbage), scratch);
	EXPECT_EQ(run.status, 2);
	EXPECT_EQ(run.err,
	          "localetool: " + garbage + ": not a locale file (no complete flattened message)\n");
	EXPECT_TRUE(run.out.empty());

	run = Tool("dump " + Quote(scratch / "missing.locale"), scratch);
	EXPECT_EQ(run.status, 2);
	EXPECT_EQ(run.err,
	          "localetool: " + (scratch / "missing.locale") + ": No such file or directory\n");

	// A broken source leaves the existing output file as it was.
	const std::string source = scratch / "broken.txt";
	const std::string existing = scratch / "existing.locale";
	WriteText(source, "language: x\nversion: 1\napp_id: a\n3 = skipped two\n");
	WriteText(existing, "keep me");
	run = Tool("compile " + Quote(source) + " " + Quote(existing), scratch);
	EXPECT_EQ(run.status, 2);
	EXPECT_EQ(run.err, "localetool: " + source + ": line 4: entry 3 where entry 1 was expected\n");
	EXPECT_EQ(ReadAll(existing), "keep me");

	WriteText(source, "language: x\nversion: 1\napp_id: a\n1 = fine\n");
	run = Tool("compile " + Quote(source) + " " + Quote(scratch / "no/such/folder/x.locale"),
	           scratch);
	EXPECT_EQ(run.status, 2);
	EXPECT_EQ(
	    run.err.rfind("localetool: " + (scratch / "no/such/folder/x.locale") + ": cannot write", 0),
	    0u)
	    << run.err;
	EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1);

	EXPECT_EQ(Tool("frobnicate", scratch).status, 2);
	EXPECT_EQ(Tool("compile only-one", scratch).status, 2);
}

TEST(LocaleTool, TheEditorsOwnLocaleFilesHoldEveryText)
{
	const char* const languages[][2] = {
	    {"Deutsch", "Deutsch"}, {"Francais", "Français"}, {"Espanol", "Español"}};
	for (const auto& language : languages) {
		const std::string path = BuildFolder() + "/locale/" + language[0] + ".locale";
		BMessage message;
		ASSERT_EQ(LocaleFile::Read(path.c_str(), &message), B_OK) << path;
		LocaleSource source;
		source.FromMessage(message);
		EXPECT_EQ(source.language, language[1]);
		EXPECT_EQ(source.appID, "korvane localeeditor locale");
		ASSERT_EQ(source.texts.size(), (size_t)kInterfaceTextCount) << path;
		for (size_t i = 0; i < source.texts.size(); i++)
			EXPECT_FALSE(source.texts[i].empty()) << path << " text " << i;
		// Text 22 is a format for the help file's path; text 32 keeps its
		// line feeds as backslash-n.
		EXPECT_NE(source.texts[kTextHelpFileMissing].find("%s"), std::string::npos) << path;
		EXPECT_EQ(source.texts[kTextHelpFileMissing].find('%'),
		          source.texts[kTextHelpFileMissing].rfind('%'))
		    << path;
		EXPECT_NE(source.texts[kTextNoAppID].find("\\n\\n"), std::string::npos) << path;
		// Two numbers and no other '%'; no backslash-n, which the library
		// would show as a line break.
		const std::string& lines = source.texts[kTextEntryHasLines];
		EXPECT_EQ(std::count(lines.begin(), lines.end(), '%'), 2) << path;
		EXPECT_EQ(lines.find("%d"), lines.find('%')) << path;
		EXPECT_EQ(lines.rfind("%d"), lines.rfind('%')) << path;
		EXPECT_EQ(lines.find("\\n"), std::string::npos) << path;
		BNode node(path.c_str());
		attr_info info;
		ASSERT_EQ(node.GetAttrInfo(kLocaleLanguageAttr, &info), B_OK) << path;
		EXPECT_EQ(info.size, (off_t)strlen(language[1]));
	}
}
