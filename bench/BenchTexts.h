// Generated interface texts for the file benchmarks: the same texts on every
// machine and run, written as locale files and as gettext .po files so the
// editor and the gettext tools work on the same bytes.
#ifndef BENCH_TEXTS_H
#define BENCH_TEXTS_H

#include <string>
#include <vector>

#include <SupportDefs.h>

struct Inputs
{
	std::vector<std::string> sources;      // the reference texts (msgid)
	std::vector<std::string> translations; // the entries of the locale file (msgstr)
};

// The count entries' texts, made once per count. Sources are unique, as a
// .pot needs them to be.
const Inputs& TextsFor(int count);
// The edited text as the reference display leaves it: a marker, the
// reference line and an empty translation line per entry.
std::string ReferenceBlocks(const Inputs& inputs);
// What loading the locale file into the blocks gives: each translation on
// the empty line its block left.
std::string LoadedText(const Inputs& inputs);
// A .po string of text (quoted and escaped).
std::string PoString(const std::string& text);
bool WritePo(const std::string& path, const Inputs& inputs, bool withTranslations);
status_t WriteLocaleFile(const std::string& path, const Inputs& inputs);

#endif // BENCH_TEXTS_H
