// Find and replace in the locale text: the Edit menu's items, the find
// panel, and the searches, which read the text's bytes in one piece and so
// stay quick in a text of 100,000 entries.

#include "ZTLEWindow.h"

#include <string>

#include "AppDefs.h"
#include "InterfaceDefs.h"
#include "Menu.h"
#include "MenuItem.h"
#include "Message.h"
#include "Messenger.h"
#include "TextView.h"

#include "EditorMessages.h"
#include "StatusLine.h"
#include "TextChange.h"
#include "TextFormat.h"
#include "TextSearch.h"
#include "ZTLEInputWindow.h"
#include "ZTLETextView.h"

void ZTLEWindow::_AddFindItems(BMenu* editMenu)
{
	editMenu->AddSeparatorItem();
	editMenu->AddItem(
	    new BMenuItem(_Label(kTextFind, "...").c_str(), new BMessage(kMsgFindPanel), 'F', 0));
	editMenu->AddItem(new BMenuItem(_Text(kTextFindNext), new BMessage(kMsgFindNext), 'G', 0));
	editMenu->AddItem(
	    new BMenuItem(_Text(kTextFindPrevious), new BMessage(kMsgFindPrevious), 'G', B_SHIFT_KEY));
	BMessage* replace = new BMessage(kMsgFindPanel);
	replace->AddBool(kFieldReplaceText, true);
	editMenu->AddItem(new BMenuItem(_Label(kTextReplace, "...").c_str(), replace));
	editMenu->AddItem(new BMenuItem(_Text(kTextMatchCase), new BMessage(kMsgMatchCase)));
}

void ZTLEWindow::DispatchMessage(BMessage* message, BHandler* handler)
{
	const char* bytes = nullptr;
	int32 key = 0;
	if (message->what == B_KEY_DOWN && message->FindString("bytes", &bytes) == B_OK &&
	    bytes != nullptr && bytes[0] == B_FUNCTION_KEY && message->FindInt32("key", &key) == B_OK &&
	    key == B_F3_KEY) {
		int32 modifiers = 0;
		message->FindInt32("modifiers", &modifiers);
		FindNext((modifiers & B_SHIFT_KEY) == 0);
		return;
	}
	BWindow::DispatchMessage(message, handler);
}

void ZTLEWindow::_ShowFindPanel(bool replace)
{
	if (mFindPanel == nullptr) {
		mFindPanel = new ZTLEInputWindow(
		    _Text(kTextFind), BMessenger(nullptr, this),
		    {{kFieldFindText, _Text(kTextFind)}, {kFieldReplaceText, _Text(kTextReplaceWith)}},
		    {{kMsgReplaceAll, _Text(kTextReplaceAll)},
		     {kMsgReplace, _Text(kTextReplace)},
		     {kMsgFindNext, _Text(kTextFindNext)}});
		mFindPanel->SetFindKeys(kMsgFindNext, kMsgFindPrevious);
	}
	if (mFindPanel->Lock()) {
		if (mFindPanel->IsHidden())
			mFindPanel->Show();
		mFindPanel->Activate(true);
		mFindPanel->FocusField(replace ? kFieldReplaceText : kFieldFindText);
		mFindPanel->Unlock();
	}
}

void ZTLEWindow::_TakeFindFields(BMessage* message)
{
	const char* text = nullptr;
	if (message->FindString(kFieldFindText, 0, &text) == B_OK && text != nullptr)
		mFindText = text;
	if (message->FindString(kFieldReplaceText, 0, &text) == B_OK && text != nullptr)
		mReplaceText = text;
}

bool ZTLEWindow::FindNext(bool forward)
{
	if (mFindText.empty()) {
		_ShowFindPanel(false);
		return false;
	}
	int32 start = 0, end = 0;
	mTextView->GetSelection(&start, &end);
	const std::string_view text(mTextView->Text(), (size_t)mTextView->TextLength());
	const size_t found = forward
	                         ? TextSearch::FindForward(text, mFindText, (size_t)end, mMatchCase)
	                         : TextSearch::FindBackward(text, mFindText, (size_t)start, mMatchCase);
	if (found == std::string_view::npos) {
		mStatusLine->ShowMessage(FillPlaceholders(_Text(kTextNotFound), "%s", {mFindText}));
		return false;
	}
	mTextView->Select((int32)found, (int32)(found + mFindText.size()));
	mTextView->ScrollToSelection();
	// Found anywhere, but a marker or reference line is not the
	// translator's to change: say so before Replace is tried on it.
	const bool inComment = TextSearch::TouchesCommentLine(text, found, found + mFindText.size());
	mStatusLine->ShowMessage(
	    inComment ? FillPlaceholders(_Text(kTextFoundInComment), "%s", {mFindText}) : "");
	return true;
}

void ZTLEWindow::ReplaceSelection()
{
	int32 start = 0, end = 0;
	mTextView->GetSelection(&start, &end);
	const std::string_view text(mTextView->Text(), (size_t)mTextView->TextLength());
	const std::string_view selected = text.substr((size_t)start, (size_t)(end - start));
	if (mFindText.empty() || !TextSearch::Matches(selected, mFindText, mMatchCase)) {
		FindNext(true);
		return;
	}
	if (TextSearch::TouchesCommentLine(text, (size_t)start, (size_t)end)) {
		// Nothing changes; the next match is selected, and the status says
		// why this one stayed.
		FindNext(true);
		mStatusLine->ShowMessage(_Text(kTextCommentNotReplaced));
		return;
	}
	const std::string replacement = TextSearch::ReplacementAt(text, (size_t)start, mReplaceText);
	mTextView->Delete(start, end);
	mTextView->Insert(start, replacement.c_str(), (int32)replacement.size());
	const int32 after = start + (int32)replacement.size();
	mTextView->Select(after, after);
	FindNext(true);
}

void ZTLEWindow::ReplaceAll()
{
	if (mFindText.empty())
		return;
	const std::string_view text(mTextView->Text(), (size_t)mTextView->TextLength());
	const TextSearch::Replaced replaced =
	    TextSearch::ReplaceAll(text, mFindText, mReplaceText, mMatchCase);
	if (replaced.replaced > 0) {
		// One change from the first match to the last, one undo step.
		const TextChange change = SmallestChange(text, replaced.text);
		mTextView->Delete((int32)change.from, (int32)change.to);
		mTextView->Insert((int32)change.from, change.replacement.data(),
		                  (int32)change.replacement.size());
	}
	const std::string count = std::to_string(replaced.replaced);
	mStatusLine->ShowMessage(replaced.inComments == 0
	                             ? FillPlaceholders(_Text(kTextReplacedCount), "%d", {count})
	                             : FillPlaceholders(_Text(kTextReplacedInComments), "%d",
	                                                {count, std::to_string(replaced.inComments)}));
}
