// localetool stats FILE... [--reference REF] [--json]
#include <cstdio>
#include <memory>
#include <string>

#include "LocaleEntries.h"
#include "ToolCommands.h"
#include "ToolOutput.h"
#include "TranslationChecker.h"

namespace {

struct FileCounts
{
	std::string_view path;
	TranslationCounts counts;
};

std::string PlainLine(const FileCounts& file, bool withWarnings)
{
	std::string line = Printable(file.path);
	line += ": " + std::to_string(file.counts.entries) + " entries, " +
	        std::to_string(file.counts.translated) + " translated, " +
	        std::to_string(file.counts.untranslated) + " untranslated";
	if (withWarnings)
		line += ", " + std::to_string(file.counts.warnings) + " warnings";
	return line + "\n";
}

std::string JsonObject(const FileCounts& file, bool withWarnings)
{
	return "{\"file\": " + Json(file.path) +
	       ", \"entries\": " + std::to_string(file.counts.entries) +
	       ", \"translated\": " + std::to_string(file.counts.translated) +
	       ", \"untranslated\": " + std::to_string(file.counts.untranslated) + ", \"warnings\": " +
	       (withWarnings ? std::to_string(file.counts.warnings) : std::string("null")) + "}";
}

} // namespace

int RunStats(const ToolArguments& arguments)
{
	std::vector<std::string_view> files;
	std::string_view referencePath;
	bool json = false;
	for (size_t i = 0; i < arguments.size(); i++) {
		if (arguments[i] == "--json") {
			json = true;
		} else if (arguments[i] == "--reference") {
			if (i + 1 == arguments.size() || !referencePath.empty())
				return UsageError("stats: --reference takes one file", "stats");
			referencePath = arguments[++i];
		} else if (arguments[i].size() > 1 && arguments[i][0] == '-') {
			return UsageError("stats: unknown option " + std::string(arguments[i]), "stats");
		} else {
			files.push_back(arguments[i]);
		}
	}
	if (files.empty())
		return UsageError("stats takes at least one FILE", "stats");

	std::unique_ptr<LocaleEntries> reference;
	std::string error;
	if (!referencePath.empty()) {
		reference = std::make_unique<LocaleEntries>();
		if (!reference->Load(std::string(referencePath).c_str(), &error))
			return Fail(referencePath, error);
	}
	// Everything is read before anything is printed: bad input prints nothing
	// but its one line.
	std::vector<FileCounts> results;
	for (const std::string_view path : files) {
		LocaleEntries entries;
		if (!entries.Load(std::string(path).c_str(), &error))
			return Fail(path, error);
		const TranslationCounts counts =
		    reference ? TranslationChecker::CheckFile(reference->Texts(), entries.Texts(), nullptr)
		              : TranslationChecker::Count(entries.Texts());
		results.push_back({path, counts});
	}

	const bool withWarnings = reference != nullptr;
	std::string out = json ? "[" : "";
	for (size_t i = 0; i < results.size(); i++) {
		if (json)
			out += (i == 0 ? "\n  " : ",\n  ") + JsonObject(results[i], withWarnings);
		else
			out += PlainLine(results[i], withWarnings);
	}
	if (json)
		out += results.empty() ? "]\n" : "\n]\n";
	fwrite(out.data(), 1, out.size(), stdout);
	return kExitDone;
}
