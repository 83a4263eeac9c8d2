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
	kTextEntryHasLines, // "%d": the entry's number, then its count of lines
	kTextSaveAs,
	kTextOpen,
	kTextOpenReference,
	kTextOpenRecent,
	kTextDiscard,
	kTextSaveChanges, // the question before unsaved changes are thrown away
	kTextSaved,       // "%s": the path of the saved file
	kTextLoadReferenceTip,
	kTextLoadTranslationTip,
	kTextCannotLoadFile, // "%s": the path of the file
	kTextNotALocaleFile,
	kTextLocaleFiles,
	kTextAllFiles,
	kTextLocaleFile, // the panels' description of the file type
	// The translator's navigation: Find, the Go menu and the status line.
	kTextRedo,
	kTextFind,
	kTextFindNext,
	kTextFindPrevious,
	kTextReplace,
	kTextReplaceAll,
	kTextReplaceWith,
	kTextMatchCase,
	kTextGo,
	kTextNextUntranslated,
	kTextPreviousUntranslated,
	kTextNextWarning,
	kTextPreviousWarning,
	kTextGoToEntry,
	kTextEntryNumber,
	kTextProgressTranslated, // "%d": translated entries, then all entries
	kTextProgressWarnings,   // "%d": the number of warnings
	kTextProgressEntry,      // "%d": the entry at the caret
	kTextProgressEntries,    // "%d": the number of entries in a text without markers
	kTextNotFound,           // "%s": what was searched for
	kTextReplacedCount,      // "%d": how many were replaced
	kTextNoUntranslated,
	kTextNoWarning,
	kTextNoSuchEntry,             // "%s": the entry asked for
	kTextFileTooLarge,            // "%d": the file's size in MiB, then the limit in MiB
	kTextEntriesNotText,          // "%s": the entry numbers, "3, 7"
	kTextAskingApplication,       // "%s": the application asked for a reference
	kTextFalseMarker,             // "%d": the line's number; "%s": the line
	kTextHeaderNotText,           // "%s": the fields' labels, "Version, Language"
	kTextRepairedInterruptedSave, // "%s": the file
	kTextInterruptedSaveCopy,     // "%s": the file, then where its complete copy is
	kTextFoundInComment,          // "%s": what was searched for
	kTextCommentNotReplaced,
	kTextReplacedInComments, // "%d": how many were replaced, then how many left in comments
	kTextNoAnswer,           // "%s": the application asked for a reference
	kTextPrefsUnreadable,
	kTextRestoreFileQuestion,     // "%s": the file, then when the work was last kept
	kTextRestoreUntitledQuestion, // "%s": when the work was last kept
	kTextRestore,
	kTextFileChangedQuestion, // "%s": the file
	kTextReload,
	kTextKeepMine,
	kTextReloaded,          // "%s": the file
	kTextFileDeleted,       // "%s": the file
	kTextOverwriteQuestion, // "%s": the file
	kTextOverwrite,
	kTextFileMissing,
	kTextPermissionDenied,
	kTextIsAFolder,
	kTextBadFileName,
	kTextCannotSaveFile, // "%s": the path of the file

	kInterfaceTextCount
};

#endif // INTERFACE_TEXT_H
