#include "FindReplace.h"

#include "Message.h"
#include "TextView.h"

#include "EditorMessages.h"
#include "TextChange.h"
#include "TextFormat.h"
#include "TextSearch.h"
#include "ZTLocale.h"

FindReplace::FindReplace(ZTLocale* locale) : mLocale(locale) {}

void FindReplace::TakeFields(const BMessage* message)
{
	const char* text = nullptr;
	if (message->FindString(kFieldFindText, 0, &text) == B_OK && text != nullptr)
		mFindText = text;
	if (message->FindString(kFieldReplaceText, 0, &text) == B_OK && text != nullptr)
		mReplaceText = text;
}

FindReplace::Step FindReplace::FindNext(BTextView* view, bool forward) const
{
	Step step;
	if (mFindText.empty() || view == nullptr)
		return step;
	int32 start = 0, end = 0;
	view->GetSelection(&start, &end);
	const std::string_view text(view->Text(), (size_t)view->TextLength());
	const size_t found = forward
	                         ? TextSearch::FindForward(text, mFindText, (size_t)end, mMatchCase)
	                         : TextSearch::FindBackward(text, mFindText, (size_t)start, mMatchCase);
	if (found == std::string_view::npos) {
		step.status = _Filled(kTextNotFound, mFindText);
		return step;
	}
	view->Select((int32)found, (int32)(found + mFindText.size()));
	view->ScrollToSelection();
	step.found = true;
	if (TextSearch::TouchesCommentLine(text, found, found + mFindText.size()))
		step.status = _Filled(kTextFoundInComment, mFindText);
	return step;
}

FindReplace::Step FindReplace::ReplaceSelection(BTextView* view) const
{
	if (view == nullptr)
		return Step();
	int32 start = 0, end = 0;
	view->GetSelection(&start, &end);
	const std::string_view text(view->Text(), (size_t)view->TextLength());
	const std::string_view selected = text.substr((size_t)start, (size_t)(end - start));
	if (mFindText.empty() || !TextSearch::Matches(selected, mFindText, mMatchCase))
		return FindNext(view, true);
	if (TextSearch::TouchesCommentLine(text, (size_t)start, (size_t)end)) {
		// Nothing changes; the next match is selected, and the status says
		// why this one stayed.
		Step step = FindNext(view, true);
		step.status = _Text(kTextCommentNotReplaced);
		return step;
	}
	const std::string replacement = TextSearch::ReplacementAt(text, (size_t)start, mReplaceText);
	view->Delete(start, end);
	view->Insert(start, replacement.c_str(), (int32)replacement.size());
	const int32 after = start + (int32)replacement.size();
	view->Select(after, after);
	return FindNext(view, true);
}

FindReplace::Step FindReplace::ReplaceAll(BTextView* view) const
{
	Step step;
	if (mFindText.empty() || view == nullptr)
		return step;
	const std::string_view text(view->Text(), (size_t)view->TextLength());
	const TextSearch::Replaced replaced =
	    TextSearch::ReplaceAll(text, mFindText, mReplaceText, mMatchCase);
	if (replaced.replaced > 0) {
		// One change from the first match to the last, one undo step.
		const TextChange change = SmallestChange(text, replaced.text);
		view->Delete((int32)change.from, (int32)change.to);
		view->Insert((int32)change.from, change.replacement.data(),
		             (int32)change.replacement.size());
	}
	step.found = replaced.replaced > 0 || replaced.inComments > 0;
	const std::string count = std::to_string(replaced.replaced);
	step.status = replaced.inComments == 0
	                  ? FillPlaceholders(_Text(kTextReplacedCount), "%d", {count})
	                  : FillPlaceholders(_Text(kTextReplacedInComments), "%d",
	                                     {count, std::to_string(replaced.inComments)});
	return step;
}

const char* FindReplace::_Text(InterfaceText text) const
{
	const char* translated = mLocale != nullptr ? mLocale->Text(text) : nullptr;
	return translated != nullptr ? translated : "";
}

std::string FindReplace::_Filled(InterfaceText text, const std::string& value) const
{
	return FillPlaceholders(_Text(text), "%s", {value});
}
