// localetool's help, check and stats, run as CI runs them.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "FileBytes.h"
#include "MadeLocaleFiles.h"
#include "ScratchFolder.h"
#include "ToolRun.h"

namespace {

const std::vector<std::string> kReference = {
    "Open...", "%d files", "Name:", "Line\\none", "100% done", "Close"};

std::string Q(const std::string& text)
{
	return ShellQuote(text);
}

} // namespace

TEST(LocaleToolCheck, HelpOfEveryCommandExitsZeroAndTheSourceFormatIsExplained)
{
	ScratchFolder scratch;
	ToolRun run = RunLocaleTool("--help", scratch);
	EXPECT_EQ(run.status, 0);
	for (const char* command : {"dump", "compile", "check", "stats", "export-po", "import-po"}) {
		EXPECT_NE(run.out.find(std::string("  ") + command + " "), std::string::npos) << command;
		const ToolRun help = RunLocaleTool(std::string(command) + " --help", scratch);
		EXPECT_EQ(help.status, 0) << command;
		EXPECT_EQ(help.out.rfind(std::string("usage: localetool ") + command, 0), 0u) << help.out;
		EXPECT_TRUE(help.err.empty()) << help.err;
	}
	run = RunLocaleTool("compile --help", scratch);
	EXPECT_NE(run.out.find("language: "), std::string::npos);
	EXPECT_NE(run.out.find("1 = "), std::string::npos);

	run = RunLocaleTool("", scratch);
	EXPECT_EQ(run.status, 2);
	EXPECT_TRUE(run.out.empty());
	EXPECT_EQ(RunLocaleTool("frobnicate --help", scratch).status, 2);
	EXPECT_EQ(RunLocaleTool("check only-one", scratch).status, 2);
	EXPECT_EQ(RunLocaleTool("stats", scratch).status, 2);

	// The man page is the one installed with the program.
	const std::string page = ReadFileBytes(LE_SOURCE_DIR "/tools/localetool/localetool.1");
	for (const char* command : {"dump", "compile", "check", "stats", "export\\-po", "import\\-po"})
		EXPECT_NE(page.find(std::string(".B localetool ") + command), std::string::npos) << command;
}

TEST(LocaleToolCheck, CheckPrintsOneLinePerFindingAndExitsByWarnings)
{
	ScratchFolder scratch;
	const std::string reference = scratch / "English.locale";
	const std::string clean = scratch / "clean.locale";
	const std::string partly = scratch / "partly.locale";
	const std::string wrong = scratch / "wrong.locale";
	MakeLocaleFile(reference, "English", kReference);
	MakeLocaleFile(clean, "Deutsch",
	               {"Öffnen…", "%d Dateien", "Name:", "Zeile\\neins", "100 % fertig", "Schließen"});
	MakeLocaleFile(partly, "Deutsch", {"Öffnen…", "", "Name:"});
	MakeLocaleFile(
	    wrong, "Deutsch",
	    {"Öffnen", "Dateien", "Name:", "Zeile eins", "100 % fertig", " Schließen", "Mehr"});

	ToolRun run = RunLocaleTool("check " + Q(reference) + " " + Q(clean), scratch);
	EXPECT_EQ(run.status, 0) << run.out << run.err;
	EXPECT_EQ(run.out, "");

	// Untranslated entries are listed but are no warnings.
	run = RunLocaleTool("check " + Q(reference) + " " + Q(partly), scratch);
	EXPECT_EQ(run.status, 0) << run.err;
	EXPECT_EQ(run.out, partly + ":entry 2: untranslated\n" + partly + ":entry 4: untranslated\n" +
	                       partly + ":entry 5: untranslated\n" + partly +
	                       ":entry 6: untranslated\n");

	run = RunLocaleTool("check " + Q(reference) + " " + Q(wrong), scratch);
	EXPECT_EQ(run.status, 1) << run.err;
	EXPECT_EQ(run.out, wrong + ":entry 1: ends with '...' in the reference\n" + wrong +
	                       ":entry 2: %d missing\n" + wrong + ":entry 4: \\n missing\n" + wrong +
	                       ":entry 6: starts with a space, the reference does not\n" + wrong +
	                       ":entry 7: beyond the reference's 6 entries\n");
	EXPECT_TRUE(run.err.empty());

	run = RunLocaleTool("check --json " + Q(reference) + " " + Q(wrong), scratch);
	EXPECT_EQ(run.status, 1);
	EXPECT_NE(run.out.find("\"warnings\": 5,"), std::string::npos) << run.out;
	EXPECT_NE(run.out.find("{\"entry\": 2, \"kind\": \"conversion\", \"warning\": true, "
	                       "\"message\": \"%d missing\"}"),
	          std::string::npos)
	    << run.out;
	EXPECT_NE(run.out.find("\"message\": \"\\\\n missing\""), std::string::npos) << run.out;

	// Bad input: one line naming the file, status 2, nothing on stdout.
	WriteFileBytes(scratch / "garbage.locale", "no flattened message");
	run = RunLocaleTool("check " + Q(reference) + " " + Q(scratch / "garbage.locale"), scratch);
	EXPECT_EQ(run.status, 2);
	EXPECT_EQ(run.err, "localetool: " + (scratch / "garbage.locale") +
	                       ": not a locale file (no complete flattened message)\n");
	EXPECT_TRUE(run.out.empty());
	run = RunLocaleTool("check " + Q(scratch / "missing.locale") + " " + Q(clean), scratch);
	EXPECT_EQ(run.status, 2);
	EXPECT_EQ(run.err.rfind("localetool: " + (scratch / "missing.locale") + ": ", 0), 0u);
}

