#include "ReplyPrinter.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include <AppDefs.h>
#include <GraphicsDefs.h>
#include <JsonString.h>
#include <Message.h>
#include <PropertyInfo.h>
#include <Rect.h>

#include "HeyRuns.h"

namespace {

struct Name
{
	uint32 code;
	const char* name;
};

const Name kTypeNames[] = {
    {B_BOOL_TYPE, "B_BOOL_TYPE"},
    {B_INT8_TYPE, "B_INT8_TYPE"},
    {B_INT16_TYPE, "B_INT16_TYPE"},
    {B_INT32_TYPE, "B_INT32_TYPE"},
    {B_INT64_TYPE, "B_INT64_TYPE"},
    {B_UINT8_TYPE, "B_UINT8_TYPE"},
    {B_UINT16_TYPE, "B_UINT16_TYPE"},
    {B_UINT32_TYPE, "B_UINT32_TYPE"},
    {B_UINT64_TYPE, "B_UINT64_TYPE"},
    {B_FLOAT_TYPE, "B_FLOAT_TYPE"},
    {B_DOUBLE_TYPE, "B_DOUBLE_TYPE"},
    {B_STRING_TYPE, "B_STRING_TYPE"},
    {B_RECT_TYPE, "B_RECT_TYPE"},
    {B_POINT_TYPE, "B_POINT_TYPE"},
    {B_RGB_COLOR_TYPE, "B_RGB_COLOR_TYPE"},
    {B_MESSAGE_TYPE, "B_MESSAGE_TYPE"},
    {B_MESSENGER_TYPE, "B_MESSENGER_TYPE"},
    {B_PROPERTY_INFO_TYPE, "B_PROPERTY_INFO_TYPE"},
    {B_RAW_TYPE, "B_RAW_TYPE"},
    {B_REF_TYPE, "B_REF_TYPE"},
};

const Name kWhatNames[] = {
    {B_REPLY, "B_REPLY"},
    {B_MESSAGE_NOT_UNDERSTOOD, "B_MESSAGE_NOT_UNDERSTOOD"},
    {B_NO_REPLY, "B_NO_REPLY"},
    {B_GET_PROPERTY, "B_GET_PROPERTY"},
    {B_SET_PROPERTY, "B_SET_PROPERTY"},
    {B_EXECUTE_PROPERTY, "B_EXECUTE_PROPERTY"},
    {B_COUNT_PROPERTIES, "B_COUNT_PROPERTIES"},
    {B_CREATE_PROPERTY, "B_CREATE_PROPERTY"},
    {B_DELETE_PROPERTY, "B_DELETE_PROPERTY"},
};

const Name kSpecifierNames[] = {
    {B_DIRECT_SPECIFIER, "DIRECT"},
    {B_INDEX_SPECIFIER, "INDEX"},
    {B_REVERSE_INDEX_SPECIFIER, "REVERSE_INDEX"},
    {B_RANGE_SPECIFIER, "RANGE"},
    {B_REVERSE_RANGE_SPECIFIER, "REVERSE_RANGE"},
    {B_NAME_SPECIFIER, "NAME"},
    {B_ID_SPECIFIER, "ID"},
};

// A four-character code as 'abcd', or its number when it is not printable.
std::string code_text(uint32 code)
{
	char text[16];
	char chars[4] = {(char)(code >> 24), (char)(code >> 16), (char)(code >> 8), (char)code};
	for (char c : chars) {
		if (c < 0x20 || c > 0x7e) {
			snprintf(text, sizeof(text), "0x%08" PRIx32, code);
			return text;
		}
	}
	snprintf(text, sizeof(text), "'%.4s'", chars);
	return text;
}

std::string name_of(uint32 code, const Name* names, size_t count)
{
	for (size_t i = 0; i < count; i++) {
		if (names[i].code == code)
			return names[i].name;
	}
	return code_text(code);
}

template <size_t N> std::string name_of(uint32 code, const Name (&names)[N])
{
	return name_of(code, names, N);
}

std::string number(double value)
{
	char text[64];
	snprintf(text, sizeof(text), "%g", value);
	return text;
}

// open, the numbers with ", " between them, close.
std::string numbers_text(const char* open, std::initializer_list<float> values, const char* close)
{
	std::string text = open;
	const char* separator = "";
	for (const float value : values) {
		text += separator;
		text += number(value);
		separator = ", ";
	}
	text += close;
	return text;
}

// One value: text for a person (json false) or a JSON value.
std::string format_value(const BMessage& message, const char* name, type_code type, int32 index,
                         bool json)
{
	const void* data = nullptr;
	ssize_t size = 0;
	if (message.FindData(name, type, index, &data, &size) != B_OK)
		return json ? "null" : "(missing)";
	char text[128];
	auto fixed = [&](size_t wanted) { return (size_t)size == wanted; };
	switch (type) {
	case B_STRING_TYPE: {
		// A text may be megabytes: quoted in one buffer, not through
		// temporaries.
		const std::string_view value(static_cast<const char*>(data),
		                             strnlen((const char*)data, (size_t)size));
		if (json)
			return JsonString(value);
		std::string quoted;
		quoted.reserve(value.size() + 2);
		quoted += '"';
		quoted += value;
		quoted += '"';
		return quoted;
	}
	case B_BOOL_TYPE:
		if (!fixed(1))
			break;
		return *static_cast<const uint8*>(data) != 0 ? "true" : "false";
	case B_INT32_TYPE:
	case B_UINT32_TYPE: {
		if (!fixed(4))
			break;
		int32 value;
		memcpy(&value, data, 4);
		if (json)
			return type == B_INT32_TYPE ? std::to_string(value) : std::to_string((uint32)value);
		if (type == B_INT32_TYPE)
			snprintf(text, sizeof(text), "%" PRId32 " (0x%08" PRIx32 ")", value, (uint32)value);
		else
			snprintf(text, sizeof(text), "%" PRIu32 " (0x%08" PRIx32 ")", (uint32)value,
			         (uint32)value);
		return text;
	}
	case B_INT64_TYPE:
	case B_UINT64_TYPE: {
		if (!fixed(8))
			break;
		int64 value;
		memcpy(&value, data, 8);
		return type == B_INT64_TYPE ? std::to_string(value) : std::to_string((uint64)value);
	}
	case B_INT8_TYPE:
		if (!fixed(1))
			break;
		return std::to_string(*static_cast<const int8*>(data));
	case B_INT16_TYPE: {
		if (!fixed(2))
			break;
		int16 value;
		memcpy(&value, data, 2);
		return std::to_string(value);
	}
	case B_FLOAT_TYPE: {
		if (!fixed(4))
			break;
		float value;
		memcpy(&value, data, 4);
		return number(value);
	}
	case B_DOUBLE_TYPE: {
		if (!fixed(8))
			break;
		double value;
		memcpy(&value, data, 8);
		return number(value);
	}
	case B_RECT_TYPE: {
		if (!fixed(16))
			break;
		float v[4];
		memcpy(v, data, 16);
		return numbers_text(json ? "[" : "BRect(", {v[0], v[1], v[2], v[3]}, json ? "]" : ")");
	}
	case B_POINT_TYPE: {
		if (!fixed(8))
			break;
		float v[2];
		memcpy(v, data, 8);
		return numbers_text(json ? "[" : "BPoint(", {v[0], v[1]}, json ? "]" : ")");
	}
	case B_RGB_COLOR_TYPE: {
		if (!fixed(4))
			break;
		const uint8* c = static_cast<const uint8*>(data);
		if (json)
			snprintf(text, sizeof(text), "[%u, %u, %u, %u]", c[0], c[1], c[2], c[3]);
		else
			snprintf(text, sizeof(text), "rgb_color(%u, %u, %u, %u)", c[0], c[1], c[2], c[3]);
		return text;
	}
	case B_MESSAGE_TYPE: {
		BMessage inner;
		if (message.FindMessage(name, index, &inner) != B_OK)
			break;
		std::string what = name_of(inner.what, kWhatNames);
		return json ? JsonString("BMessage(" + what + ")") : "BMessage(" + what + ")";
	}
	case B_RAW_TYPE: {
		std::string runs;
		if (FormatRuns(data, (size_t)size, json, &runs))
			return runs;
		break;
	}
	default:
		break;
	}
	snprintf(text, sizeof(text), "%zd bytes of %s", size, code_text(type).c_str());
	return json ? JsonString(text) : text;
}

std::string list(const uint32* values, size_t count, const Name* names, size_t nameCount, bool json)
{
	std::string out;
	for (size_t i = 0; i < count && values[i] != 0; i++) {
		std::string item = name_of(values[i], names, nameCount);
		out += (out.empty() ? "" : json ? ", " : " ") + (json ? JsonString(item) : item);
	}
	return out;
}

// The suites and their property tables, in the order the handlers added
// them.
std::string format_suites(const BMessage& reply, bool json)
{
	std::string out;
	const char* suite = nullptr;
	for (int32 i = 0; reply.FindString("suites", i, &suite) == B_OK; i++) {
		BPropertyInfo table;
		bool haveTable = reply.FindFlat("messages", i, &table) == B_OK;
		if (json) {
			out += std::string(i > 0 ? ", " : "") + "{\"suite\": " + JsonString(suite) +
			       ", \"properties\": [";
		} else {
			out += std::string("Suite ") + suite + ":\n";
		}
		for (int32 p = 0; haveTable && p < table.CountProperties(); p++) {
			const property_info& row = table.Properties()[p];
			std::string commands = list(row.commands, 10, kWhatNames,
			                            sizeof(kWhatNames) / sizeof(kWhatNames[0]), json);
			std::string forms = list(row.specifiers, 10, kSpecifierNames,
			                         sizeof(kSpecifierNames) / sizeof(kSpecifierNames[0]), json);
			if (json) {
				out += std::string(p > 0 ? ", " : "") +
				       "{\"name\": " + JsonString(row.name != nullptr ? row.name : "") +
				       ", \"commands\": [" + commands + "], \"specifiers\": [" + forms + "]}";
				continue;
			}
			char line[512];
			snprintf(line, sizeof(line), "   %-14s %-40s %s\n", row.name != nullptr ? row.name : "",
			         commands.empty() ? "(any)" : commands.c_str(), forms.c_str());
			out += line;
		}
		if (json)
			out += "]}";
	}
	return out;
}

} // namespace

