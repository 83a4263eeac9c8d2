// The translator's navigation: the status line under the text (progress,
// the entry at the caret and what the checker says of it, the warning marks
// in the text) and the Go menu.
//
// A keystroke only raises a flag: the counts need the whole text, so they
// are taken again on the status timer once the text has rested for a tick,
// and a keystroke in a text of 100,000 entries costs no more than in one of
// ten. The entry at the caret is read from the bytes around it.

#include "ZTLEWindow.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "Font.h"
#include "Menu.h"
#include "MenuItem.h"
#include "MessageRunner.h"
#include "Messenger.h"
#include "TextView.h"

#include "EditorMessages.h"
#include "EntryBlocks.h"
#include "JournalKeeper.h"
#include "StatusLine.h"
#include "TextFormat.h"
#include "ZTLEBkgView.h"
#include "ZTLEInputWindow.h"
#include "ZTLEStatusView.h"
#include "ZTLETextView.h"

namespace {

const bigtime_t kStatusTick = 150000;
// The bytes read on either side of the caret to find its entry; a block
// longer than this is looked up in the whole text.
const int32 kCaretWindow = 16 * 1024;
std::string Number(long value)
{
	return std::to_string(value);
}

} // namespace

BMenu* ZTLEWindow::_BuildGoMenu()
{
	BMenu* goMenu = new BMenu(_Text(kTextGo), B_ITEMS_IN_COLUMN);
	goMenu->AddItem(
	    new BMenuItem(_Text(kTextNextUntranslated), new BMessage(kMsgNextUntranslated), 'J', 0));
	goMenu->AddItem(new BMenuItem(_Text(kTextPreviousUntranslated),
	                              new BMessage(kMsgPreviousUntranslated), 'J', B_SHIFT_KEY));
	goMenu->AddItem(new BMenuItem(_Text(kTextNextWarning), new BMessage(kMsgNextWarning), 'K', 0));
	goMenu->AddItem(new BMenuItem(_Text(kTextPreviousWarning), new BMessage(kMsgPreviousWarning),
	                              'K', B_SHIFT_KEY));
	goMenu->AddSeparatorItem();
	goMenu->AddItem(new BMenuItem(_Label(kTextGoToEntry, "...").c_str(),
	                              new BMessage(kMsgGoToEntryPanel), 'L', 0));
	return goMenu;
}

void ZTLEWindow::_BuildStatusLine(BRect frame)
{
	mStatusView = new ZTLEStatusView(frame, kStatusViewName);
	mBkgView->AddChild(mStatusView);
	BFont font(be_plain_font);
	font.SetSize(11);
	mStatusView->SetFont(&font);
	ZTLEStatusView* view = mStatusView;
	mStatusLine =
	    std::make_unique<StatusLine>([this](InterfaceText text) { return _Text(text); },
	                                 [view](const std::string& text) { view->SetText(text); });
}

void ZTLEWindow::_StartStatusLine()
{
	mTextView->SetChangeHook([this](int32 offset) { _TextChanged(offset); });
	BMessage tick(kMsgStatusTick);
	mStatusRunner = std::make_unique<BMessageRunner>(BMessenger(nullptr, this), &tick, kStatusTick);
	UpdateStatus();
}

void ZTLEWindow::_TextChanged(int32)
{
	mTitleStale = true;
	mDocument.TextChanged();
	mStatusLine->TextEdited();
	if (mJournal != nullptr)
		mJournal->Changed();
}

void ZTLEWindow::_StatusTick()
{
	int32 caret = 0, end = 0;
	mTextView->GetSelection(&caret, &end);
	const StatusLine::Work work = mStatusLine->Tick(caret);
	// The unsaved mark appears at the first tick of typing, but whether
	// typing went back to the saved text is a walk over all of it, made
	// once it rests.
	if (mTitleStale && (work != StatusLine::kTyping || !mShownUnsaved))
		_UpdateTitle();
	switch (work) {
	case StatusLine::kRested:
		_RecountProgress();
		_UpdateCaretEntry(caret);
		break;
	case StatusLine::kTyping:
	case StatusLine::kCaretMoved:
		_UpdateCaretEntry(caret);
		break;
	case StatusLine::kNothing:
		break;
	}
}

