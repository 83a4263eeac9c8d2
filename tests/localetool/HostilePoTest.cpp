// import-po and export-po against input made to hurt: files that never end,
// domains, NUL bytes, texts beyond what any reader takes, bytes meant for
// the terminal; and the outputs they write.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include <Node.h>
#include <TypeConstants.h>

#include "BuiltPrograms.h"
#include "FileBytes.h"
#include "MadeLocaleFiles.h"
#include "ScratchFolder.h"
#include "ToolRun.h"

namespace {

std::string Q(const std::string& text)
{
	return ShellQuote(text);
}

const std::string kHeader = "msgid \"\"\nmsgstr \"\"\n"
                            "\"Content-Type: text/plain; charset=UTF-8\\n\"\n"
                            "\"X-Locale-Version: 1.0.0\\n\"\n"
                            "\"X-Locale-App-ID: my app\\n\"\n"
                            "\"X-Locale-Language: Deutsch\\n\"\n\n";

std::string Entry(int number, const std::string& msgstr)
{
	return "msgctxt \"" + std::to_string(number) + "\"\nmsgid \"x\"\nmsgstr \"" + msgstr + "\"\n\n";
}

// A tool that reads for ever must not hang the suite: it is stopped and the
// test fails on its status.
ToolRun RunLimited(const std::string& arguments, const ScratchFolder& scratch)
{
	return RunCommand("timeout 30 " + Q(BuildFolder() + "/localetool") + " " + arguments, scratch);
}

// One line on stderr, nothing written: the old output is still there.
void ExpectRefused(const ToolRun& run, const std::string& input, const std::string& reason,
                   const std::string& out, const std::string& label)
{
	EXPECT_EQ(run.status, 2) << label << ": " << run.err;
	EXPECT_EQ(run.err.rfind("localetool: " + input + ": ", 0), 0u) << label << ": " << run.err;
	EXPECT_NE(run.err.find(reason), std::string::npos) << label << ": " << run.err;
	EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << label << ": " << run.err;
	EXPECT_EQ(ReadFileBytes(out), "keep me") << label;
}

} // namespace

TEST(LocaleToolHostilePo, InputsThatAreNoRegularFileOrTooBigAreRefusedUnread)
{
	ScratchFolder scratch;
	const std::string out = scratch / "out.locale";
	WriteFileBytes(out, "keep me");
	ASSERT_EQ(symlink("/dev/zero", (scratch / "zero.po").c_str()), 0);
	ASSERT_EQ(mkfifo((scratch / "fifo.po").c_str(), 0600), 0);
	ASSERT_EQ(mkdir((scratch / "folder.po").c_str(), 0700), 0);
	// Sparse: bigger than the limit without taking the disk.
	WriteFileBytes(scratch / "huge.po", "");
	ASSERT_EQ(truncate((scratch / "huge.po").c_str(), 129L * 1024 * 1024), 0);
	const struct
	{
		std::string input;
		const char* reason;
	} cases[] = {
	    {"/dev/zero", "a character device, not a regular file"},
	    {scratch / "zero.po", "a character device, not a regular file"},
	    {scratch / "fifo.po", "a pipe, not a regular file"},
	    {scratch / "folder.po", "a folder, not a regular file"},
	    {scratch / "huge.po", "bigger than the 128 MiB (134217728 bytes) that import-po reads"},
	    {scratch / "missing.po", "No such file"},
	};
	for (const auto& bad : cases) {
		const ToolRun run = RunLimited("import-po " + Q(bad.input) + " -o " + Q(out), scratch);
		ExpectRefused(run, bad.input, bad.reason, out, bad.input);
	}
}

