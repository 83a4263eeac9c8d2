// The reviewable text form of a locale file, from which the build makes the
// editor's own locale files (see docs/locale-source-format.md):
//
//   # comment
//   language: Deutsch
//   version: 1.0.0
//   app_id: korvane localeeditor locale
//
//   1 = Abbrechen
//   2 = Datei öffnen...
//
// Texts are taken verbatim: "\n" stays the two characters backslash and n,
// as locale files keep them. Only "\xNN" is read as the byte NN, for the
// bytes a line cannot carry.
#ifndef LOCALE_SOURCE_H
#define LOCALE_SOURCE_H

#include <SupportDefs.h>

#include <string>
#include <string_view>
#include <vector>

class BMessage;

struct LocaleSource
{
	std::string language;
	std::string version;
	std::string appID;
	std::vector<std::string> texts; // entry 1 at index 0

	// Reads the text form. On failure answers B_BAD_DATA, leaves this source
	// empty and describes the first problem in error ("line 7: ...").
	status_t Parse(std::string_view text, std::string* error);

	// The text form; Parse of it gives this source back. An empty text is
	// "N =" with nothing after it. An empty header value becomes a comment
	// "# key: (missing)". Bytes a line cannot carry (control bytes but tab,
	// bytes that are not UTF-8, and the backslash of a "\xNN" already in a
	// text) are written as "\xNN"; the texts that needed it are counted in
	// *unrepresentable, if given.
	std::string Format(int32* unrepresentable = nullptr) const;

	// The locale message of a locale file, fields in the format's order.
	void ToMessage(BMessage* message) const;
	// Takes the fields of a locale message, every byte of each (a NUL inside
	// too); missing ones stay empty. Every text is read, empty ones too.
	// Answers whether ToMessage gives this very message back; when not, why
	// says what the text form leaves out.
	bool FromMessage(const BMessage& message, std::string* why = nullptr);

	void Clear();
};

#endif // LOCALE_SOURCE_H
