// localetool: looks into locale files and builds them from their text form.
//
//   localetool dump FILE [--json]   header and texts of a locale file
//   localetool compile SOURCE OUT   a locale file from its text form
//
// Exit status: 0 done, 1 a file could not be read, parsed or written (one
// line on stderr names it), 2 wrong arguments.
#include <cstdio>
#include <cstring>
#include <string>

#include <File.h>
#include <Message.h>
#include <Node.h>
#include <NodeInfo.h>
#include <fs_attr.h>

#include "LocaleFile.h"
#include "LocaleSource.h"

namespace {

const off_t kMaxSourceSize = 16 * 1024 * 1024;

int Fail(const char* file, const std::string& what)
{
	fprintf(stderr, "localetool: %s: %s\n", file, what.c_str());
	return 1;
}

int Usage()
{
	fprintf(stderr, "usage: localetool dump FILE [--json]\n"
	                "       localetool compile SOURCE OUT\n");
	return 2;
}

std::string Describe(status_t status)
{
	if (status == B_BAD_DATA || status == B_NOT_A_MESSAGE || status == B_NOT_SUPPORTED)
		return "not a locale file (no complete flattened message)";
	return b_status_string(status);
}

// A JSON string: quotes, backslashes and control bytes escaped; bytes that
// are not valid UTF-8 become U+FFFD so that the output stays valid JSON.
std::string Json(const std::string& text)
{
	std::string out = "\"";
	for (size_t i = 0; i < text.size();) {
		const unsigned char c = (unsigned char)text[i];
		if (c == '"' || c == '\\') {
			out += '\\';
			out += (char)c;
			i++;
		} else if (c < 0x20) {
			char buffer[8];
			switch (c) {
			case '\n':
				out += "\\n";
				break;
			case '\t':
				out += "\\t";
				break;
			case '\r':
				out += "\\r";
				break;
			default:
				snprintf(buffer, sizeof(buffer), "\\u%04x", c);
				out += buffer;
			}
			i++;
		} else if (c < 0x80) {
			out += (char)c;
			i++;
		} else {
			size_t length = (c & 0xe0) == 0xc0   ? 2
			                : (c & 0xf0) == 0xe0 ? 3
			                : (c & 0xf8) == 0xf0 ? 4
			                                     : 0;
			bool valid = length > 0 && i + length <= text.size();
			for (size_t k = 1; valid && k < length; k++)
				valid = ((unsigned char)text[i + k] & 0xc0) == 0x80;
			if (valid) {
				out.append(text, i, length);
				i += length;
			} else {
				out += "\xef\xbf\xbd";
				i++;
			}
		}
	}
	return out + "\"";
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
	source.FromMessage(message);
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
	printf("# file: %s\n", path);
	printf("# attribute zt:language: %s\n", hasAttribute ? attribute.c_str() : "(none)");
	printf("# type: %s\n", type.empty() ? "(none)" : type.c_str());
	printf("# entries: %zu\n", source.texts.size());
	int32 escaped = 0;
	fputs(source.Format(&escaped).c_str(), stdout);
	if (escaped > 0)
		fprintf(stderr,
		        "localetool: %s: %d texts hold control bytes, shown as \\xNN; "
		        "--json shows them exactly\n",
		        path, (int)escaped);
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
	if (argc >= 3 && strcmp(argv[1], "dump") == 0) {
		if (argc == 3)
			return Dump(argv[2], false);
		if (argc == 4 && strcmp(argv[3], "--json") == 0)
			return Dump(argv[2], true);
		if (argc == 4 && strcmp(argv[2], "--json") == 0)
			return Dump(argv[3], true);
		return Usage();
	}
	if (argc == 4 && strcmp(argv[1], "compile") == 0)
		return Compile(argv[2], argv[3]);
	return Usage();
}