TEST(LocaleToolHostilePo, OtherDomainsAreNeverDroppedUnsaid)
{
	ScratchFolder scratch;
	const std::string po = scratch / "domains.po";
	WriteFileBytes(po, kHeader + Entry(1, "Eins") + Entry(2, "Zwei") + "domain \"other\"\n" +
	                       kHeader + Entry(1, "Andere") + Entry(2, "Mehr") + Entry(3, "Drei"));
	const std::string out = scratch / "out.locale";
	WriteFileBytes(out, "keep me");

	// Which domain to take is the user's choice.
	ToolRun run = RunLocaleTool("import-po " + Q(po) + " -o " + Q(out), scratch);
	ExpectRefused(run, po,
	              "3 entries in domain \"other\" beside 2 in \"messages\"; choose one with "
	              "--domain NAME",
	              out, "no --domain");
	run = RunLocaleTool("import-po " + Q(po) + " --domain nowhere -o " + Q(out), scratch);
	ExpectRefused(run, po, "no domain \"nowhere\" in the file; it has \"messages\", \"other\"", out,
	              "unknown domain");

	// Chosen, the others are left out with a word.
	const std::string expected = scratch / "expected.locale";
	run = RunLocaleTool("import-po " + Q(po) + " --domain messages -o " + Q(out), scratch);
	EXPECT_EQ(run.status, 0) << run.err;
	EXPECT_EQ(run.err, "localetool: " + po + ": left out 3 entries of domain \"other\"\n");
	MakeLocaleFile(expected, "Deutsch", {"Eins", "Zwei"});
	EXPECT_EQ(ReadFileBytes(out), ReadFileBytes(expected));
	run = RunLocaleTool("import-po " + Q(po) + " -o " + Q(out) + " --domain other", scratch);
	EXPECT_EQ(run.status, 0) << run.err;
	EXPECT_EQ(run.err, "localetool: " + po + ": left out 2 entries of domain \"messages\"\n");
	MakeLocaleFile(expected, "Deutsch", {"Andere", "Mehr", "Drei"});
	EXPECT_EQ(ReadFileBytes(out), ReadFileBytes(expected));
}

TEST(LocaleToolHostilePo, NulBytesInAnySpellingAreRefusedNamingTheEntry)
{
	ScratchFolder scratch;
	const std::string out = scratch / "out.locale";
	const struct
	{
		const char* name;
		std::string msgstr; // of entry 2, as written in the PO file
		const char* reason;
	} cases[] = {
	    {"octal", "vor\\000nach", "line 14 (entry 2): the msgstr holds a NUL byte"},
	    {"short octal", "vor\\0", "line 14 (entry 2): the msgstr holds a NUL byte"},
	    {"hex", "vor\\x00nach", "line 14 (entry 2): the msgstr holds a NUL byte"},
	    {"octal beyond a byte", "\\400", "line 14 (entry 2): the msgstr holds a NUL byte"},
	    {"long hex", "\\x100", "line 14 (entry 2): the msgstr holds a NUL byte"},
	    {"raw", std::string("vor\0nach", 8), "line 14 (entry 2): the msgstr holds a NUL byte"},
	};
	for (const auto& bad : cases) {
		const std::string po = scratch / "nul.po";
		WriteFileBytes(po, kHeader + Entry(1, "Eins") + Entry(2, bad.msgstr));
		WriteFileBytes(out, "keep me");
		const ToolRun run = RunLocaleTool("import-po " + Q(po) + " -o " + Q(out), scratch);
		ExpectRefused(run, po, bad.reason, out, bad.name);
	}

	// What only looks like one is kept as it is: an escaped backslash before
	// a zero, octal and hex escapes of other bytes.
	const std::string po = scratch / "fine.po";
	WriteFileBytes(po, kHeader + Entry(1, "a\\\\0b \\\\x00") + Entry(2, "\\01\\x0041"));
	const ToolRun run = RunLocaleTool("import-po " + Q(po) + " -o " + Q(out), scratch);
	ASSERT_EQ(run.status, 0) << run.err;
	MakeLocaleFile(scratch / "expected.locale", "Deutsch",
	               {"a\\0b \\x00", "\x01"
	                               "A"});
	EXPECT_EQ(ReadFileBytes(out), ReadFileBytes(scratch / "expected.locale"));
}

