// Generated interface texts for the file benchmarks.

#include "BenchTexts.h"

#include <fstream>
#include <unordered_set>

#include <Message.h>

#include "LocaleFile.h"
#include "MadeOnce.h"

namespace {

// xorshift64*: the same texts on every machine and every run.
class Random
{
public:
	explicit Random(uint64_t seed) : mState(seed) {}
	uint32_t Next()
	{
		mState ^= mState >> 12;
		mState ^= mState << 25;
		mState ^= mState >> 27;
		return (uint32_t)((mState * 2685821657736338717ULL) >> 32);
	}
	int Below(int limit) { return (int)(Next() % (uint32_t)limit); }

private:
	uint64_t mState;
};

const char* const kSourceWords[] = {
    "Open",     "Save",     "Save as",  "file",    "files",    "the",     "a",
    "Cancel",   "settings", "window",   "Close",   "name",     "folder",  "could",
    "not",      "be",       "found",    "Replace", "all",      "Quit",    "text",
    "entries",  "selected", "items",    "Delete",  "copy",     "of",      "Preferences",
    "language", "version",  "Edit",     "View",    "Help",     "About",   "new",
    "document", "already",  "exists.",  "Do",      "you",      "want",    "to",
    "it?",      "Print",    "page",     "pages",   "width",    "height",  "colour",
    "font",     "size",     "style",    "Undo",    "Redo",     "Find",    "next",
    "previous", "Résumé",   "café",     "naïve",   "Zoom",     "in",      "out",
    "Show",     "Hide",     "toolbar",  "status",  "line",     "column",  "Go",
    "Back",     "Forward",  "Reload",   "Stop",    "bookmark", "history", "Download",
    "Upload",   "error:",   "warning:", "Unknown", "Invalid",  "value",   "for",
    "field",    "and",      "or",       "—",       "…",        "→",       "°C",
    "Straße",   "日本語",   "Ελληνικά", "Русский"};

const char* const kTargetWords[] = {"Öffnen",
                                    "Speichern",
                                    "Speichern unter",
                                    "Datei",
                                    "Dateien",
                                    "die",
                                    "der",
                                    "das",
                                    "eine",
                                    "Abbrechen",
                                    "Einstellungen",
                                    "Fenster",
                                    "Schließen",
                                    "Name",
                                    "Ordner",
                                    "konnte",
                                    "nicht",
                                    "gefunden",
                                    "werden",
                                    "Ersetzen",
                                    "alle",
                                    "Beenden",
                                    "Text",
                                    "Einträge",
                                    "ausgewählte",
                                    "Elemente",
                                    "Löschen",
                                    "Kopie",
                                    "von",
                                    "Sprache",
                                    "Version",
                                    "Bearbeiten",
                                    "Ansicht",
                                    "Hilfe",
                                    "Über",
                                    "neues",
                                    "Dokument",
                                    "existiert",
                                    "bereits.",
                                    "Möchten",
                                    "Sie",
                                    "es",
                                    "ersetzen?",
                                    "Drucken",
                                    "Seite",
                                    "Seiten",
                                    "Breite",
                                    "Höhe",
                                    "Farbe",
                                    "Schrift",
                                    "Größe",
                                    "Stil",
                                    "Rückgängig",
                                    "Wiederholen",
                                    "Suchen",
                                    "nächste",
                                    "vorherige",
                                    "Vergrößern",
                                    "Verkleinern",
                                    "Zeigen",
                                    "Verbergen",
                                    "Werkzeugleiste",
                                    "Zeile",
                                    "Spalte",
                                    "Zurück",
                                    "Vorwärts",
                                    "Neu",
                                    "laden",
                                    "Anhalten",
                                    "Lesezeichen",
                                    "Verlauf",
                                    "Herunterladen",
                                    "Fehler:",
                                    "Warnung:",
                                    "Unbekannter",
                                    "Ungültiger",
                                    "Wert",
                                    "für",
                                    "Feld",
                                    "und",
                                    "oder",
                                    "—",
                                    "…",
                                    "°C",
                                    "Straße",
                                    "äöüß"};

// Lengths of interface texts lean to the short: most are labels, some are
// sentences, a few are whole paragraphs of an alert.
size_t TargetLength(Random& random)
{
	int kind = random.Below(10);
	if (kind < 6)
		return 3 + random.Below(28);
	if (kind < 9)
		return 30 + random.Below(41);
	return 70 + random.Below(51);
}

template <size_t Count> std::string MakeText(Random& random, const char* const (&words)[Count])
{
	const size_t kMaxBytes = 120;
	size_t length = TargetLength(random);
	std::string text = words[random.Below((int)Count)];
	while (text.size() < length) {
		std::string word;
		int special = random.Below(40);
		if (special == 0)
			word = "%s";
		else if (special == 1)
			word = "\"%s\"";
		else if (special == 2)
			word = "%d";
		else if (special == 3 && text.size() + 6 < length)
			word = "\\n"; // an escaped line feed, two bytes, never first or last
		else
			word = words[random.Below((int)Count)];
		if (text.size() + 1 + word.size() > kMaxBytes)
			break;
		text += ' ';
		text += word;
	}
	if (text.size() >= 2 && text.compare(text.size() - 2, 2, "\\n") == 0)
		text += " OK";
	if (text.size() < 3)
		text += " …";
	return text;
}

Inputs MakeTexts(int count)
{
	Inputs made;
	Random sources(0x5eed1234abcdULL + (uint64_t)count);
	Random targets(0xfeedbeef4321ULL + (uint64_t)count);
	std::unordered_set<std::string> seen;
	for (int i = 0; i < count; i++) {
		std::string source = MakeText(sources, kSourceWords);
		for (int tries = 0; seen.count(source) != 0 && tries < 8; tries++)
			source = MakeText(sources, kSourceWords);
		if (seen.count(source) != 0)
			source += " (" + std::to_string(i) + ")";
		seen.insert(source);
		made.sources.push_back(std::move(source));
		made.translations.push_back(MakeText(targets, kTargetWords));
	}
	return made;
}

} // namespace

