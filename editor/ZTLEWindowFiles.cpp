// Saving and loading locale files, and the checks before saving.

#include "ZTLEWindow.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "Application.h"
#include "Entry.h"
#include "File.h"
#include "Message.h"
#include "Node.h"
#include "NodeInfo.h"
#include "Path.h"
#include "SafeFile.h"
#include "TextControl.h"
#include "TypeConstants.h"

#include "EditableEntries.h"
#include "EditorMessages.h"
#include "FileWatch.h"
#include "HeaderFields.h"
#include "LocaleFile.h"
#include "LocaleMerge.h"
#include "Preferences.h"
#include "ReferenceDisplay.h"
#include "TextChange.h"
#include "TextEscapes.h"
#include "TextFormat.h"
#include "ZTLETextView.h"
#include "ZTLocale.h"

namespace {

// Why a file could not be reached, in the interface language.
InterfaceText ReasonText(status_t status)
{
	switch (status) {
	case B_ENTRY_NOT_FOUND:
	case B_FILE_NOT_FOUND:
		return kTextFileMissing;
	case B_PERMISSION_DENIED:
	case B_NOT_ALLOWED:
		return kTextPermissionDenied;
	case B_IS_A_DIRECTORY:
		return kTextIsAFolder;
	case B_NO_INIT:
	case B_BAD_VALUE:
		return kTextBadFileName;
	default:
		return kTextNotALocaleFile;
	}
}

} // namespace

bool ZTLEWindow::CheckInputFields()
{
	if (!_CheckFieldsAndLength())
		return false;
	// A text that cannot be saved is reported before a file name is asked.
	std::vector<std::string> entries;
	return _EntriesToSave(&entries);
}

bool ZTLEWindow::_CheckFieldsAndLength()
{
	for (int rank = 0; rank < (int)std::size(kHeaderFields); rank++) {
		for (const HeaderField& header : kHeaderFields) {
			if (header.checkRank != rank)
				continue;
			BTextControl* control = _TextControl(header.control);
			if (control != nullptr && (control->Text() == nullptr || control->Text()[0] == '\0')) {
				_FieldAlert(header.emptyText, control);
				return false;
			}
		}
	}
	if (mTextView != nullptr && mTextView->TextLength() < 2) {
		_FieldAlert(kTextNoTextToSave, mTextView);
		return false;
	}
	return true;
}

bool ZTLEWindow::_EntriesToSave(std::vector<std::string>* entries)
{
	entries->clear();
	if (mTextView == nullptr || mTextView->Text() == nullptr) {
		mCollectedKey = _StateKey(nullptr);
		return true;
	}
	const std::string_view edited(mTextView->Text(), mTextView->TextLength());
	LocaleMerge::SaveRefusal refusal;
	if (LocaleMerge::EntriesForSaving(edited, entries, &refusal)) {
		mCollectedKey = _StateKey(entries);
		return true;
	}
	std::string text;
	if (refusal.kind == LocaleMerge::SaveRefusal::kFalseMarker) {
		const long line =
		    1 + (long)std::count(edited.begin(), edited.begin() + (long)refusal.offset, '\n');
		text = FillPlaceholders(
		    FillPlaceholders(_Text(kTextFalseMarker), "%d", {std::to_string(line)}).c_str(), "%s",
		    {std::string(refusal.line)});
	} else {
		text = FillPlaceholders(_Text(kTextEntryHasLines), "%d",
		                        {std::to_string(refusal.entry), std::to_string(refusal.lines)});
	}
	mTextView->Select((int32)refusal.offset, (int32)refusal.offset);
	mTextView->ScrollToSelection();
	_FieldAlert(text.c_str(), mTextView);
	return false;
}

bool ZTLEWindow::_BuildLocaleMessage(BMessage* locale, std::string* language, bool* hasLanguage)
{
	// The header's values by field; a window without a control saves the
	// field's fallback.
	std::vector<std::pair<const char* const*, std::string>> values;
	*hasLanguage = false;
	for (const HeaderField& header : kHeaderFields) {
		BTextControl* control = _TextControl(header.control);
		if (control == nullptr) {
			values.emplace_back(header.field, header.fallback);
			continue;
		}
		const char* text = control->Text();
		if (text == nullptr || text[0] == '\0') {
			_FieldAlert(header.emptyText, control);
			return false;
		}
		// What the field shows as "\xNN" goes back as the byte it stands for.
		values.emplace_back(header.field, UnescapeBytes(text));
		if (header.field == &kLocaleFieldLanguage)
			*hasLanguage = true;
	}
	auto valueOf = [&values](const char* const* field) {
		for (const auto& value : values) {
			if (value.first == field)
				return value.second.c_str();
		}
		return "";
	};
	*language = valueOf(&kLocaleFieldLanguage);

	std::vector<std::string> entries;
	if (!_EntriesToSave(&entries))
		return false;
	std::vector<const char*> texts;
	texts.reserve(entries.size());
	for (const std::string& entry : entries)
		texts.push_back(entry.c_str());
	LocaleFile::Build(locale, valueOf(&kLocaleFieldVersion), valueOf(&kLocaleFieldAppID),
	                  valueOf(&kLocaleFieldLanguage), texts.data(), (long)texts.size());
	return true;
}

