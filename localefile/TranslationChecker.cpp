#include "TranslationChecker.h"

#include <algorithm>
#include <cstring>

#include "PrintfConversions.h"

namespace {

typedef std::vector<TranslationFinding> Findings;

void Add(Findings* findings, TranslationIssue issue, std::string message)
{
	findings->push_back({0, issue, std::move(message)});
}

// Positions for the conversions that name none, in their order, so that
// "%s %d" and "%1$s %2$d" compare equal.
std::vector<PrintfConversion> Numbered(const PrintfConversions& conversions)
{
	std::vector<PrintfConversion> numbered = conversions.Arguments();
	int32 next = 1;
	for (PrintfConversion& conversion : numbered) {
		if (conversion.position == 0)
			conversion.position = next;
		next = conversion.position + 1;
	}
	std::stable_sort(numbered.begin(), numbered.end(),
	                 [](const PrintfConversion& a, const PrintfConversion& b) {
		                 return a.position < b.position;
	                 });
	// A string may use an argument twice; one is enough to compare.
	numbered.erase(std::unique(numbered.begin(), numbered.end(),
	                           [](const PrintfConversion& a, const PrintfConversion& b) {
		                           return a.position == b.position;
	                           }),
	               numbered.end());
	return numbered;
}

void CompareByPosition(const PrintfConversions& reference, const PrintfConversions& translation,
                       Findings* findings)
{
	const std::vector<PrintfConversion> wanted = Numbered(reference);
	const std::vector<PrintfConversion> given = Numbered(translation);
	size_t i = 0, k = 0;
	while (i < wanted.size() || k < given.size()) {
		if (k == given.size() || (i < wanted.size() && wanted[i].position < given[k].position)) {
			Add(findings, TranslationIssue::kConversion,
			    std::string(wanted[i].spelling) + " missing");
			i++;
		} else if (i == wanted.size() || given[k].position < wanted[i].position) {
			Add(findings, TranslationIssue::kConversion,
			    std::string(given[k].spelling) + " not in the reference");
			k++;
		} else {
			if (wanted[i].type != given[k].type)
				Add(findings, TranslationIssue::kConversion,
				    std::string(given[k].spelling) + " where the reference has " +
				        std::string(wanted[i].spelling));
			i++;
			k++;
		}
	}
}

void CompareInOrder(const PrintfConversions& reference, const PrintfConversions& translation,
                    Findings* findings)
{
	const std::vector<PrintfConversion>& wanted = reference.Arguments();
	const std::vector<PrintfConversion>& given = translation.Arguments();
	auto sameType = [](const PrintfConversion& a, const PrintfConversion& b) {
		return a.type == b.type;
	};
	if (std::equal(wanted.begin(), wanted.end(), given.begin(), given.end(), sameType))
		return;

	// Match each wanted conversion with a given one of its type, first come
	// first served; what stays unmatched on either side is reported.
	std::vector<bool> used(given.size(), false);
	bool anyMissing = false;
	for (const PrintfConversion& conversion : wanted) {
		size_t k = 0;
		while (k < given.size() && (used[k] || given[k].type != conversion.type))
			k++;
		if (k < given.size()) {
			used[k] = true;
		} else {
			Add(findings, TranslationIssue::kConversion,
			    std::string(conversion.spelling) + " missing");
			anyMissing = true;
		}
	}
	bool anyExtra = false;
	for (size_t k = 0; k < given.size(); k++) {
		if (!used[k]) {
			Add(findings, TranslationIssue::kConversion,
			    std::string(given[k].spelling) + " not in the reference");
			anyExtra = true;
		}
	}
	if (!anyMissing && !anyExtra)
		Add(findings, TranslationIssue::kConversion,
		    "conversions in another order than in the reference; reorder with %1$s, %2$d, ...");
}

void CheckConversions(std::string_view reference, std::string_view translation, Findings* findings)
{
	// Most texts hold no '%' at all; they cost one scan each.
	const bool inReference = reference.find('%') != std::string_view::npos;
	const bool inTranslation = translation.find('%') != std::string_view::npos;
	if (!inReference && !inTranslation)
		return;
	PrintfConversions wanted, given;
	wanted.Parse(reference);
	given.Parse(translation);
	if (wanted.Positional() || given.Positional())
		CompareByPosition(wanted, given, findings);
	else
		CompareInOrder(wanted, given, findings);

	const int32 difference = given.PercentSigns() - wanted.PercentSigns();
	if (difference < 0)
		Add(findings, TranslationIssue::kConversion, "%% missing");
	else if (difference > 0)
		Add(findings, TranslationIssue::kConversion, "%% not in the reference");
}

// Counts backslash-letter pairs as the localization library reads them: left
// to right, a pair never overlapping the next.
int32 CountEscapes(std::string_view text, char letter)
{
	int32 count = 0;
	for (size_t i = text.find('\\'); i != std::string_view::npos; i = text.find('\\', i + 1)) {
		if (i + 1 < text.size() && text[i + 1] == letter) {
			count++;
			i++;
		}
	}
	return count;
}

bool StartsWithLineBreak(std::string_view text)
{
	return text.size() >= 2 && text[0] == '\\' && text[1] == 'n';
}

bool EndsWithLineBreak(std::string_view text)
{
	// "\\n" is a backslash and a line break too, as the library reads it.
	return text.size() >= 2 && text[text.size() - 2] == '\\' && text.back() == 'n';
}

// Line breaks in the same number but moved to or from either end: gettext's
// msgfmt --check refuses such a translation, and it shows as an extra or a
// missing empty line.
void CheckLineBreakEnds(std::string_view reference, std::string_view translation,
                        Findings* findings)
{
	const struct
	{
		bool wanted, given;
		const char* where;
	} ends[] = {{StartsWithLineBreak(reference), StartsWithLineBreak(translation), "starts"},
	            {EndsWithLineBreak(reference), EndsWithLineBreak(translation), "ends"}};
	for (const auto& end : ends) {
		if (end.wanted == end.given)
			continue;
		Add(findings, TranslationIssue::kEscape,
		    std::string(end.where) +
		        (end.wanted ? " with \\n in the reference" : " with \\n, the reference does not"));
	}
}

void CheckEscape(std::string_view reference, std::string_view translation, char letter,
                 Findings* findings)
{
	const int32 wanted = CountEscapes(reference, letter);
	const int32 given = CountEscapes(translation, letter);
	if (wanted == given) {
		if (letter == 'n')
			CheckLineBreakEnds(reference, translation, findings);
		return;
	}
	const std::string escape = std::string("\\") + letter;
	const int32 difference = wanted > given ? wanted - given : given - wanted;
	std::string message = difference == 1 ? escape : std::to_string(difference) + " " + escape;
	message += wanted > given ? " missing" : " not in the reference";
	Add(findings, TranslationIssue::kEscape, std::move(message));
}

size_t LeadingSpaces(std::string_view text)
{
	const size_t first = text.find_first_not_of(' ');
	return first == std::string_view::npos ? text.size() : first;
}

size_t TrailingSpaces(std::string_view text)
{
	const size_t last = text.find_last_not_of(' ');
	return last == std::string_view::npos ? text.size() : text.size() - 1 - last;
}

std::string Spaces(size_t count)
{
	return count == 1 ? "1 space" : std::to_string(count) + " spaces";
}

void CheckSpaces(size_t wanted, size_t given, const char* where, Findings* findings)
{
	if (wanted == given)
		return;
	std::string message;
	if (given == 0)
		message = std::string(where) + " with a space in the reference";
	else if (wanted == 0)
		message = std::string(where) + " with a space, the reference does not";
	else
		message = std::string(where) + " with " + Spaces(given) + ", the reference with " +
		          Spaces(wanted);
	Add(findings, TranslationIssue::kSpace, std::move(message));
}

// The closing punctuation of a text, before trailing spaces and escapes:
// "." ":" "!" "?" or "..." (for "…" too), or nothing. The marks of scripts
// that have their own are read as the one they stand for.
std::string_view ClosingMark(std::string_view text)
{
	for (;;) {
		if (!text.empty() && text.back() == ' ')
			text.remove_suffix(1);
		else if (text.size() >= 2 && text[text.size() - 2] == '\\' &&
		         (text.back() == 'n' || text.back() == 't'))
			text.remove_suffix(2);
		else
			break;
	}
	struct Mark
	{
		std::string_view ending;
		std::string_view mark;
	};
	static const Mark kMarks[] = {
	    {"...", "..."},
	    {"\xe2\x80\xa6", "..."},
	    {".", "."},
	    {":", ":"},
	    {"!", "!"},
	    {"?", "?"},
	    {"\xe3\x80\x82", "."}, // ideographic full stop
	    {"\xef\xbc\x8e", "."}, // fullwidth full stop
	    {"\xe0\xa5\xa4", "."}, // danda
	    {"\xef\xbc\x9a", ":"}, // fullwidth colon
	    {"\xef\xbc\x81", "!"}, // fullwidth exclamation
	    {"\xef\xbc\x9f", "?"}, // fullwidth question
	    {"\xd8\x9f", "?"},     // Arabic question
	    {"\xcd\xbe", "?"},     // Greek question
	};
	for (const Mark& mark : kMarks) {
		if (text.size() >= mark.ending.size() &&
		    text.substr(text.size() - mark.ending.size()) == mark.ending)
			return mark.mark;
	}
	return {};
}

void CheckPunctuation(std::string_view reference, std::string_view translation, Findings* findings)
{
	const std::string_view wanted = ClosingMark(reference);
	const std::string_view given = ClosingMark(translation);
	if (wanted == given)
		return;
	std::string message;
	if (given.empty())
		message = "ends with '" + std::string(wanted) + "' in the reference";
	else if (wanted.empty())
		message = "ends with '" + std::string(given) + "', the reference does not";
	else
		message = "ends with '" + std::string(given) + "', the reference with '" +
		          std::string(wanted) + "'";
	Add(findings, TranslationIssue::kPunctuation, std::move(message));
}

} // namespace

