// localetool import-po IN.po [--domain NAME] -o OUT
#include <string>

#include "LocaleFile.h"
#include "OutputArguments.h"
#include "PoImporter.h"
#include "PoInput.h"
#include "ToolCommands.h"
#include "ToolOutput.h"

namespace {

const OutputUsage kUsage = {"import-po", 1, 1, "import-po takes IN.po and -o OUT", "--domain"};

int ImportPo(const OutputArguments& split)
{
	const std::string inPath(split.files[0]);
	const std::string& outPath = split.outPath;
	std::string bytes, error;
	if (!PoInput::Read(inPath, &bytes, &error))
		return Fail(inPath, error);
	PoImporter importer;
	const bool imported = importer.Import(
	    bytes, inPath, split.optionValue ? split.optionValue->c_str() : nullptr, &error);
	bytes = std::string();
	if (!imported)
		return Fail(inPath, error);

	std::string reason;
	const status_t status =
	    LocaleFile::Write(outPath.c_str(), importer.Message(), importer.Language(), &reason);
	if (status != B_OK)
		return Fail(outPath,
		            "cannot write: " + (reason.empty() ? b_status_string(status) : reason));
	if (importer.Fuzzy() > 0)
		Note(inPath, std::to_string(importer.Fuzzy()) + " fuzzy entries imported as untranslated");
	if (!importer.LeftOut().empty()) {
		std::string leftOut;
		for (const auto& [domain, count] : importer.LeftOut())
			leftOut += (leftOut.empty() ? "left out " : ", ") + std::to_string(count) +
			           " entries of domain \"" + domain + "\"";
		Note(inPath, leftOut);
	}
	return kExitDone;
}

} // namespace

int RunImportPo(const ToolArguments& arguments)
{
	return RunWithOutput(arguments, kUsage, ImportPo);
}
