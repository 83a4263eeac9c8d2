// Compares translated texts with their reference texts and tells what a
// translator most likely got wrong: printf conversions, the "\n" and "\t"
// escapes, spaces at either end and the closing punctuation. The findings are
// advice, never a reason to refuse a save. The editor asks per entry while
// the user types; localetool asks per file.
#ifndef TRANSLATION_CHECKER_H
#define TRANSLATION_CHECKER_H

#include <SupportDefs.h>

#include <span>
#include <string>
#include <string_view>
#include <vector>

enum class TranslationIssue : uint8 {
	kConversion,      // a printf conversion missing, extra, of another type or order
	kEscape,          // another count of "\n" or "\t"
	kSpace,           // other leading or trailing spaces
	kPunctuation,     // another closing punctuation mark
	kBeyondReference, // an entry the reference does not have
	kUntranslated     // empty where the reference has text: not a warning
};

struct TranslationFinding
{
	int32 entry; // 1 for the first entry; 0 from CheckEntry
	TranslationIssue issue;
	std::string message; // short, e.g. "%d missing"

	bool IsWarning() const { return issue != TranslationIssue::kUntranslated; }
};

struct TranslationCounts
{
	int32 entries = 0;      // of the reference, or of the translation without one
	int32 translated = 0;   // entries with a non-empty translation
	int32 untranslated = 0; // empty or missing where the reference has text
	int32 warnings = 0;     // findings that are warnings
};

class TranslationChecker
{
public:
	// Appends what is wrong with one translated text to findings (entry 0).
	// An empty translation of a non-empty reference gives one kUntranslated
	// finding; an empty reference gives none.
	static void CheckEntry(std::string_view reference, std::string_view translation,
	                       std::vector<TranslationFinding>* findings);

	// Checks entry N of translation against entry N of reference, entry
	// numbers starting at 1, and counts. Entries missing from translation
	// are untranslated; entries beyond the reference are each a warning.
	static TranslationCounts CheckFile(std::span<const std::string_view> reference,
	                                   std::span<const std::string_view> translation,
	                                   std::vector<TranslationFinding>* findings);

	// Counts a file alone: every empty entry is untranslated.
	static TranslationCounts Count(std::span<const std::string_view> translation);
};

#endif // TRANSLATION_CHECKER_H
