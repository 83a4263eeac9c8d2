// The translation checker: what it reports for one entry, and what it
// must leave alone (percent signs that are no conversion, reordered
// positional arguments, other widths, the punctuation of other scripts).
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "TranslationChecker.h"

namespace {

struct Case
{
	const char* reference;
	const char* translation;
	std::vector<std::string> messages; // in the order the checker reports them
};

std::vector<std::string> Messages(std::string_view reference, std::string_view translation)
{
	std::vector<TranslationFinding> findings;
	TranslationChecker::CheckEntry(reference, translation, &findings);
	std::vector<std::string> messages;
	for (const TranslationFinding& finding : findings)
		messages.push_back(finding.message);
	return messages;
}

void ExpectCases(const std::vector<Case>& cases)
{
	for (const Case& c : cases)
		EXPECT_EQ(Messages(c.reference, c.translation), c.messages)
		    << "reference \"" << c.reference << "\", translation \"" << c.translation << "\"";
}

} // namespace

TEST(TranslationChecker, ConversionsAreComparedByTypeCountAndOrder)
{
	ExpectCases({
	    {"%d files", "%d Dateien", {}},
	    {"%d files", "Dateien", {"%d missing"}},
	    {"Files", "%d Dateien", {"%d not in the reference"}},
	    {"%ld bytes", "%d Bytes", {"%ld missing", "%d not in the reference"}},
	    {"%5.2f MB", "%.1f MB", {}},
	    {"%x", "%d", {}},
	    {"%s of %d",
	     "%d von %s",
	     {"conversions in another order than in the reference; reorder with %1$s, %2$d, ..."}},
	    {"%s: %s", "%s", {"%s missing"}},
	    {"%*d", "%d", {"%*d missing"}},
	    {"%lld", "%qd", {}},
	});
}

TEST(TranslationChecker, PositionalConversionsMayBeReordered)
{
	ExpectCases({
	    {"%1$s of %2$d", "%2$d von %1$s", {}},
	    {"%s of %d", "%2$d von %1$s", {}},
	    {"%1$s of %2$d", "%1$s", {"%2$d missing"}},
	    {"%1$s", "%1$s %3$s", {"%3$s not in the reference"}},
	    {"%1$s of %2$d", "%2$s von %1$s", {"%2$s where the reference has %2$d"}},
	    {"%1$s and %1$s", "%1$s", {}},
	});
}

TEST(TranslationChecker, PercentSignsThatAreNoConversionsAreLeftAlone)
{
	ExpectCases({
	    {"100%", "100 %", {}},
	    {"100% done", "zu 100 % fertig", {}},
	    {"50% off", "50 % Rabatt", {}},
	    {"Progress: 100%", "Fortschritt: 100%", {}},
	    {"%w and %", "%w und %", {}},
	    {"100%% done", "100%% fertig", {}},
	    {"%%d stays", "%%d bleibt", {}},
	    {"100%% done", "100% fertig", {"%% missing"}},
	    {"100% done", "100%% fertig", {"%% not in the reference"}},
	    {"%%s", "%s", {"%s not in the reference", "%% missing"}},
	});
}

TEST(TranslationChecker, EscapesAreCountedAsTyped)
{
	ExpectCases({
	    {"a\\nb", "a\\nb", {}},
	    {"a\\nb", "a b", {"\\n missing"}},
	    {"Error:\\n",
	     "\\nFehler:",
	     {"starts with \\n, the reference does not", "ends with \\n in the reference"}},
	    {"a\\n\\nb", "a b", {"2 \\n missing"}},
	    {"a b", "a\\tb", {"\\t not in the reference"}},
	    {"a\\\\nb", "a\\nb", {}}, // backslash, then an escape: one \n each
	    {"a\nb", "a b", {}},      // a real line feed is no escape
	});
}

TEST(TranslationChecker, SpacesAtEitherEndMustMatch)
{
	ExpectCases({
	    {" Name", "Name", {"starts with a space in the reference"}},
	    {"Name", " Name", {"starts with a space, the reference does not"}},
	    {"Name ", "Name", {"ends with a space in the reference"}},
	    {"Name  ", "Name ", {"ends with 1 space, the reference with 2 spaces"}},
	    {"a b", "a  b", {}},
	});
}

TEST(TranslationChecker, ClosingPunctuationMustMatch)
{
	ExpectCases({
	    {"Name:", "Name", {"ends with ':' in the reference"}},
	    {"Open", "Öffnen...", {"ends with '...', the reference does not"}},
	    {"Open...", "Öffnen…", {}},
	    {"Done.", "Fertig!", {"ends with '!', the reference with '.'"}},
	    {"Name: ", "Nom : ", {}},
	    {"Error!\\n", "Fehler!\\n", {}},
	    {"Really?", "本当\xef\xbc\x9f", {}},
	    {"Done.", "完了\xe3\x80\x82", {}},
	    {"Really?", "Sicher", {"ends with '?' in the reference"}},
	});
}

TEST(TranslationChecker, EmptyTranslationIsUntranslatedAndNothingElse)
{
	std::vector<TranslationFinding> findings;
	TranslationChecker::CheckEntry("%d files:\\n", "", &findings);
	ASSERT_EQ(findings.size(), 1u);
	EXPECT_EQ(findings[0].issue, TranslationIssue::kUntranslated);
	EXPECT_FALSE(findings[0].IsWarning());

	findings.clear();
	TranslationChecker::CheckEntry("", "Text", &findings);
	EXPECT_TRUE(findings.empty());
}

TEST(TranslationChecker, FileCheckNumbersEntriesAndCounts)
{
	const std::vector<std::string_view> reference = {"Open", "%d files", "Name:", "Close"};
	const std::vector<std::string_view> translation = {"Öffnen",    "Dateien", "",
	                                                   "Schließen", "Extra",   "More"};
	std::vector<TranslationFinding> findings;
	const TranslationCounts counts =
	    TranslationChecker::CheckFile(reference, translation, &findings);
	EXPECT_EQ(counts.entries, 4);
	EXPECT_EQ(counts.translated, 3);
	EXPECT_EQ(counts.untranslated, 1);
	EXPECT_EQ(counts.warnings, 3);
	ASSERT_EQ(findings.size(), 4u);
	EXPECT_EQ(findings[0].entry, 2);
	EXPECT_EQ(findings[0].message, "%d missing");
	EXPECT_EQ(findings[1].entry, 3);
	EXPECT_EQ(findings[1].issue, TranslationIssue::kUntranslated);
	EXPECT_EQ(findings[2].entry, 5);
	EXPECT_EQ(findings[2].issue, TranslationIssue::kBeyondReference);
	EXPECT_EQ(findings[3].entry, 6);

	// A short translation: the entries it lacks are untranslated.
	const std::vector<std::string_view> shortTranslation = {"Öffnen"};
	findings.clear();
	const TranslationCounts shortCounts =
	    TranslationChecker::CheckFile(reference, shortTranslation, &findings);
	EXPECT_EQ(shortCounts.translated, 1);
	EXPECT_EQ(shortCounts.untranslated, 3);
	EXPECT_EQ(shortCounts.warnings, 0);

	// Without a place for findings, the counts are the same.
	const TranslationCounts quiet = TranslationChecker::CheckFile(reference, translation, nullptr);
	EXPECT_EQ(quiet.warnings, counts.warnings);
	EXPECT_EQ(quiet.untranslated, counts.untranslated);
}