TEST(LocaleToolHostilePo, ATranslationNoReaderWouldOpenIsNotWritten)
{
	ScratchFolder scratch;
	const std::string out = scratch / "out.locale";
	WriteFileBytes(out, "keep me");
	// A raw tab becomes the two characters \t: 16385 entries of 2048 tabs in
	// a 33 MiB PO file give texts just over the 64 MiB the readers take.
	// Many entries rather than one long text: gettext's library grows a
	// string a little at a time, which a sanitizer's allocator makes slow.
	const std::string po = scratch / "big.po";
	std::string content = kHeader;
	const std::string tabs(2048, '\t');
	for (int number = 1; number <= 16385; number++)
		content += Entry(number, tabs);
	WriteFileBytes(po, content);
	const ToolRun run = RunLocaleTool("import-po " + Q(po) + " -o " + Q(out), scratch);
	ExpectRefused(run, po,
	              "the locale file would be bigger than the 64 MiB (67108864 bytes) that locale "
	              "files are read up to",
	              out, "many long texts");
}

TEST(LocaleToolHostilePo, MessagesQuotingInputCarryNoControlBytesToTheTerminal)
{
	ScratchFolder scratch;
	const std::string out = scratch / "out.locale";
	const std::string titled = scratch / "t\x1b]0;pwned\x07.po";
	WriteFileBytes(titled, kHeader + "msgid \"\\033]0;pwned\\007\"\nmsgstr \"x\"\n");
	const std::string badContext = scratch / "context.po";
	WriteFileBytes(badContext, kHeader + "msgctxt \"\xc2\x9b"
	                                     "2J\"\nmsgid \"x\"\nmsgstr \"y\"\n");
	const struct
	{
		std::string command;
		const char* shown;
	} cases[] = {
	    {"import-po " + Q(titled) + " -o " + Q(out),
	     "t\\x1B]0;pwned\\x07.po: a message without msgctxt: \"\\x1B]0;pwned\\x07\""},
	    {"import-po " + Q(badContext) + " -o " + Q(out),
	     "msgctxt \"\\xC2\\x9B2J\" is no entry number"},
	    {"import-po " + Q(scratch / "gone\xff\r\n.po") + " -o " + Q(out), "gone\\xFF\\r\\n.po: "},
	    {"stats " + Q("--bogus\x1b[2J"), "unknown option --bogus\\x1B[2J"},
	};
	for (const auto& hostile : cases) {
		const ToolRun run = RunLocaleTool(hostile.command, scratch);
		EXPECT_EQ(run.status, 2) << run.err;
		EXPECT_NE(run.err.find(hostile.shown), std::string::npos) << run.err;
		ASSERT_FALSE(run.err.empty());
		EXPECT_EQ(run.err.find_first_of(std::string("\x1b\x07\r\xff\x9b", 5)), std::string::npos)
		    << run.err;
		EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
	}
}

TEST(LocaleToolHostilePo, ExportReplacesItsOutputSafelyKeepingAttributesAndLinks)
{
	ScratchFolder scratch;
	MakeLocaleFile(scratch / "English.locale", "English", {"Open", "Quit"});
	const std::string po = scratch / "en.pot";
	WriteFileBytes(po, "old");
	ASSERT_EQ(link(po.c_str(), (scratch / "linked.pot").c_str()), 0);
	ASSERT_EQ(chmod(po.c_str(), 0640), 0);
	BNode node(po.c_str());
	ASSERT_EQ(node.WriteAttr("translator", B_STRING_TYPE, 0, "Ana", 3), 3);
	node.Unset();

	ToolRun run =
	    RunLocaleTool("export-po " + Q(scratch / "English.locale") + " -o " + Q(po), scratch);
	ASSERT_EQ(run.status, 0) << run.err;
	const std::string written = ReadFileBytes(po);
	EXPECT_NE(written.find("msgctxt \"2\"\nmsgid \"Quit\"\n"), std::string::npos) << written;
	EXPECT_EQ(ReadFileBytes(scratch / "linked.pot"), written);
	char value[8] = {};
	EXPECT_EQ(BNode(po.c_str()).ReadAttr("translator", B_STRING_TYPE, 0, value, sizeof(value)), 3);
	EXPECT_STREQ(value, "Ana");
	struct stat info;
	ASSERT_EQ(stat(po.c_str(), &info), 0);
	EXPECT_EQ(info.st_mode & 0777, 0640u);

	// A failed export leaves the old file.
	run = RunLocaleTool("export-po " + Q(scratch / "missing.locale") + " -o " + Q(po), scratch);
	EXPECT_EQ(run.status, 2);
	EXPECT_EQ(ReadFileBytes(po), written);
}
