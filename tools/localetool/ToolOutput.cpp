#include "ToolOutput.h"

#include <JsonString.h>

#include <cstdio>

int Fail(std::string_view file, const std::string& what)
{
	fprintf(stderr, "localetool: %.*s: %s\n", (int)file.size(), file.data(), what.c_str());
	return kExitBadInput;
}

int UsageError(const std::string& what, const char* command)
{
	fprintf(stderr, "localetool: %s (see localetool %s%s--help)\n", what.c_str(),
	        command != nullptr ? command : "", command != nullptr ? " " : "");
	return kExitBadInput;
}

std::string Json(std::string_view text)
{
	return JsonString(text);
}