void TranslationChecker::CheckEntry(std::string_view reference, std::string_view translation,
                                    std::vector<TranslationFinding>* findings)
{
	if (findings == nullptr || reference.empty())
		return;
	if (translation.empty()) {
		Add(findings, TranslationIssue::kUntranslated, "untranslated");
		return;
	}
	CheckConversions(reference, translation, findings);
	CheckEscape(reference, translation, 'n', findings);
	CheckEscape(reference, translation, 't', findings);
	CheckSpaces(LeadingSpaces(reference), LeadingSpaces(translation), "starts", findings);
	CheckSpaces(TrailingSpaces(reference), TrailingSpaces(translation), "ends", findings);
	CheckPunctuation(reference, translation, findings);
}

TranslationCounts TranslationChecker::CheckFile(std::span<const std::string_view> reference,
                                                std::span<const std::string_view> translation,
                                                std::vector<TranslationFinding>* findings)
{
	TranslationCounts counts;
	counts.entries = (int32)reference.size();
	std::vector<TranslationFinding> local;
	std::vector<TranslationFinding>& out = findings != nullptr ? *findings : local;
	const size_t common = std::min(reference.size(), translation.size());
	for (size_t i = 0; i < reference.size(); i++) {
		const std::string_view text = i < common ? translation[i] : std::string_view();
		if (!text.empty())
			counts.translated++;
		const size_t before = out.size();
		CheckEntry(reference[i], text, &out);
		for (size_t k = before; k < out.size(); k++) {
			out[k].entry = (int32)(i + 1);
			if (out[k].IsWarning())
				counts.warnings++;
			else
				counts.untranslated++;
		}
		if (findings == nullptr)
			local.clear();
	}
	for (size_t i = reference.size(); i < translation.size(); i++) {
		out.push_back({(int32)(i + 1), TranslationIssue::kBeyondReference,
		               "beyond the reference's " + std::to_string(reference.size()) + " entries"});
		counts.warnings++;
	}
	return counts;
}

TranslationCounts TranslationChecker::Count(std::span<const std::string_view> translation)
{
	TranslationCounts counts;
	counts.entries = (int32)translation.size();
	for (const std::string_view text : translation) {
		if (text.empty())
			counts.untranslated++;
		else
			counts.translated++;
	}
	return counts;
}
