// export-po and import-po with gettext's own tools: what they accept, what
// they change, and the way back.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "FileBytes.h"
#include "MadeLocaleFiles.h"
#include "ScratchFolder.h"
#include "ToolRun.h"

namespace {

std::string Q(const std::string& text)
{
	return ShellQuote(text);
}

// Texts that a PO file must carry exactly: escapes the program turns into
// line breaks and tabs, backslashes before them, quotes, spaces at the ends,
// UTF-8, percent signs, and empty entries between and after others.
const std::vector<std::string> kTexts = {
    "Öffnen…",
    "Zeile eins\\nZeile zwei\\n",
    "",
    "Spalte\\tzwei \"zitiert\" \\\\n bleibt",
    "  Leerzeichen  ",
    "100 %% von %1$s",
    "C:\\Programme\\neu",
    "",
};
const std::vector<std::string> kReference = {"Open…",
                                             "Line one\\nLine two\\n",
                                             "Unused",
                                             "Column\\ttwo \"quoted\" \\\\n stays",
                                             "  Spaces  ",
                                             "100 %% of %1$s",
                                             "C:\\Programs\\new",
                                             "Last",
                                             "Only here"};

void ExpectSameLocaleFile(const std::string& made, const std::string& original)
{
	EXPECT_EQ(ReadFileBytes(made), ReadFileBytes(original));
	EXPECT_EQ(LanguageAttribute(made), LanguageAttribute(original));
}

} // namespace

TEST(LocaleToolPo, ExportThenImportGivesTheTranslationBackByteForByte)
{
	ScratchFolder scratch;
	const std::string reference = scratch / "English.locale";
	const std::string translation = scratch / "Deutsch.locale";
	MakeLocaleFile(reference, "English", kReference);
	MakeLocaleFile(translation, "Deutsch", kTexts, "2.0  beta", " spaced app ");

	ToolRun run = RunLocaleTool("export-po " + Q(reference) + " " + Q(translation) + " -o " +
	                                Q(scratch / "de.po"),
	                            scratch);
	ASSERT_EQ(run.status, 0) << run.err;
	const std::string po = ReadFileBytes(scratch / "de.po");
	EXPECT_NE(po.find("msgctxt \"2\"\nmsgid \"\"\n\"Line one\\n\"\n\"Line two\\n\"\nmsgstr \"\"\n"
	                  "\"Zeile eins\\n\"\n\"Zeile zwei\\n\"\n"),
	          std::string::npos)
	    << po;
	EXPECT_NE(po.find("msgctxt \"3\"\nmsgid \"Unused\"\nmsgstr \"\"\n"), std::string::npos);
	EXPECT_NE(po.find("msgid \"\"\n\"Column\\ttwo \\\"quoted\\\" \\\\\\n\"\n\" stays\""),
	          std::string::npos)
	    << po;
	EXPECT_NE(po.find("\"X-Locale-Entries: 8\\n\""), std::string::npos);
	EXPECT_NE(po.find("\"X-Locale-Version: 2.0  beta\\n\""), std::string::npos);

	// gettext's tools take it as it is.
	run = RunCommand("msgfmt --check -o /dev/null " + Q(scratch / "de.po"), scratch);
	EXPECT_EQ(run.status, 0) << run.err;
	run = RunCommand("msgcat " + Q(scratch / "de.po"), scratch);
	EXPECT_EQ(run.status, 0) << run.err;
	run = RunCommand("msgfmt --statistics -o /dev/null " + Q(scratch / "de.po"), scratch);
	EXPECT_NE(run.err.find("6 translated messages, 3 untranslated messages"), std::string::npos)
	    << run.err;

	run = RunLocaleTool("import-po " + Q(scratch / "de.po") + " -o " + Q(scratch / "back.locale"),
	                    scratch);
	ASSERT_EQ(run.status, 0) << run.err;
	EXPECT_TRUE(run.err.empty()) << run.err;
	ExpectSameLocaleFile(scratch / "back.locale", translation);

	// msgcat writes the messages its own way; they still import the same.
	RunCommand("msgcat --no-wrap --sort-output " + Q(scratch / "de.po") + " -o " +
	               Q(scratch / "sorted.po"),
	           scratch);
	run = RunLocaleTool(
	    "import-po " + Q(scratch / "sorted.po") + " -o " + Q(scratch / "sorted.locale"), scratch);
	ASSERT_EQ(run.status, 0) << run.err;
	ExpectSameLocaleFile(scratch / "sorted.locale", translation);
}

