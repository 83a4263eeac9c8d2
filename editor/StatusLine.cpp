#include "StatusLine.h"

#include <utility>

#include "TextFormat.h"

namespace {

const char kSeparator[] = " \xc2\xb7 ";

std::string Number(long value)
{
	return std::to_string(value);
}

} // namespace

StatusLine::StatusLine(Texts texts, Display display)
    : mTexts(std::move(texts)), mDisplay(std::move(display))
{
}

void StatusLine::TextEdited()
{
	mEditedSinceTick = true;
	mCountsStale = true;
	// Once per keystroke: nothing else to do unless a message gives way.
	if (mMessage.empty())
		return;
	mMessage.clear();
	_Show();
}

StatusLine::Work StatusLine::Tick(int32 caret)
{
	if (!mMessage.empty()) {
		if (mMessageCaret < 0)
			mMessageCaret = caret;
		else if (caret != mMessageCaret)
			mMessage.clear();
	}
	Work work = kNothing;
	if (mEditedSinceTick)
		work = kTyping;
	else if (mCountsStale)
		work = kRested;
	else if (caret != mLastCaret)
		work = kCaretMoved;
	// Typing is taken in at this tick; the counts wait until it rests.
	mEditedSinceTick = false;
	mLastCaret = caret;
	_Show();
	return work;
}

void StatusLine::CaretPut()
{
	mLastCaret = -1;
}

void StatusLine::Counted(const EntryBlocks::Progress& progress)
{
	mProgress = progress;
	mCountsStale = false;
	mEditedSinceTick = false;
	_Show();
}

void StatusLine::EntryAt(int32 caret, long entry, const std::string& warnings)
{
	mLastCaret = caret;
	mCaretEntry = entry;
	mCaretWarnings = warnings;
	_Show();
}

void StatusLine::ShowMessage(const std::string& text)
{
	mMessage = text;
	mMessageCaret = -1;
	_Show();
}

void StatusLine::ActivityStarted(const std::string& text)
{
	mActivity = text;
	_Show();
}

void StatusLine::ActivityEnded()
{
	mActivity.clear();
	_Show();
}

std::string StatusLine::_Progress() const
{
	const TranslationCounts& counts = mProgress.counts;
	if (!mProgress.markers)
		return FillPlaceholders(mTexts(kTextProgressEntries), "%d", {Number(counts.entries)});
	std::string text = FillPlaceholders(mTexts(kTextProgressTranslated), "%d",
	                                    {Number(counts.translated), Number(counts.entries)});
	text += kSeparator;
	text += FillPlaceholders(mTexts(kTextProgressWarnings), "%d", {Number(counts.warnings)});
	if (mCaretEntry > 0) {
		text += kSeparator;
		text += FillPlaceholders(mTexts(kTextProgressEntry), "%d", {Number(mCaretEntry)});
		if (!mCaretWarnings.empty())
			text += ": " + mCaretWarnings;
	}
	return text;
}

void StatusLine::_Show()
{
	std::string shown = !mActivity.empty() ? mActivity : !mMessage.empty() ? mMessage : _Progress();
	if (shown == mShown)
		return;
	mShown = std::move(shown);
	if (mDisplay)
		mDisplay(mShown);
}