void ZTLEWindow::UpdateStatus()
{
	_RecountProgress();
	int32 caret = 0, end = 0;
	mTextView->GetSelection(&caret, &end);
	_UpdateCaretEntry(caret);
}

void ZTLEWindow::_RecountProgress()
{
	const std::string_view text(mTextView->Text(), (size_t)mTextView->TextLength());
	// The warning marks are found in the counting pass, so a large text is
	// walked once; they are put on the text after it.
	WarningRestyle restyle;
	std::sort(mMarkedEntries.begin(), mMarkedEntries.end());
	const EntryBlocks::Progress progress =
	    EntryBlocks::CountProgress(text, [&](const EntryBlocks::Block& block, int32 warnings) {
		    if (std::binary_search(mMarkedEntries.begin(), mMarkedEntries.end(), block.entry))
			    restyle.unmark.emplace_back((int32)block.marker, (int32)block.end);
		    if (warnings > 0 && block.hasTranslationLine) {
			    const int32 start = (int32)(block.translation.data() - text.data());
			    restyle.mark.emplace_back(start, start + (int32)block.translation.size());
			    restyle.marked.push_back(block.entry);
		    }
	    });
	mStatusLine->Counted(progress);
	_RestyleWarnings(restyle);
}

void ZTLEWindow::_RestyleWarnings(WarningRestyle& restyle)
{
	// The translation line of each block with a warning is underlined, which
	// leaves the colours of the comments alone. Marks of blocks that no
	// longer warn are taken off the whole block, wherever typing carried
	// them.
	BFont marked, plain;
	mTextView->GetFont(&plain);
	marked = plain;
	marked.SetFace(B_UNDERSCORE_FACE);
	plain.SetFace(B_REGULAR_FACE);
	for (const auto& [from, to] : restyle.unmark)
		mTextView->SetFontAndColor(from, to, &plain, B_FONT_FACE);
	for (const auto& [from, to] : restyle.mark)
		mTextView->SetFontAndColor(from, to, &marked, B_FONT_FACE);
	mMarkedEntries = std::move(restyle.marked);
}

void ZTLEWindow::_UpdateCaretEntry(int32 at)
{
	const int32 length = mTextView->TextLength();
	const int32 caret = std::clamp<int32>(at, 0, length);
	const int32 from = std::max<int32>(0, caret - kCaretWindow);
	const int32 to = std::min<int32>(length, caret + kCaretWindow);
	std::string bytes((size_t)(to - from) + 1, '\0');
	mTextView->GetText(from, to - from, bytes.data());
	bytes.resize((size_t)(to - from));

	EntryBlocks::Block block;
	bool found = EntryBlocks::BlockAt(bytes, (size_t)(caret - from), &block);
	// Cut off by the window: ask the whole text.
	std::string_view text = bytes;
	if ((!found && from > 0) || (found && block.end == bytes.size() && to < length)) {
		text = std::string_view(mTextView->Text(), (size_t)length);
		found = EntryBlocks::BlockAt(text, (size_t)caret, &block);
	}
	if (!found) {
		mStatusLine->EntryAt(at, 0, "");
		return;
	}
	std::vector<TranslationFinding> findings;
	EntryBlocks::CheckBlock(block, &findings);
	std::string warnings;
	for (const TranslationFinding& finding : findings) {
		if (!finding.IsWarning())
			continue;
		if (!warnings.empty())
			warnings += "; ";
		warnings += finding.message;
	}
	mStatusLine->EntryAt(at, block.entry, warnings);
}

void ZTLEWindow::_PutCaret(int32 offset)
{
	mTextView->Select(offset, offset);
	mTextView->ScrollToSelection();
	mTextView->MakeFocus(true);
	mStatusLine->CaretPut();
}

