#include "LocaleFileFilter.h"

#include <sys/stat.h>

#include <cstring>
#include <string_view>

#include "Entry.h"

#include "LocaleFile.h"

namespace {

const std::string_view kLocaleExtension = ".locale";

} // namespace

bool LocaleFileFilter::Filter(const entry_ref* ref, BNode*, struct stat* st, const char* mimeType)
{
	if (st != nullptr && S_ISDIR(st->st_mode))
		return true;
	if (mimeType != nullptr && strcmp(mimeType, kLocaleMimeType) == 0)
		return true;
	if (ref == nullptr || ref->name == nullptr)
		return false;
	const std::string_view name(ref->name);
	return name.size() > kLocaleExtension.size() &&
	       name.substr(name.size() - kLocaleExtension.size()) == kLocaleExtension;
}
