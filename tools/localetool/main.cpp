// localetool: looks into locale files, builds them from their text form,
// checks translations and moves them to and from gettext PO files. The
// commands and their help texts are listed in ToolHelp.cpp; exit statuses in
// ToolOutput.h.
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include <File.h>
#include <Message.h>
#include <Node.h>
#include <NodeInfo.h>
#include <fs_attr.h>

#include "LocaleFile.h"
#include "LocaleSource.h"
#include "TextEscapes.h"
#include "ToolCommands.h"
#include "ToolOutput.h"

namespace {

const off_t kMaxSourceSize = 16 * 1024 * 1024;

std::string Describe(status_t status)
{
	if (status == B_BAD_DATA || status == B_NOT_A_MESSAGE || status == B_NOT_SUPPORTED)
		return "not a locale file (no complete flattened message)";
	return b_status_string(status);
}

std::string JsonOrNull(const BMessage& message, const char* field)
{
	const char* value;
	return message.FindString(field, &value) == B_OK ? Json(value) : "null";
}

int Dump(const char* path, bool json)
{
	BMessage message;
	const status_t status = LocaleFile::Read(path, &message);
	if (status != B_OK)
		return Fail(path, Describe(status));

	// Attribute and type are shown as they are; files often travel without.
	std::string attribute;
	bool hasAttribute = false;
	std::string type;
	BNode node(path);
	attr_info info;
	if (node.InitCheck() == B_OK && node.GetAttrInfo(kLocaleLanguageAttr, &info) == B_OK &&
	    info.size >= 0 && info.size < 4096) {
		attribute.resize((size_t)info.size);
		const ssize_t read = node.ReadAttr(kLocaleLanguageAttr, B_STRING_TYPE, 0, attribute.data(),
		                                   attribute.size());
		hasAttribute = read == info.size;
	}
	BNodeInfo nodeInfo(&node);
	char mimeType[B_MIME_TYPE_LENGTH];
	if (nodeInfo.InitCheck() == B_OK && nodeInfo.GetType(mimeType) == B_OK)
		type = mimeType;

	LocaleSource source;
	std::string lost;
	const bool exact = source.FromMessage(message, &lost);
	if (json) {
		std::string out = "{\n";
		out += "  \"file\": " + Json(path) + ",\n";
		out += "  \"version\": " + JsonOrNull(message, kLocaleFieldVersion) + ",\n";
		out += "  \"app_id\": " + JsonOrNull(message, kLocaleFieldAppID) + ",\n";
		out += "  \"language\": " + JsonOrNull(message, kLocaleFieldLanguage) + ",\n";
		out += "  \"attribute_language\": " + (hasAttribute ? Json(attribute) : "null") + ",\n";
		out += "  \"type\": " + (type.empty() ? std::string("null") : Json(type)) + ",\n";
		out += "  \"entries\": [";
		for (size_t i = 0; i < source.texts.size(); i++)
			out += (i == 0 ? "\n    " : ",\n    ") + Json(source.texts[i]);
		out += source.texts.empty() ? "]\n}\n" : "\n  ]\n}\n";
		fputs(out.c_str(), stdout);
		return 0;
	}
	// The comments are lines of the source too: odd bytes in a file name or
	// attribute would keep the dump from compiling.
	auto escaped = [](const std::string& text) {
		std::string out;
		EscapeBytes(text, false, &out);
		return out;
	};
	printf("# file: %s\n", escaped(path).c_str());
	printf("# attribute zt:language: %s\n", hasAttribute ? escaped(attribute).c_str() : "(none)");
	printf("# type: %s\n", type.empty() ? "(none)" : escaped(type).c_str());
	printf("# entries: %zu\n", source.texts.size());
	fputs(source.Format().c_str(), stdout);
	// Bytes a line cannot carry are escaped and compile back; what the text
	// form has no place for is said, as such a dump compiles to another body.
	if (!exact)
		Note(path, "compiling this dump gives another body: " + lost);
	return 0;
}

int Compile(const char* sourcePath, const char* outPath)
{
	BFile file(sourcePath, B_READ_ONLY);
	status_t status = file.InitCheck();
	if (status != B_OK)
		return Fail(sourcePath, b_status_string(status));
	off_t size = 0;
	status = file.GetSize(&size);
	if (status != B_OK)
		return Fail(sourcePath, b_status_string(status));
	if (size > kMaxSourceSize)
		return Fail(sourcePath, "too big for a locale source");
	std::string text((size_t)size, '\0');
	const ssize_t read = file.ReadAt(0, text.data(), text.size());
	if (read != (ssize_t)size)
		return Fail(sourcePath, read < 0 ? b_status_string((status_t)read) : "short read");

	LocaleSource source;
	std::string error;
	if (source.Parse(text, &error) != B_OK)
		return Fail(sourcePath, error);
	BMessage message;
	source.ToMessage(&message);
	std::string reason;
	status = LocaleFile::Write(outPath, message, source.language.c_str(), &reason);
	if (status != B_OK)
		return Fail(outPath, "cannot write: " + (reason.empty() ? Describe(status) : reason));
	return 0;
}

} // namespace

int main(int argc, char** argv)
{
	if (argc < 2)
		return UsageError("a command is needed", nullptr);
	const std::string_view command = argv[1];
	if (command == "--help" || command == "-h" || command == "help") {
		const char* help = HelpFor(argc >= 3 && command == "help" ? argv[2] : "");
		if (help == nullptr)
			return UsageError("no command " + std::string(argv[2]), nullptr);
		fputs(help, stdout);
		return kExitDone;
	}
	if (HelpFor(command) == nullptr)
		return UsageError("no command " + std::string(command), nullptr);
	ToolArguments arguments(argv + 2, argv + argc);
	for (const std::string_view argument : arguments) {
		if (argument == "--help" || argument == "-h") {
			fputs(HelpFor(command), stdout);
			return kExitDone;
		}
	}

	if (command == "dump") {
		if (argc == 3)
			return Dump(argv[2], false);
		if (argc == 4 && strcmp(argv[3], "--json") == 0)
			return Dump(argv[2], true);
		if (argc == 4 && strcmp(argv[2], "--json") == 0)
			return Dump(argv[3], true);
		return UsageError("dump takes FILE and an optional --json", argv[1]);
	}
	if (command == "compile") {
		if (argc == 4)
			return Compile(argv[2], argv[3]);
		return UsageError("compile takes SOURCE and OUT", argv[1]);
	}
	if (command == "check")
		return RunCheck(arguments);
	if (command == "stats")
		return RunStats(arguments);
	if (command == "export-po")
		return RunExportPo(arguments);
	return RunImportPo(arguments);
}
