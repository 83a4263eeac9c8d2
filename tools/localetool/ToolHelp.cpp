// The --help texts; localetool.1 says the same at more length.
#include "ToolCommands.h"

namespace {

const char* const kToolHelp =
    "usage: localetool COMMAND ARGUMENTS...\n"
    "\n"
    "Looks into locale files, builds them from their text form, checks translations\n"
    "against their reference and moves them to and from gettext PO files.\n"
    "\n"
    "commands:\n"
    "  dump FILE [--json]                        header and texts of a locale file\n"
    "  compile SOURCE OUT                        a locale file from its text form\n"
    "  check REFERENCE TRANSLATION [--json]      warnings about a translation\n"
    "  stats FILE... [--reference REF] [--json]  entries, translated, untranslated\n"
    "  export-po REFERENCE [TRANSLATION] -o OUT  a PO file for the gettext tools\n"
    "  import-po IN.po [--domain NAME] -o OUT    a locale file from a PO file\n"
    "\n"
    "localetool COMMAND --help tells more about one command; man localetool tells all.\n"
    "\n"
    "exit status: 0 done; 1 check found warnings; 2 wrong arguments or bad input,\n"
    "with one line on stderr naming the file and the reason. Nothing is written\n"
    "on bad input: outputs are written under a temporary name and renamed.\n";

const char* const kDumpHelp =
    "usage: localetool dump FILE [--json]\n"
    "\n"
    "Prints a locale file: its path, its zt:language attribute and file type as\n"
    "'#' comments, then the text form that compile reads. Bytes a line cannot\n"
    "carry (control bytes, NULs, bytes that are not UTF-8) are shown as \\xNN, so\n"
    "the dump compiles back to the same body; a body it cannot give back is noted\n"
    "on stderr.\n"
    "\n"
    "  --json  one JSON object: file, version, app_id, language,\n"
    "          attribute_language, type (strings or null) and entries (strings)\n";

const char* const kCompileHelp =
    "usage: localetool compile SOURCE OUT\n"
    "\n"
    "Builds the locale file OUT from its text form SOURCE, with the zt:language\n"
    "attribute and the locale file type. The source, UTF-8, reads:\n"
    "\n"
    "  # comment lines, and empty lines, are ignored\n"
    "  language: Deutsch\n"
    "  version: 1.0.0\n"
    "  app_id: my application\n"
    "\n"
    "  1 = Abbrechen\n"
    "  2 = Datei öffnen...\n"
    "  3 = Zeile eins\\nZeile zwei\n"
    "\n"
    "The three header lines come first, each once and not empty. Then entry N is\n"
    "the number N, '=', one optional space and the text to the end of the line,\n"
    "taken as it stands (trailing spaces, '#' and ';' included). Entries start at\n"
    "1 and go up by one; an entry may be empty. Only \\xNN (two hex digits) is\n"
    "read as the byte NN; \\n and \\t stay the two characters backslash and n or\n"
    "t, as locale files hold them. A\n"
    "byte-order mark is skipped, CRLF line ends work, control bytes other than tab\n"
    "are refused. Errors name the line; the source is checked completely before\n"
    "OUT is written.\n";

const char* const kCheckHelp =
    "usage: localetool check REFERENCE TRANSLATION [--json]\n"
    "\n"
    "Checks each entry of the locale file TRANSLATION against the same entry of\n"
    "REFERENCE, as the editor does, and prints one line per finding:\n"
    "\n"
    "  TRANSLATION:entry N: message\n"
    "\n"
    "Warnings: printf conversions (%s, %d, %ld, %5.2f, %1$s, %%) missing, extra,\n"
    "of another type or, unless positional, in another order; another count of\n"
    "\\n or \\t; other spaces at the start or end; another closing '.', ':',\n"
    "'...', '!' or '?'; entries beyond the reference. An empty translation of a\n"
    "text is reported as untranslated, which is no warning.\n"
    "\n"
    "  --json  one JSON object with the counts and the findings\n"
    "\n"
    "exit status: 0 no warnings, 1 warnings, 2 bad arguments or files.\n";

const char* const kStatsHelp =
    "usage: localetool stats FILE... [--reference REF] [--json]\n"
    "\n"
    "Prints for each locale file one line: its entries, how many are translated\n"
    "(not empty) and untranslated. With a reference, entries are the\n"
    "reference's, untranslated are the empty or missing ones whose reference\n"
    "text is not empty, and the checker's warnings are counted as well.\n"
    "\n"
    "  --reference REF  count against the locale file REF\n"
    "  --json           one JSON array of objects instead\n";

const char* const kExportHelp =
    "usage: localetool export-po REFERENCE [TRANSLATION] -o OUT.po\n"
    "\n"
    "Writes the locale file TRANSLATION as a PO file that the gettext tools and\n"
    "translation platforms read: entry N has msgctxt \"N\", the reference text as\n"
    "msgid and the translation as msgstr (empty when untranslated). The two\n"
    "characters \\n and \\t become a line feed and a tab, as the program shows them.\n"
    "The header carries the translation's header fields (X-Locale-Version,\n"
    "X-Locale-App-ID, X-Locale-Language) and its number of entries\n"
    "(X-Locale-Entries). Without TRANSLATION, a template with every msgstr empty.\n"
    "import-po gives the translation back byte for byte.\n";

const char* const kImportHelp =
    "usage: localetool import-po IN.po [--domain NAME] -o OUT\n"
    "\n"
    "Writes the locale file OUT from a PO file made by export-po, also after\n"
    "msgmerge, msgattrib or a translation platform changed it. Entry N is the\n"
    "msgstr of msgctxt \"N\"; a line feed and a tab become \\n and \\t. Fuzzy and\n"
    "untranslated messages become empty entries (counted on stderr), obsolete ones\n"
    "are skipped. The header fields X-Locale-Version, X-Locale-App-ID and\n"
    "X-Locale-Language give the file's header; X-Locale-Entries its least number\n"
    "of entries. The PO file must be UTF-8.\n"
    "\n"
    "IN.po must be a regular file of at most 128 MiB; a text holding a NUL byte\n"
    "and a result over the 64 MiB that locale files are read up to are refused.\n"
    "A PO file may hold several domains: the default one (\"messages\") is read.\n"
    "--domain NAME reads another; without it, entries in other domains are bad\n"
    "input, with it they are left out and counted on stderr.\n";

} // namespace

const char* HelpFor(std::string_view command)
{
	// The commands there are: the empty one is the whole tool.
	static const struct
	{
		std::string_view command;
		const char* help;
	} kHelps[] = {
	    {"", kToolHelp},
	    {"dump", kDumpHelp},
	    {"compile", kCompileHelp},
	    {"check", kCheckHelp},
	    {"stats", kStatsHelp},
	    {"export-po", kExportHelp},
	    {"import-po", kImportHelp},
	};
	for (const auto& entry : kHelps) {
		if (entry.command == command)
			return entry.help;
	}
	return nullptr;
}