const Inputs& TextsFor(int count)
{
	return MadeOnce<MakeTexts>(count);
}

// The edited text as the reference display leaves it: a marker, the
// reference line and an empty translation line per entry.
std::string ReferenceBlocks(const Inputs& inputs)
{
	std::string text;
	for (size_t i = 0; i < inputs.sources.size(); i++)
		text += "; #ID" + std::to_string(i + 1) + ":\n; " + inputs.sources[i] + "\n\n";
	return text;
}

// What loading the locale file into the blocks gives.
std::string LoadedText(const Inputs& inputs)
{
	std::string text;
	for (size_t i = 0; i < inputs.sources.size(); i++) {
		text += "; #ID" + std::to_string(i + 1) + ":\n; " + inputs.sources[i] + "\n" +
		        inputs.translations[i] + "\n";
	}
	return text;
}

// A .po string: the texts hold escaped line feeds already ("\n", two
// bytes), which mean the same there; quotes and other backslashes are
// escaped.
std::string PoString(const std::string& text)
{
	std::string quoted = "\"";
	for (size_t i = 0; i < text.size(); i++) {
		char c = text[i];
		if (c == '"')
			quoted += "\\\"";
		else if (c == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
			quoted += "\\n";
			i++;
		} else if (c == '\\')
			quoted += "\\\\";
		else
			quoted += c;
	}
	return quoted + "\"";
}

const char kPoHeader[] = "msgid \"\"\nmsgstr \"\"\n"
                         "\"Project-Id-Version: bench 1.0\\n\"\n"
                         "\"Language: de\\n\"\n"
                         "\"MIME-Version: 1.0\\n\"\n"
                         "\"Content-Type: text/plain; charset=UTF-8\\n\"\n"
                         "\"Content-Transfer-Encoding: 8bit\\n\"\n\n";

bool WritePo(const std::string& path, const Inputs& inputs, bool withTranslations)
{
	std::ofstream out(path, std::ios::binary);
	out << kPoHeader;
	for (size_t i = 0; i < inputs.sources.size(); i++) {
		out << "msgid " << PoString(inputs.sources[i]) << "\nmsgstr "
		    << (withTranslations ? PoString(inputs.translations[i]) : std::string("\"\""))
		    << "\n\n";
	}
	return out.good();
}

status_t WriteLocaleFile(const std::string& path, const Inputs& inputs)
{
	std::vector<const char*> texts;
	for (const std::string& text : inputs.translations)
		texts.push_back(text.c_str());
	BMessage locale;
	LocaleFile::Build(&locale, "1.0", "application/x-vnd.bench", "Deutsch", texts.data(),
	                  (long)texts.size());
	return LocaleFile::Write(path.c_str(), locale, "Deutsch");
}
