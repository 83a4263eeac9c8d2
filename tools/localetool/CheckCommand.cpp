// localetool check REFERENCE TRANSLATION [--json]
#include <cstdio>
#include <string>

#include "LocaleEntries.h"
#include "ToolCommands.h"
#include "ToolOutput.h"
#include "TranslationChecker.h"

namespace {

const char* IssueName(TranslationIssue issue)
{
	switch (issue) {
	case TranslationIssue::kConversion:
		return "conversion";
	case TranslationIssue::kEscape:
		return "escape";
	case TranslationIssue::kSpace:
		return "space";
	case TranslationIssue::kPunctuation:
		return "punctuation";
	case TranslationIssue::kBeyondReference:
		return "beyond-reference";
	case TranslationIssue::kUntranslated:
		return "untranslated";
	}
	return "unknown";
}

void PrintJson(std::string_view referencePath, std::string_view translationPath,
               const TranslationCounts& counts, const std::vector<TranslationFinding>& findings)
{
	std::string out = "{\n";
	out += "  \"reference\": " + Json(referencePath) + ",\n";
	out += "  \"translation\": " + Json(translationPath) + ",\n";
	out += "  \"entries\": " + std::to_string(counts.entries) + ",\n";
	out += "  \"translated\": " + std::to_string(counts.translated) + ",\n";
	out += "  \"untranslated\": " + std::to_string(counts.untranslated) + ",\n";
	out += "  \"warnings\": " + std::to_string(counts.warnings) + ",\n";
	out += "  \"findings\": [";
	for (size_t i = 0; i < findings.size(); i++) {
		const TranslationFinding& finding = findings[i];
		out += i == 0 ? "\n    " : ",\n    ";
		out += "{\"entry\": " + std::to_string(finding.entry) + ", \"kind\": \"" +
		       IssueName(finding.issue) +
		       "\", \"warning\": " + (finding.IsWarning() ? "true" : "false") +
		       ", \"message\": " + Json(finding.message) + "}";
	}
	out += findings.empty() ? "]\n}\n" : "\n  ]\n}\n";
	fwrite(out.data(), 1, out.size(), stdout);
}

void PrintLines(std::string_view translationPath, const std::vector<TranslationFinding>& findings)
{
	std::string out;
	const std::string path = Printable(translationPath);
	for (const TranslationFinding& finding : findings) {
		out += path + ":entry " + std::to_string(finding.entry) + ": " +
		       Printable(finding.message) + "\n";
	}
	fwrite(out.data(), 1, out.size(), stdout);
}

} // namespace

int RunCheck(const ToolArguments& arguments)
{
	std::vector<std::string_view> files;
	bool json = false;
	for (const std::string_view argument : arguments) {
		if (argument == "--json")
			json = true;
		else if (argument.size() > 1 && argument[0] == '-')
			return UsageError("check: unknown option " + std::string(argument), "check");
		else
			files.push_back(argument);
	}
	if (files.size() != 2)
		return UsageError("check takes REFERENCE and TRANSLATION", "check");

	LocaleEntries reference, translation;
	std::string error;
	if (!reference.Load(std::string(files[0]).c_str(), &error))
		return Fail(files[0], error);
	if (!translation.Load(std::string(files[1]).c_str(), &error))
		return Fail(files[1], error);

	std::vector<TranslationFinding> findings;
	const TranslationCounts counts =
	    TranslationChecker::CheckFile(reference.Texts(), translation.Texts(), &findings);
	if (json)
		PrintJson(files[0], files[1], counts, findings);
	else
		PrintLines(files[1], findings);
	return counts.warnings > 0 ? kExitWarnings : kExitDone;
}
