// Find and replace in the locale text: the Edit menu's items, the find
// panel and F3; the searches are FindReplace's.

#include "ZTLEWindow.h"

#include <string>

#include "AppDefs.h"
#include "InterfaceDefs.h"
#include "Menu.h"
#include "MenuItem.h"
#include "Message.h"
#include "Messenger.h"

#include "EditorMessages.h"
#include "StatusLine.h"
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

bool ZTLEWindow::FindNext(bool forward)
{
	if (!mFind.HasText()) {
		_ShowFindPanel(false);
		return false;
	}
	const FindReplace::Step step = mFind.FindNext(mTextView, forward);
	mStatusLine->ShowMessage(step.status);
	return step.found;
}

void ZTLEWindow::ReplaceSelection()
{
	if (!mFind.HasText()) {
		_ShowFindPanel(false);
		return;
	}
	mStatusLine->ShowMessage(mFind.ReplaceSelection(mTextView).status);
}

void ZTLEWindow::ReplaceAll()
{
	if (!mFind.HasText())
		return;
	mStatusLine->ShowMessage(mFind.ReplaceAll(mTextView).status);
}
