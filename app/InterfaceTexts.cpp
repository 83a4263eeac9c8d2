#include "InterfaceTexts.h"

#include <iterator>

#include "EditorMessages.h"

const char* const kInterfaceTextLanguage = kBuiltInLanguage;

// In InterfaceText order; a new text goes at the end.
const char* mText[] = {
    "Ok",
    "Cancel",
    "Continue",
    "Yes",
    "No",
    "All",
    "Clear",
    "Select All",
    "Clear All",
    "File",
    "About",
    "Help",
    "Load",
    "Selection",
    "Quit",
    "Preferences",
    "Autoprefs",
    "Save",
    "Language",
    "Reference",
    "Application ID",
    "Version",
    "Can't load help file '%s'!",
    "Edit",
    "Undo",
    "Cut",
    "Copy",
    "Paste",
    "MIME",
    "New",
    "The selected language will be used correct if you restart the application!",
    "ERROR: There is no version defined at the version input field!",
    "ERROR: There is no application id defined!\n\nPlease insert an application id at the "
    "application input field. The ID is used to identfy uniquely the locale file by the "
    "application that is loading the file.",
    "ERROR: There is no language name defined! Please set a language name.",
    "Get",
    "ERROR: There is no text to save!",
    "Font",
    "Size",
    "Entry #%d has %d lines. An entry is one line; write \\n for a line break.",
    "It is too large (%d MiB; the limit is %d MiB).",
    "Entries %s contain bytes that cannot be edited as text; saving will change them.",
};

static_assert(std::size(mText) == kInterfaceTextCount,
              "one English text for every InterfaceText, in its order");