status_t ZTLEWindow::FileSave(BFile* file)
{
	BMessage locale;
	std::string language;
	bool hasLanguage = false;
	if (file == nullptr)
		return B_BAD_VALUE;
	if (!_BuildLocaleMessage(&locale, &language, &hasLanguage))
		return B_CANCELED;
	return LocaleFile::WriteInto(file, locale, hasLanguage ? language.c_str() : nullptr);
}

status_t ZTLEWindow::FileSaveTo(const entry_ref& directory, const char* name)
{
	BPath path(&directory);
	std::string shownPath = path.Path() != nullptr ? path.Path() : "";
	status_t status = path.InitCheck();
	// The name is a leaf: a '/' would put the file somewhere else.
	if (status == B_OK && (name == nullptr || name[0] == '\0' || strchr(name, '/') != nullptr))
		status = B_BAD_VALUE;
	if (status == B_OK)
		status = path.Append(name);
	if (name != nullptr)
		shownPath += std::string("/") + name;
	std::string reason;
	if (status == B_OK) {
		shownPath = path.Path();
		BMessage locale;
		std::string language;
		bool hasLanguage = false;
		if (!_BuildLocaleMessage(&locale, &language, &hasLanguage))
			return B_CANCELED;
		status = LocaleFile::Write(path.Path(), locale, hasLanguage ? language.c_str() : nullptr,
		                           &reason);
	} else
		reason = _Text(ReasonText(status));
	if (status != B_OK)
		mAlerts.Warn(FillPlaceholders(_Text(kTextCannotSaveFile), "%s", {shownPath}) + "\n\n" +
		             reason);
	return status;
}

status_t ZTLEWindow::FileLoad(BFile* file)
{
	BMessage locale;
	status_t status = file != nullptr ? LocaleFile::Read(file, &locale) : B_BAD_VALUE;
	// A file that is not a locale file changes nothing the user has.
	if (status != B_OK)
		return status;

	// A field is one line of text: a line feed or bytes that are not UTF-8
	// are shown as "\xNN", which the save turns back, and said once.
	std::string notShown;
	for (const HeaderField& header : kHeaderFields) {
		BTextControl* control = _TextControl(header.control);
		if (control == nullptr)
			continue;
		control->SetText(" ");
		const void* data = nullptr;
		ssize_t size = 0;
		if (locale.FindData(*header.field, B_STRING_TYPE, 0, &data, &size) != B_OK || size < 1)
			continue;
		std::string shown;
		if (EscapeBytes(std::string_view((const char*)data, (size_t)size - 1), false, &shown))
			notShown += (notShown.empty() ? "" : ", ") + std::string(_Text(header.label));
		control->SetText(shown.c_str());
	}

	if (mTextView == nullptr)
		return B_OK;
	// Each entry one line, whatever bytes it holds, so that the numbering
	// holds on the next save; what cannot be shown as it is gets said.
	EditableEntries editable;
	editable.Take(locale);
	mLoadNotice.clear();
	if (!editable.NotText().empty())
		mLoadNotice = FillPlaceholders(_Text(kTextEntriesNotText), "%s", {editable.NotTextList()});
	if (!notShown.empty()) {
		mLoadNotice += (mLoadNotice.empty() ? "" : "\n\n") +
		               FillPlaceholders(_Text(kTextHeaderNotText), "%s", {notShown});
	}
	std::vector<std::string_view> entries(editable.Texts().begin(), editable.Texts().end());
	std::string_view before(mTextView->Text() != nullptr ? mTextView->Text() : "",
	                        mTextView->TextLength());
	std::string after = LocaleMerge::MergeEntries(before, entries);
	// One deletion and one insertion at most, both through the view's hooks
	// so the changed lines are coloured.
	TextChange change = SmallestChange(before, after);
	if (change.to > change.from)
		mTextView->Delete((int32)change.from, (int32)change.to);
	if (!change.replacement.empty())
		mTextView->Insert((int32)change.from, change.replacement.data(),
		                  (int32)change.replacement.size());
	return B_OK;
}