TEST(LocaleToolPo, RawLineFeedsAndTabsComeBackAsTheEscapesWithANote)
{
	ScratchFolder scratch;
	const std::string reference = scratch / "English.locale";
	const std::string translation = scratch / "Deutsch.locale";
	MakeLocaleFile(reference, "English", {"a\\tb", "c"});
	MakeLocaleFile(translation, "Deutsch", {"a\tb", "c"});
	ToolRun run = RunLocaleTool("export-po " + Q(reference) + " " + Q(translation) + " -o " +
	                                Q(scratch / "de.po"),
	                            scratch);
	ASSERT_EQ(run.status, 0);
	EXPECT_EQ(run.err, "localetool: " + translation +
	                       ": 1 entries hold a raw line feed or tab, which import-po gives back "
	                       "as \\n or \\t\n");
	run = RunLocaleTool("import-po " + Q(scratch / "de.po") + " -o " + Q(scratch / "back.locale"),
	                    scratch);
	ASSERT_EQ(run.status, 0) << run.err;
	MakeLocaleFile(scratch / "expected.locale", "Deutsch", {"a\\tb", "c"});
	ExpectSameLocaleFile(scratch / "back.locale", scratch / "expected.locale");
}

TEST(LocaleToolPo, PoFilesEditedByMsgmergeAndMsgattribImportBack)
{
	ScratchFolder scratch;
	const std::string reference = scratch / "English.locale";
	const std::string translation = scratch / "Deutsch.locale";
	MakeLocaleFile(reference, "English", {"Open", "Save", "Quit"});
	MakeLocaleFile(translation, "Deutsch", {"Öffnen", "Sichern", "Beenden"});
	ASSERT_EQ(RunLocaleTool("export-po " + Q(reference) + " " + Q(translation) + " -o " +
	                            Q(scratch / "de.po"),
	                        scratch)
	              .status,
	          0);

	// Only the translated messages left: the same file comes back.
	RunCommand("msgattrib --translated " + Q(scratch / "de.po") + " -o " + Q(scratch / "t.po"),
	           scratch);
	ToolRun run = RunLocaleTool(
	    "import-po " + Q(scratch / "t.po") + " -o " + Q(scratch / "t.locale"), scratch);
	ASSERT_EQ(run.status, 0) << run.err;
	ExpectSameLocaleFile(scratch / "t.locale", translation);

	// A newer reference: one text changed, one entry added. Its template is
	// merged into the translation as translators do.
	const std::string newer = scratch / "English-new.locale";
	MakeLocaleFile(newer, "English", {"Open", "Save all", "Quit", "Help"});
	run = RunLocaleTool("export-po " + Q(newer) + " -o " + Q(scratch / "new.pot"), scratch);
	ASSERT_EQ(run.status, 0) << run.err;
	const std::string pot = ReadFileBytes(scratch / "new.pot");
	EXPECT_EQ(pot.find("X-Locale-Language"), std::string::npos);
	EXPECT_NE(pot.find("msgctxt \"4\"\nmsgid \"Help\"\nmsgstr \"\"\n"), std::string::npos) << pot;
	run = RunCommand("msgmerge --quiet " + Q(scratch / "de.po") + " " + Q(scratch / "new.pot") +
	                     " -o " + Q(scratch / "merged.po"),
	                 scratch);
	ASSERT_EQ(run.status, 0) << run.err;
	run = RunLocaleTool(
	    "import-po " + Q(scratch / "merged.po") + " -o " + Q(scratch / "merged.locale"), scratch);
	ASSERT_EQ(run.status, 0) << run.err;
	// The changed text is fuzzy now: as gettext does, its old translation is
	// not used.
	EXPECT_EQ(run.err, "localetool: " + (scratch / "merged.po") +
	                       ": 1 fuzzy entries imported as untranslated\n");
	const std::string expected = scratch / "expected.locale";
	MakeLocaleFile(expected, "Deutsch", {"Öffnen", "", "Beenden"});
	ExpectSameLocaleFile(scratch / "merged.locale", expected);

	// The translator fills in the new entry: the file grows to it.
	std::string merged = ReadFileBytes(scratch / "merged.po");
	const std::string untranslated = "msgid \"Help\"\nmsgstr \"\"\n";
	ASSERT_NE(merged.find(untranslated), std::string::npos) << merged;
	merged.replace(merged.find(untranslated), untranslated.size(),
	               "msgid \"Help\"\nmsgstr \"Hilfe\"\n");
	WriteFileBytes(scratch / "filled.po", merged);
	run = RunLocaleTool(
	    "import-po " + Q(scratch / "filled.po") + " -o " + Q(scratch / "filled.locale"), scratch);
	ASSERT_EQ(run.status, 0) << run.err;
	MakeLocaleFile(expected, "Deutsch", {"Öffnen", "", "Beenden", "Hilfe"});
	ExpectSameLocaleFile(scratch / "filled.locale", expected);
}

