#ifndef EDITOR_MESSAGES_H
#define EDITOR_MESSAGES_H

#include <cstdint>

#include "AppRefPopUp.h"
#include "AppSurvey.h"
#include "Preferences.h"
#include "ReferenceFetcher.h"

// The editor's own message codes, each defined once. The window's dispatch,
// its menus, buttons and panels, and the application object (which forwards
// files opened from outside as kMsgLoadFile) all use these. The reference
// pop-up's kMsgGetReference is defined with the pop-up, in AppRefPopUp.h,
// the fetched reference's kMsgReferenceFetched in ReferenceFetcher.h and the
// survey's kMsgAppsSurveyed in AppSurvey.h.

inline constexpr std::uint32_t kMsgNewFile = 'newd';
inline constexpr std::uint32_t kMsgShowHelp = 'hlps';
inline constexpr std::uint32_t kMsgLoadFilePanel = 'lfip';
inline constexpr std::uint32_t kMsgLoadFile = 'lfil';
inline constexpr std::uint32_t kMsgSaveFilePanel = 'sfip';
inline constexpr std::uint32_t kMsgSaveFile = 'sfil';
inline constexpr std::uint32_t kMsgLoadRefPanel = 'lrep';
inline constexpr std::uint32_t kMsgLoadRefFile = 'lref';
inline constexpr std::uint32_t kMsgLanguage = 'lang';
inline constexpr std::uint32_t kMsgAutoPrefs = 'paut';
inline constexpr std::uint32_t kMsgSavePrefs = 'psav';
// The Go menu, Find and the status line.
inline constexpr std::uint32_t kMsgNextUntranslated = 'gnut';
inline constexpr std::uint32_t kMsgPreviousUntranslated = 'gput';
inline constexpr std::uint32_t kMsgNextWarning = 'gnwr';
inline constexpr std::uint32_t kMsgPreviousWarning = 'gpwr';
inline constexpr std::uint32_t kMsgGoToEntryPanel = 'gtep';
inline constexpr std::uint32_t kMsgGoToEntry = 'gten';
inline constexpr std::uint32_t kMsgFindPanel = 'fpnl';
inline constexpr std::uint32_t kMsgFindNext = 'fnxt';
inline constexpr std::uint32_t kMsgFindPrevious = 'fprv';
inline constexpr std::uint32_t kMsgReplace = 'rplc';
inline constexpr std::uint32_t kMsgReplaceAll = 'rpla';
inline constexpr std::uint32_t kMsgMatchCase = 'mcas';
// The status line's timer.
inline constexpr std::uint32_t kMsgStatusTick = 'stck';
// Sent by the text controls; it only refreshes the unsaved-changes mark.
inline constexpr std::uint32_t kMsgDummy = 'dumy';
// Sent by the header controls on every change of their text: the unsaved
// mark follows at once.
inline constexpr std::uint32_t kMsgHeaderEdited = 'hded';
// Enter in a field of a panel (ZTLEInputWindow): its default button.
inline constexpr std::uint32_t kMsgPanelEnter = 'pent';
// File > Save: to the file last loaded or saved, or through the panel.
inline constexpr std::uint32_t kMsgSaveCurrentFile = 'sfcu';
// The answer to the unsaved-work question ("which": the button; kFieldThen:
// what waits on it).
inline constexpr std::uint32_t kMsgUnsavedAnswer = 'unsa';
// The journal of unsaved work: time for a snapshot (JournalKeeper), look for
// work an editor that is gone left (posted once at start), and the answer to
// the Restore or Discard question.
inline constexpr std::uint32_t kMsgJournalTick = 'jtik';
inline constexpr std::uint32_t kMsgOfferRecovery = 'jofr';
inline constexpr std::uint32_t kMsgRecoveryAnswer = 'jans';
// The open file changed on disk (FileWatch; kFieldFile, kFieldDeleted), and
// the answers to Reload or Keep Mine and to Overwrite or Cancel (kFieldFile,
// kFieldThen).
inline constexpr std::uint32_t kMsgFileChangedOnDisk = 'fchd';
inline constexpr std::uint32_t kMsgReloadAnswer = 'frla';
inline constexpr std::uint32_t kMsgOverwriteAnswer = 'fowa';

// Every code the window handles, for checks that they are distinct.
inline constexpr std::uint32_t kEditorMessageCodes[] = {
    kMsgNewFile,       kMsgShowHelp,        kMsgLoadFilePanel,    kMsgLoadFile,
    kMsgSaveFilePanel, kMsgSaveFile,        kMsgLoadRefPanel,     kMsgLoadRefFile,
    kMsgGetReference,  kMsgLanguage,        kMsgAutoPrefs,        kMsgSavePrefs,
    kMsgDummy,         kMsgSaveCurrentFile, kMsgNextUntranslated, kMsgPreviousUntranslated,
    kMsgNextWarning,   kMsgPreviousWarning, kMsgGoToEntryPanel,   kMsgGoToEntry,
    kMsgFindPanel,     kMsgFindNext,        kMsgFindPrevious,     kMsgReplace,
    kMsgReplaceAll,    kMsgMatchCase,       kMsgStatusTick,       kMsgReferenceFetched,
    kMsgUnsavedAnswer, kMsgAppsSurveyed,    kMsgHeaderEdited,     kMsgPanelEnter,
    kMsgJournalTick,   kMsgOfferRecovery,   kMsgRecoveryAnswer,   kMsgFileChangedOnDisk,
    kMsgReloadAnswer,  kMsgOverwriteAnswer,
};

// Field names of the editor's messages. (kMsgGetReference's "signature" is
// kFieldAppSignature, in AppRefPopUp.h.)
inline constexpr const char kFieldLanguage[] = "language";
inline constexpr const char kFieldThen[] = "then";
inline constexpr const char kFieldFile[] = "file";
inline constexpr const char kFieldDeleted[] = "deleted";
// Of kMsgFindNext, kMsgFindPrevious, kMsgReplace, kMsgReplaceAll (from the
// find panel; from the menu they use the last ones) and kMsgGoToEntry.
inline constexpr const char kFieldFindText[] = "find";
inline constexpr const char kFieldReplaceText[] = "replace";
inline constexpr const char kFieldEntry[] = "entry";
// Of kMsgLoadFile, instead of "refs": a file named on the command line whose
// path makes no entry_ref (its folder is missing), to be said so.
inline constexpr const char kFieldNamedPath[] = "path";

// Names of the window's views that are looked up by name. The reference's
// two controls are named in ReferenceDisplay.h.
inline constexpr const char kVersionControl[] = "txtctrl_version";
inline constexpr const char kLanguageControl[] = "txtctrl_language";
inline constexpr const char kAppRefMenuField[] = "mnu_refget";
inline constexpr const char kStatusViewName[] = "status_line";

// The language of the built-in interface texts: the language menu's first
// item, and the one chosen when no other was stored.
inline constexpr const char kBuiltInLanguage[] = "English";

// Preference keys the window reads and writes; the store's own three
// (kPrefLanguage, kPrefAutoPrefs, kPrefMainWinPos) come with Preferences.h.
inline constexpr const char kPrefLoadPath[] = "loadpath";
inline constexpr const char kPrefFileSavePath[] = "filesavepath";
// The files last opened or saved, newest first: a message of "path" strings.
inline constexpr const char kPrefRecentFiles[] = "recentfiles";

#endif // EDITOR_MESSAGES_H
