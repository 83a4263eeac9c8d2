// Writes the PO files of export-po. gettext's own library writes them too,
// but it converts every string between character sets on the way and took
// 0.7 times as long as msgen reading and writing the same file; this writer
// writes what that library reads back (import-po reads with it, and the
// tests run msgfmt --check and msgcat on the result). Lines are not wrapped:
// a text is split only after its line breaks, as gettext's tools split it.
#ifndef PO_WRITER_H
#define PO_WRITER_H

#include <string>
#include <string_view>

class PoWriter
{
public:
	// Appends one message. context may be null (the header).
	void Add(const char* context, std::string_view msgid, std::string_view msgstr);

	const std::string& Text() const { return mText; }

private:
	void _AddString(const char* keyword, std::string_view text);
	void _AddEscaped(std::string_view text);

	std::string mText;
};

#endif // PO_WRITER_H
