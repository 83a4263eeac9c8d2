#include "OutputArguments.h"

#include "ToolOutput.h"

int RunWithOutput(const ToolArguments& arguments, const OutputUsage& usage,
                  int (*run)(const OutputArguments& split))
{
	OutputArguments split;
	const std::string command(usage.command);
	for (size_t i = 0; i < arguments.size(); i++) {
		if (arguments[i] == "-o" || arguments[i] == "--output") {
			if (i + 1 == arguments.size() || !split.outPath.empty())
				return UsageError(command + ": -o takes one file", usage.command);
			split.outPath = arguments[++i];
		} else if (usage.valueOption != nullptr && arguments[i] == usage.valueOption) {
			if (i + 1 == arguments.size() || split.optionValue)
				return UsageError(command + ": " + usage.valueOption + " takes one value",
				                  usage.command);
			split.optionValue = std::string(arguments[++i]);
		} else if (arguments[i].size() > 1 && arguments[i][0] == '-') {
			return UsageError(command + ": unknown option " + std::string(arguments[i]),
			                  usage.command);
		} else {
			split.files.push_back(arguments[i]);
		}
	}
	if (split.files.size() < usage.leastFiles || split.files.size() > usage.mostFiles ||
	    split.outPath.empty())
		return UsageError(usage.takes, usage.command);
	return run(split);
}
