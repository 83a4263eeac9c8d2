#include "PoProblems.h"

#include <cstdio>
#include <cstdlib>

#include "ToolOutput.h"

namespace {

// The library's handlers are plain functions without a context pointer.
std::string sFile;
std::string sFirstError;

// "line N: text", first line of the text only: the tool says one line.
std::string Describe(const char* filename, size_t line, const char* text)
{
	std::string description;
	if (filename != nullptr && line != (size_t)-1) {
		description = "line " + std::to_string(line) + ": ";
	}
	std::string message = text != nullptr ? text : "unknown error";
	const size_t end = message.find('\n');
	if (end != std::string::npos)
		message.resize(end);
	return description + message;
}

void Report(int severity, const char* filename, size_t line, const char* text)
{
	if (severity == PO_SEVERITY_WARNING)
		return;
	if (sFirstError.empty())
		sFirstError = Describe(filename, line, text);
	if (severity == PO_SEVERITY_FATAL_ERROR) {
		Fail(sFile, sFirstError);
		exit(kExitBadInput);
	}
}

void XError(int severity, po_message_t, const char* filename, size_t line, size_t, int,
            const char* text)
{
	Report(severity, filename, line, text);
}

void XError2(int severity, po_message_t, const char* filename1, size_t line1, size_t, int,
             const char* text1, po_message_t, const char*, size_t, size_t, int, const char*)
{
	Report(severity, filename1, line1, text1);
}

const po_xerror_handler kHandler = {XError, XError2};

} // namespace

void PoProblems::Begin(const std::string& file)
{
	sFile = file;
	sFirstError.clear();
}

po_xerror_handler_t PoProblems::Handler()
{
	return &kHandler;
}

const std::string& PoProblems::FirstError()
{
	return sFirstError;
}
