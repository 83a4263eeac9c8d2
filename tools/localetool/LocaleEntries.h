// A locale file as localetool's subcommands see it: the three header fields,
// each of which may be missing, and every zt:text value in order, empty ones
// included, since entries are anchored to their numbers.
#ifndef LOCALE_ENTRIES_H
#define LOCALE_ENTRIES_H

#include <Message.h>

#include <string>
#include <string_view>
#include <vector>

class LocaleEntries
{
public:
	// Reads the file at path. On failure answers false and puts a reason in
	// error, ready to follow "localetool: FILE: ".
	bool Load(const char* path, std::string* error);

	// nullptr when the file lacks the field.
	const char* Version() const { return mVersion; }
	const char* AppID() const { return mAppID; }
	const char* Language() const { return mLanguage; }

	// Views into the message read; valid while this object lives.
	const std::vector<std::string_view>& Texts() const { return mTexts; }

private:
	BMessage mMessage;
	const char* mVersion = nullptr;
	const char* mAppID = nullptr;
	const char* mLanguage = nullptr;
	std::vector<std::string_view> mTexts;
};

#endif // LOCALE_ENTRIES_H
