#include "OutputArguments.h"

#include "ToolOutput.h"

int SplitOutputArguments(const ToolArguments& arguments, const char* command,
                         OutputArguments* split)
{
	const std::string name(command);
	for (size_t i = 0; i < arguments.size(); i++) {
		if (arguments[i] == "-o" || arguments[i] == "--output") {
			if (i + 1 == arguments.size() || !split->outPath.empty())
				return UsageError(name + ": -o takes one file", command);
			split->outPath = arguments[++i];
		} else if (arguments[i].size() > 1 && arguments[i][0] == '-') {
			return UsageError(name + ": unknown option " + std::string(arguments[i]), command);
		} else {
			split->files.push_back(arguments[i]);
		}
	}
	return kExitDone;
}
