#include "ZTLocale.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <Directory.h>
#include <Entry.h>
#include <Message.h>
#include <Path.h>
#include <SafeFile.h>

#include "LocaleFile.h"

namespace {

// The texts of one locale file, unescaped once when the file is selected.
// An entry that is empty in the file stays empty here and falls back to the
// default in Text().
struct Translation
{
	std::string language;
	std::vector<std::string> texts;
};

std::string Unescape(const char* text)
{
	std::string result;
	result.reserve(strlen(text));
	for (const char* p = text; *p != '\0'; p++) {
		if (p[0] == '\\' && p[1] == 'n') {
			result += '\n';
			p++;
		} else if (p[0] == '\\' && p[1] == 't') {
			result += '\t';
			p++;
		} else if (p[0] == '\\' && p[1] == 'r') {
			// The editor shows a carriage return inside a loaded entry so.
			result += '\r';
			p++;
		} else
			result += *p;
	}
	return result;
}

bool MatchesField(const BMessage& message, const char* field, const char* wanted)
{
	const char* value = nullptr;
	if (message.FindString(field, &value) != B_OK || value == nullptr)
		return false;
	return strcmp(value, wanted) == 0;
}

// The regular files of folder (links followed), sorted by name so that the
// choice between two matching files does not depend on the file system's
// order.
std::vector<std::string> ListFiles(const char* folder)
{
	std::vector<std::string> files;
	BDirectory directory(folder);
	BEntry entry;
	while (directory.GetNextEntry(&entry) == B_OK) {
		BPath path(&entry);
		// A save that was cut short leaves a complete copy beside the file:
		// no translation of its own, and reading the file finishes the save.
		if (path.InitCheck() == B_OK && BEntry(path.Path(), true).IsFile() &&
		    !is_safe_save_leftover(path.Leaf()))
			files.push_back(path.Path());
	}
	std::sort(files.begin(), files.end());
	return files;
}

} // namespace

struct ZTLocale::Data
{
	std::mutex lock;
	std::string appID;
	bool hasAppID = false;
	const char** defaults = nullptr;
	long count = 0;
	std::string defaultLanguage;
	bool hasDefaultLanguage = false;

	// The selected translation, and every one selected before it: callers may
	// still hold pointers into those, so they live as long as the instance.
	Translation* current = nullptr;
	std::vector<std::unique_ptr<Translation>> keep;
};

ZTLocale* ZTLocale::GetInstance()
{
	static ZTLocale* instance = new ZTLocale;
	return instance;
}

ZTLocale::ZTLocale() : mData(std::make_unique<Data>()) {}

ZTLocale::~ZTLocale() = default;

void ZTLocale::SetAppID(const char* appID)
{
	std::lock_guard<std::mutex> guard(mData->lock);
	mData->hasAppID = appID != nullptr;
	mData->appID = appID != nullptr ? appID : "";
}

void ZTLocale::SetDefaultText(const char** texts, long count, const char* language)
{
	std::lock_guard<std::mutex> guard(mData->lock);
	if (texts == nullptr || count < 0)
		count = 0;
	mData->defaults = texts;
	mData->count = count;
	mData->hasDefaultLanguage = language != nullptr;
	mData->defaultLanguage = language != nullptr ? language : "";
}

bool ZTLocale::SetLanguage(BPath* folder, const char* language)
{
	std::string appID;
	bool hasAppID;
	{
		std::lock_guard<std::mutex> guard(mData->lock);
		appID = mData->appID;
		hasAppID = mData->hasAppID;
	}

	// Files are read without the lock held: Text() keeps answering from the
	// old selection meanwhile.
	std::unique_ptr<Translation> found;
	if (hasAppID && language != nullptr && folder != nullptr && folder->Path() != nullptr) {
		for (const std::string& file : ListFiles(folder->Path())) {
			BMessage message;
			if (LocaleFile::Read(file.c_str(), &message) != B_OK)
				continue;
			if (!MatchesField(message, kLocaleFieldAppID, appID.c_str()) ||
			    !MatchesField(message, kLocaleFieldLanguage, language))
				continue;
			found = std::make_unique<Translation>();
			found->language = language;
			const char* text = nullptr;
			for (int32 i = 0; message.FindString(kLocaleFieldText, i, &text) == B_OK; i++)
				found->texts.push_back(Unescape(text != nullptr ? text : ""));
			break;
		}
	}

	std::lock_guard<std::mutex> guard(mData->lock);
	if (!found) {
		mData->current = nullptr;
		return false;
	}
	// Switching back and forth must not grow the kept tables: an identical
	// one selected before is taken again.
	for (const std::unique_ptr<Translation>& kept : mData->keep) {
		if (kept->language == found->language && kept->texts == found->texts) {
			mData->current = kept.get();
			return true;
		}
	}
	mData->current = found.get();
	mData->keep.push_back(std::move(found));
	return true;
}

const char* ZTLocale::Text(long index)
{
	std::lock_guard<std::mutex> guard(mData->lock);
	if (index < 0 || index >= mData->count || mData->defaults == nullptr)
		return nullptr;
	const Translation* current = mData->current;
	if (current != nullptr && index < (long)current->texts.size() && !current->texts[index].empty())
		return current->texts[index].c_str();
	return mData->defaults[index];
}

const char* ZTLocale::Language()
{
	std::lock_guard<std::mutex> guard(mData->lock);
	return mData->current != nullptr ? mData->current->language.c_str() : nullptr;
}

const char* ZTLocale::DefaultLanguage()
{
	std::lock_guard<std::mutex> guard(mData->lock);
	return mData->hasDefaultLanguage ? mData->defaultLanguage.c_str() : nullptr;
}

const char* ZTLocale::AppID()
{
	std::lock_guard<std::mutex> guard(mData->lock);
	return mData->hasAppID ? mData->appID.c_str() : nullptr;
}

long ZTLocale::CountTexts()
{
	std::lock_guard<std::mutex> guard(mData->lock);
	return mData->count;
}
