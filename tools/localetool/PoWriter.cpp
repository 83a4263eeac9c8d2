#include "PoWriter.h"

void PoWriter::Add(const char* context, std::string_view msgid, std::string_view msgstr)
{
	if (!mText.empty())
		mText += '\n';
	if (context != nullptr)
		_AddString("msgctxt", context);
	_AddString("msgid", msgid);
	_AddString("msgstr", msgstr);
}

void PoWriter::_AddString(const char* keyword, std::string_view text)
{
	mText += keyword;
	// A text with a line break before its end goes on lines of its own, one
	// per line of the text, as gettext's tools write it.
	const size_t lineBreak = text.find('\n');
	if (lineBreak == std::string_view::npos || lineBreak + 1 == text.size()) {
		mText += " \"";
		_AddEscaped(text);
		mText += "\"\n";
		return;
	}
	mText += " \"\"\n";
	while (!text.empty()) {
		const size_t end = text.find('\n');
		const size_t length = end == std::string_view::npos ? text.size() : end + 1;
		mText += '"';
		_AddEscaped(text.substr(0, length));
		mText += "\"\n";
		text.remove_prefix(length);
	}
}

void PoWriter::_AddEscaped(std::string_view text)
{
	size_t start = 0;
	for (size_t i = 0; i < text.size(); i++) {
		const unsigned char c = (unsigned char)text[i];
		if (c >= 0x20 && c != '"' && c != '\\' && c != 0x7f)
			continue;
		mText.append(text, start, i - start);
		start = i + 1;
		switch (c) {
		case '"':
			mText += "\\\"";
			break;
		case '\\':
			mText += "\\\\";
			break;
		case '\n':
			mText += "\\n";
			break;
		case '\t':
			mText += "\\t";
			break;
		case '\r':
			mText += "\\r";
			break;
		default: {
			const char octal[] = {'\\', (char)('0' + (c >> 6)), (char)('0' + ((c >> 3) & 7)),
			                      (char)('0' + (c & 7))};
			mText.append(octal, sizeof(octal));
		}
		}
	}
	mText.append(text, start, std::string_view::npos);
}