void WriteReply(FILE* file, const BMessage& reply, bool suites)
{
	const std::string head = "Reply BMessage(" + name_of(reply.what, kWhatNames) + "):\n";
	fwrite(head.data(), 1, head.size(), file);
	const char* name = nullptr;
	type_code type;
	int32 count = 0;
	for (int32 i = 0; reply.GetInfo(B_ANY_TYPE, i, &name, &type, &count) == B_OK; i++) {
		if (suites && (strcmp(name, "suites") == 0 || strcmp(name, "messages") == 0))
			continue;
		for (int32 k = 0; k < count; k++) {
			const std::string label =
			    "   \"" + std::string(name) + "\" (" + name_of(type, kTypeNames) + ") : ";
			fwrite(label.data(), 1, label.size(), file);
			const void* data = nullptr;
			ssize_t size = 0;
			if (type == B_STRING_TYPE && reply.FindData(name, type, k, &data, &size) == B_OK) {
				// A text may be megabytes: written from the message itself.
				fputc('"', file);
				fwrite(data, 1, strnlen(static_cast<const char*>(data), (size_t)size), file);
				fputs("\"\n", file);
				continue;
			}
			const std::string value = format_value(reply, name, type, k, false) + "\n";
			fwrite(value.data(), 1, value.size(), file);
		}
	}
	if (suites) {
		const std::string table = format_suites(reply, false);
		fwrite(table.data(), 1, table.size(), file);
	}
}

std::string FormatReplyJson(const BMessage& reply, bool suites)
{
	std::string out =
	    "{\"what\": " + JsonString(name_of(reply.what, kWhatNames)) + ", \"fields\": {";
	const char* name = nullptr;
	type_code type;
	int32 count = 0;
	bool first = true;
	for (int32 i = 0; reply.GetInfo(B_ANY_TYPE, i, &name, &type, &count) == B_OK; i++) {
		if (suites && (strcmp(name, "suites") == 0 || strcmp(name, "messages") == 0))
			continue;
		out += std::string(first ? "" : ", ") + JsonString(name) + ": [";
		first = false;
		for (int32 k = 0; k < count; k++) {
			out += std::string(k > 0 ? ", " : "") +
			       "{\"type\": " + JsonString(name_of(type, kTypeNames)) + ", \"value\": ";
			out += format_value(reply, name, type, k, true);
			out += '}';
		}
		out += "]";
	}
	out += "}";
	if (suites)
		out += ", \"suites\": [" + format_suites(reply, true) + "]";
	return out + "}\n";
}