bool ZTLEWindow::_LoadFileMessage(BMessage* message, bool asReference)
{
	entry_ref ref;
	if (message->FindRef("refs", 0, &ref) != B_OK) {
		// A file named by a path that makes no ref: its folder is missing.
		const char* named = nullptr;
		if (!asReference && message->FindString(kFieldNamedPath, 0, &named) == B_OK &&
		    named != nullptr) {
			mAlerts.Warn(FillPlaceholders(_Text(kTextCannotLoadFile), "%s", {named}) + "\n\n" +
			             _Text(kTextFileMissing));
		}
		return false;
	}
	BPath path(&ref);
	const char* fullPath = path.Path() != nullptr ? path.Path() : "";
	// A save cut short in the middle of writing the file in place is
	// finished before anything reads it; the user hears of it.
	interrupted_write_report repair;
	repair_interrupted_write(fullPath, &repair);
	std::string repairNotice;
	if (repair.outcome == B_WRITE_REPAIRED)
		repairNotice = FillPlaceholders(_Text(kTextRepairedInterruptedSave), "%s", {fullPath});
	else if (repair.outcome == B_WRITE_COPY_KEPT)
		repairNotice =
		    FillPlaceholders(_Text(kTextInterruptedSaveCopy), "%s", {fullPath, repair.copy});
	if (!repairNotice.empty()) {
		mAlerts.Warn(repairNotice);
		_ShowStatus(repairNotice.c_str());
	}
	BFile file(&ref, B_READ_ONLY);

	if (asReference) {
		ReferenceLoadFile(&file);
		if (mPrefs != nullptr)
			mPrefs->Set(kPrefLoadPath, fullPath);
		return true;
	}

	status_t status = file.InitCheck();
	const bool opened = status == B_OK;
	if (opened)
		status = FileLoad(&file);
	if (status != B_OK) {
		// A file that opened but does not load is no locale file, whatever
		// code its bytes gave (an empty file, text, a broken body): that is
		// said in the interface language, as are the reasons a file does not
		// open.
		std::string reason = _Text(opened ? kTextNotALocaleFile : ReasonText(status));
		off_t size = 0;
		if (status == B_FILE_TOO_LARGE && file.GetSize(&size) == B_OK) {
			const off_t kMiB = 1024 * 1024;
			reason = FillPlaceholders(_Text(kTextFileTooLarge), "%d",
			                          {std::to_string((size + kMiB - 1) / kMiB),
			                           std::to_string(kLocaleFileMaxSize / kMiB)});
		}
		mAlerts.Warn(FillPlaceholders(_Text(kTextCannotLoadFile), "%s", {fullPath}) + "\n\n" +
		             reason);
		return false;
	}
	if (mPrefs != nullptr)
		mPrefs->Set(kPrefLoadPath, fullPath);
	mDocument.SetFile(fullPath);
	mFileWatch->Watch(fullPath);
	_AddRecentFile(fullPath);
	_MarkClean();
	if (!mLoadNotice.empty()) {
		mAlerts.Warn(mLoadNotice, B_INFO_ALERT);
		_ShowStatus(mLoadNotice.c_str());
	}
	return true;
}

void ZTLEWindow::_SaveFileMessage(BMessage* message)
{
	entry_ref directory;
	const char* name = nullptr;
	// What waited on this save goes on only if it went through.
	const AfterSave then = mAfterSave;
	mAfterSave = kAfterSaveNothing;
	if (message->FindRef("directory", 0, &directory) != B_OK ||
	    message->FindString("name", 0, &name) != B_OK)
		return;
	BPath target(&directory);
	if (target.Append(name) == B_OK && !_ConfirmOverwrite(target.Path(), then))
		return;
	if (FileSaveTo(directory, name) != B_OK)
		return;
	BPath path(&directory);
	path.Append(name);
	_DidSave(path.Path());
	_GoOn(then);
}

void ZTLEWindow::_FieldAlert(InterfaceText text, BView* focus)
{
	_FieldAlert(_Text(text), focus);
}

void ZTLEWindow::_FieldAlert(const char* text, BView* focus)
{
	// The field takes the focus now; the window has it back when the alert
	// closes.
	if (focus != nullptr)
		focus->MakeFocus(true);
	mAlerts.Warn(text, B_INFO_ALERT);
}
