// The entries of a loaded locale file as the editor shows them: one line
// each, so that the numbering holds when the text is saved again.
#ifndef EDITABLE_ENTRIES_H
#define EDITABLE_ENTRIES_H

#include <SupportDefs.h>

#include <string>
#include <vector>

#include <string_view>

class BMessage;

// A text as one line: a line feed, carriage return or tab becomes "\n",
// "\r" or "\t", which the localization library turns back; NULs are left
// out.
std::string EditableText(std::string_view raw);

class EditableEntries
{
public:
	// Reads every zt:text value of locale, all of its bytes. A line feed,
	// carriage return or tab inside an entry becomes "\n", "\r" or "\t",
	// which the localization library turns back. NULs are left out and
	// bytes that are not UTF-8 kept as they are; such entries are listed in
	// NotText, as the text view cannot hold them and saving changes them.
	void Take(const BMessage& locale);

	const std::vector<std::string>& Texts() const { return mTexts; }
	// Entry numbers (the first entry is 1), ascending.
	const std::vector<int32>& NotText() const { return mNotText; }
	// The numbers of NotText for a message: "3, 7".
	std::string NotTextList() const;

private:
	std::vector<std::string> mTexts;
	std::vector<int32> mNotText;
};

#endif // EDITABLE_ENTRIES_H