namespace {

// The block after (or before) the one at the view's caret that satisfies
// wanted, round the text; false when none does.
template <typename Wanted>
bool FindBlock(const BTextView* view, bool forward, Wanted wanted, EntryBlocks::Block* result)
{
	int32 start = 0, end = 0;
	view->GetSelection(&start, &end);
	const size_t caret = (size_t)start;
	const std::string_view text(view->Text(), (size_t)view->TextLength());
	EntryBlocks::Block here;
	const bool inBlock = EntryBlocks::BlockAt(text, caret, &here);
	bool haveFirst = false, haveAfter = false, haveBefore = false;
	EntryBlocks::Block first, after, before, last;
	EntryBlocks::ForEachBlock(text, [&](const EntryBlocks::Block& block) {
		if (!wanted(block))
			return;
		if (!haveFirst) {
			first = block;
			haveFirst = true;
		}
		last = block;
		const bool isAfter = inBlock ? block.marker > here.marker : block.marker >= caret;
		const bool isBefore = inBlock ? block.marker < here.marker : block.marker < caret;
		if (isAfter && !haveAfter) {
			after = block;
			haveAfter = true;
		}
		if (isBefore) {
			before = block;
			haveBefore = true;
		}
	});
	if (!haveFirst)
		return false;
	if (forward)
		*result = haveAfter ? after : first;
	else
		*result = haveBefore ? before : last;
	return true;
}

} // namespace

bool ZTLEWindow::GoToUntranslated(bool forward)
{
	EntryBlocks::Block block;
	if (!FindBlock(
	        mTextView, forward, [](const EntryBlocks::Block& b) { return b.IsUntranslated(); },
	        &block)) {
		mStatusLine->ShowMessage(_Text(kTextNoUntranslated));
		return false;
	}
	if (block.translationLine != std::string_view::npos) {
		_PutCaret((int32)block.translationLine);
		return true;
	}
	// No line for the translation yet: one is made under the reference.
	int32 at = (int32)block.afterReference;
	const int32 length = mTextView->TextLength();
	if (at == length && (length == 0 || mTextView->Text()[length - 1] != '\n')) {
		mTextView->Insert(at, "\n", 1);
		at++;
	} else {
		mTextView->Insert(at, "\n", 1);
	}
	_PutCaret(at);
	return true;
}

bool ZTLEWindow::GoToWarning(bool forward)
{
	EntryBlocks::Block block;
	if (!FindBlock(
	        mTextView, forward,
	        [](const EntryBlocks::Block& b) {
		        return b.hasTranslationLine && EntryBlocks::CountWarnings(b) > 0;
	        },
	        &block)) {
		mStatusLine->ShowMessage(_Text(kTextNoWarning));
		return false;
	}
	_PutCaret((int32)(block.translation.data() - mTextView->Text()));
	return true;
}

bool ZTLEWindow::GoToEntry(long entry)
{
	const std::string_view text(mTextView->Text(), (size_t)mTextView->TextLength());
	bool found = false;
	size_t at = 0;
	EntryBlocks::ForEachBlock(text, [&](const EntryBlocks::Block& block) {
		if (found || block.entry != entry)
			return;
		found = true;
		at = block.translationLine != std::string_view::npos ? block.translationLine
		                                                     : block.afterReference;
	});
	if (!found) {
		mStatusLine->ShowMessage(FillPlaceholders(_Text(kTextNoSuchEntry), "%s", {Number(entry)}));
		return false;
	}
	_PutCaret((int32)at);
	return true;
}

void ZTLEWindow::_ShowGoToEntryPanel()
{
	if (mEntryPanel == nullptr) {
		mEntryPanel = new ZTLEInputWindow(_Text(kTextGoToEntry), BMessenger(nullptr, this),
		                                  {{kFieldEntry, _Text(kTextEntryNumber)}},
		                                  {{kMsgGoToEntry, _Text(kTextGo)}});
		// F3 goes on with the last search from here as well.
		mEntryPanel->SetFindKeys(kMsgFindNext, kMsgFindPrevious);
	}
	if (mEntryPanel->Lock()) {
		if (mEntryPanel->IsHidden())
			mEntryPanel->Show();
		mEntryPanel->Activate(true);
		mEntryPanel->FocusField(kFieldEntry);
		mEntryPanel->Unlock();
	}
}
