#include "EditableEntries.h"

#include <string_view>

#include <Message.h>
#include <TypeConstants.h>

#include "LocaleFile.h"
#include "TextEscapes.h"

std::string EditableText(std::string_view raw)
{
	std::string text;
	text.reserve(raw.size());
	for (char c : raw) {
		switch (c) {
		case '\n':
			text += "\\n";
			break;
		case '\r':
			text += "\\r";
			break;
		case '\t':
			text += "\\t";
			break;
		case '\0':
			break;
		default:
			text += c;
		}
	}
	return text;
}

void EditableEntries::Take(const BMessage& locale)
{
	mTexts.clear();
	mNotText.clear();
	const void* data = nullptr;
	ssize_t size = 0;
	for (int32 i = 0;
	     locale.FindData(kLocaleFieldText, B_STRING_TYPE, i, &data, &size) == B_OK && size >= 1;
	     i++) {
		const std::string_view raw((const char*)data, (size_t)size - 1);
		if (!IsEditableAsText(raw))
			mNotText.push_back(i + 1);
		std::string text = EditableText(raw);
		mTexts.push_back(std::move(text));
	}
}

std::string EditableEntries::NotTextList() const
{
	std::string list;
	for (int32 entry : mNotText)
		list += (list.empty() ? "" : ", ") + std::to_string(entry);
	return list;
}
