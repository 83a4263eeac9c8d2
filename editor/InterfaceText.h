#ifndef INTERFACE_TEXT_H
#define INTERFACE_TEXT_H

#include <SupportDefs.h>

// The editor's interface texts by name: the index of each in the English
// table (app/InterfaceTexts.cpp), in the locale files (entry index + 1) and
// in the library's ZTLocale::Text(index). Indexes are fixed once given out:
// locale files made for an older table must keep working, so a new text is
// appended before kInterfaceTextCount, with its English text at the end of
// the table and its translations at the end of each locale-src/ file.
enum InterfaceText : int32 {
	kTextOk = 0,
	kTextCancel,
	kTextContinue,
	kTextYes,
	kTextNo,
	kTextAll,
	kTextClear,
	kTextSelectAll,
	kTextClearAll,
	kTextFile,
	kTextAbout,
	kTextHelp,
	kTextLoad,
	kTextSelection,
	kTextQuit,
	kTextPreferences,
	kTextAutoprefs,
	kTextSave,
	kTextLanguage,
	kTextReference,
	kTextApplicationID,
	kTextVersion,
	kTextHelpFileMissing, // "%s": the path of the help file
	kTextEdit,
	kTextUndo,
	kTextCut,
	kTextCopy,
	kTextPaste,
	kTextMime,
	kTextNew,
	kTextLanguageOnRestart,
	kTextNoVersion,
	kTextNoAppID,
	kTextNoLanguage,
	kTextGet,
	kTextNoTextToSave,
	kTextFont,
	kTextSize,
	// From here on, texts the editor gained after the first 38.
	kTextEntryHasLines,  // "%d": the entry's number, then its count of lines
	kTextFileTooLarge,   // "%d": the file's size in MiB, then the limit in MiB
	kTextEntriesNotText, // "%s": the entry numbers, "3, 7"

	kInterfaceTextCount
};

#endif // INTERFACE_TEXT_H
