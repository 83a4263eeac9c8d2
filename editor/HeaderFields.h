#ifndef HEADER_FIELDS_H
#define HEADER_FIELDS_H

#include "EditorMessages.h"
#include "InterfaceText.h"
#include "LocaleFile.h"
#include "ReferenceDisplay.h"

// The three header controls of the window and what each stands for; every
// command that walks them (save, load, New, the input check, the unsaved
// work digest) walks this table.
struct HeaderField
{
	const char* control;
	// The field of the locale message it fills and is filled from.
	const char* const* field;
	// The alert shown when it is empty at saving.
	InterfaceText emptyText;
	// What a window without the control saves.
	const char* fallback;
	// The field's label, to name it in messages.
	InterfaceText label;
	// Where the input check before the save panel asks for it (0 first):
	// the language comes first there, while saving and loading go in the
	// order of the file's fields.
	int checkRank;
};

// In the order of the locale file's fields: saving checks and loading fills
// them in this order.
inline constexpr HeaderField kHeaderFields[] = {
    {kVersionControl, &kLocaleFieldVersion, kTextNoVersion, "01.00", kTextVersion, 1},
    {kAppIDControl, &kLocaleFieldAppID, kTextNoAppID, "---", kTextApplicationID, 2},
    {kLanguageControl, &kLocaleFieldLanguage, kTextNoLanguage, "---", kTextLanguage, 0},
};

#endif // HEADER_FIELDS_H
