#include "LocaleEntries.h"

#include <cstring>

#include <TypeConstants.h>

#include "LocaleFile.h"

namespace {

const char* FindOrNull(const BMessage& message, const char* field)
{
	const char* value = nullptr;
	return message.FindString(field, &value) == B_OK ? value : nullptr;
}

} // namespace

bool LocaleEntries::Load(const char* path, std::string* error)
{
	mTexts.clear();
	mVersion = mAppID = mLanguage = nullptr;
	const status_t status = LocaleFile::Read(path, &mMessage);
	if (status != B_OK) {
		if (status == B_BAD_DATA || status == B_NOT_A_MESSAGE || status == B_NOT_SUPPORTED)
			*error = "not a locale file (no complete flattened message)";
		else
			*error = b_status_string(status);
		return false;
	}
	mVersion = FindOrNull(mMessage, kLocaleFieldVersion);
	mAppID = FindOrNull(mMessage, kLocaleFieldAppID);
	mLanguage = FindOrNull(mMessage, kLocaleFieldLanguage);

	type_code type = 0;
	int32 count = 0;
	if (mMessage.GetInfo(kLocaleFieldText, &type, &count) != B_OK)
		return true; // a file without texts yet
	if (type != B_STRING_TYPE) {
		*error = "zt:text holds no strings";
		return false;
	}
	mTexts.reserve((size_t)count);
	for (int32 i = 0; i < count; i++) {
		const void* data = nullptr;
		ssize_t size = 0;
		if (mMessage.FindData(kLocaleFieldText, B_STRING_TYPE, i, &data, &size) != B_OK ||
		    size <= 0) {
			*error = "entry " + std::to_string(i + 1) + " cannot be read";
			return false;
		}
		const char* text = (const char*)data;
		mTexts.emplace_back(text, strnlen(text, (size_t)size));
	}
	return true;
}
