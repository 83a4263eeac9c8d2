#ifndef LOCALE_FILE_FILTER_H
#define LOCALE_FILE_FILTER_H

#include "FilePanel.h"

// Lists the locale files of a folder in the open panel: a file typed as a
// locale file (by its type attribute or, where the attribute was lost, by
// its content) or named with the ".locale" extension. Folders are always
// listed so the user can move about.
class LocaleFileFilter : public BRefFilter
{
public:
	bool Filter(const entry_ref* ref, BNode* node, struct stat* st, const char* mimeType) override;
};

#endif // LOCALE_FILE_FILTER_H
