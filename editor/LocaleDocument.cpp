#include "LocaleDocument.h"

#include <utility>

#include "StateDigest.h"

std::string LocaleDocument::HeaderKey(const std::vector<std::string_view>& fields)
{
	// Each field is added with its length, so no two different headers feed
	// the same bytes.
	StateDigest digest;
	for (const std::string_view field : fields)
		digest.Add(field.data(), field.size());
	return digest.Value();
}

std::string LocaleDocument::StateKey(const std::string& headerKey,
                                     const std::vector<std::string>* entries, std::string_view text)
{
	StateDigest digest;
	if (entries != nullptr) {
		const char kEntries = 'e';
		digest.Add(&kEntries, 1);
		for (const std::string& entry : *entries)
			digest.Add(entry.data(), entry.size());
	} else {
		// A text that cannot be saved as it is: judged by its bytes.
		const char kBytes = 'b';
		digest.Add(&kBytes, 1);
		digest.Add(text.data(), text.size());
	}
	mTextKey = digest.Value();
	return headerKey + mTextKey;
}

bool LocaleDocument::KeyWithHeader(const std::string& headerKey, std::string* key) const
{
	if (mTextKey.empty())
		return false;
	*key = headerKey + mTextKey;
	return true;
}

void LocaleDocument::MarkClean(std::string key)
{
	mClean = std::move(key);
	mDiscarded.clear();
}

void LocaleDocument::MarkUnsaved()
{
	// No state a save could write is empty.
	mClean.clear();
	mDiscarded.clear();
}