TEST(LocaleToolPo, BadPoFilesGiveOneLineAndWriteNothing)
{
	ScratchFolder scratch;
	const std::string out = scratch / "out.locale";
	WriteFileBytes(out, "keep me");
	const std::string header = "msgid \"\"\nmsgstr \"\"\n"
	                           "\"Content-Type: text/plain; charset=UTF-8\\n\"\n"
	                           "\"X-Locale-Language: Deutsch\\n\"\n\n";
	struct Bad
	{
		const char* name;
		std::string content;
		const char* reason;
	};
	const Bad cases[] = {
	    {"syntax.po", "msgid \"a\"\nmsgstr \"b\n", "end-of-line within string"},
	    {"context.po", header + "msgctxt \"x1\"\nmsgid \"a\"\nmsgstr \"b\"\n",
	     "msgctxt \"x1\" is no entry number"},
	    {"huge.po", header + "msgctxt \"2000000\"\nmsgid \"a\"\nmsgstr \"b\"\n",
	     "msgctxt \"2000000\" is no entry number"},
	    {"nocontext.po", header + "msgid \"a\"\nmsgstr \"b\"\n", "a message without msgctxt"},
	    {"twice.po",
	     header + "msgctxt \"1\"\nmsgid \"a\"\nmsgstr \"b\"\n\nmsgctxt \"1\"\nmsgid \"c\"\nmsgstr "
	              "\"d\"\n",
	     "entry 1 twice"},
	    {"plural.po", header + "msgctxt \"1\"\nmsgid \"a\"\nmsgid_plural \"as\"\nmsgstr[0] \"b\"\n",
	     "entry 1 has plural forms"},
	    {"latin1.po",
	     "msgid \"\"\nmsgstr \"\"\n\"Content-Type: text/plain; charset=ISO-8859-1\\n\"\n\n"
	     "msgctxt \"1\"\nmsgid \"a\"\nmsgstr \"\xe4\"\n",
	     "charset ISO-8859-1 instead of UTF-8"},
	    {"entries.po",
	     "msgid \"\"\nmsgstr \"\"\n\"X-Locale-Entries: many\\n\"\n\nmsgctxt \"1\"\nmsgid "
	     "\"a\"\nmsgstr \"b\"\n",
	     "X-Locale-Entries is no entry count"},
	};
	for (const Bad& bad : cases) {
		const std::string path = scratch / bad.name;
		WriteFileBytes(path, bad.content);
		const ToolRun run = RunLocaleTool("import-po " + Q(path) + " -o " + Q(out), scratch);
		EXPECT_EQ(run.status, 2) << bad.name;
		EXPECT_EQ(run.err.rfind("localetool: " + path + ": ", 0), 0u) << run.err;
		EXPECT_NE(run.err.find(bad.reason), std::string::npos) << run.err;
		EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
		EXPECT_EQ(ReadFileBytes(out), "keep me") << bad.name;
	}

	// A text that is no UTF-8 has no place in a PO file.
	MakeLocaleFile(scratch / "English.locale", "English", {"Open"});
	MakeLocaleFile(scratch / "Latin1.locale", "Deutsch",
	               {"\xd6"
	                "ffnen"});
	WriteFileBytes(scratch / "old.po", "keep me");
	ToolRun run = RunLocaleTool("export-po " + Q(scratch / "English.locale") + " " +
	                                Q(scratch / "Latin1.locale") + " -o " + Q(scratch / "old.po"),
	                            scratch);
	EXPECT_EQ(run.status, 2);
	EXPECT_EQ(run.err, "localetool: " + (scratch / "Latin1.locale") + ": entry 1 is not UTF-8\n");
	EXPECT_EQ(ReadFileBytes(scratch / "old.po"), "keep me");

	// An export that cannot be written leaves nothing behind either.
	run = RunLocaleTool("export-po " + Q(scratch / "English.locale") + " -o " +
	                        Q(scratch / "no/such/folder/x.po"),
	                    scratch);
	EXPECT_EQ(run.status, 2);
	EXPECT_EQ(
	    run.err.rfind("localetool: " + (scratch / "no/such/folder/x.po") + ": cannot write", 0), 0u)
	    << run.err;
}