TEST(LocaleToolCheck, StatsCountsEachFileAloneOrAgainstTheReference)
{
	ScratchFolder scratch;
	const std::string reference = scratch / "English.locale";
	const std::string partly = scratch / "partly.locale";
	const std::string wrong = scratch / "wrong.locale";
	MakeLocaleFile(reference, "English", kReference);
	MakeLocaleFile(partly, "Deutsch", {"Öffnen…", "", "Name:"});
	MakeLocaleFile(wrong, "Deutsch", {"Öffnen", "Dateien", "Name:", "", "100 % fertig"});

	ToolRun run = RunLocaleTool("stats " + Q(partly) + " " + Q(wrong), scratch);
	EXPECT_EQ(run.status, 0) << run.err;
	EXPECT_EQ(run.out, partly + ": 3 entries, 2 translated, 1 untranslated\n" + wrong +
	                       ": 5 entries, 4 translated, 1 untranslated\n");

	run = RunLocaleTool("stats " + Q(partly) + " " + Q(wrong) + " --reference " + Q(reference),
	                    scratch);
	EXPECT_EQ(run.status, 0) << run.err;
	EXPECT_EQ(run.out, partly + ": 6 entries, 2 translated, 4 untranslated, 0 warnings\n" + wrong +
	                       ": 6 entries, 4 translated, 2 untranslated, 2 warnings\n");

	run = RunLocaleTool("stats --json --reference " + Q(reference) + " " + Q(partly), scratch);
	EXPECT_EQ(run.status, 0);
	EXPECT_EQ(run.out, "[\n  {\"file\": \"" + partly +
	                       "\", \"entries\": 6, \"translated\": 2, \"untranslated\": 4, "
	                       "\"warnings\": 0}\n]\n");
	run = RunLocaleTool("stats --json " + Q(partly), scratch);
	EXPECT_NE(run.out.find("\"warnings\": null"), std::string::npos) << run.out;

	// One bad file among good ones: only its line, nothing counted.
	run = RunLocaleTool("stats " + Q(partly) + " " + Q(scratch / "missing.locale"), scratch);
	EXPECT_EQ(run.status, 2);
	EXPECT_TRUE(run.out.empty());
	EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1);
}
