// Find and replace in the locale text: what the find panel and the Edit menu
// search for and replace with, and the searches themselves. The window owns
// one, keeps the panel and shows in the status line what each step says.
// The text is read in one piece, so a search stays quick in a text of
// 100,000 entries.
#ifndef FIND_REPLACE_H
#define FIND_REPLACE_H

#include <string>

#include "InterfaceText.h"

class BMessage;
class BTextView;
class ZTLocale;

class FindReplace
{
public:
	// The status texts come from locale, in the interface language.
	explicit FindReplace(ZTLocale* locale);

	// Takes the panel's fields the message holds.
	void TakeFields(const BMessage* message);
	bool HasText() const { return !mFindText.empty(); }
	bool MatchCase() const { return mMatchCase; }
	void ToggleMatchCase() { mMatchCase = !mMatchCase; }

	// What one step did, and what the status line says of it ("" clears a
	// message).
	struct Step
	{
		bool found = false;
		std::string status;
	};

	// Selects the next (or previous) match in view, round the text at
	// either end. Found anywhere, but a match in a marker or reference line
	// is said to be the window's, not the translator's, to change.
	Step FindNext(BTextView* view, bool forward) const;
	// Replaces the selection when it is a match on a translation line, then
	// selects the next match; a match in a comment line stays as it is.
	Step ReplaceSelection(BTextView* view) const;
	// Replaces every match on translation lines as one change (one undo
	// step); the status says how many, and how many comment lines kept theirs.
	Step ReplaceAll(BTextView* view) const;

private:
	const char* _Text(InterfaceText text) const;
	std::string _Filled(InterfaceText text, const std::string& value) const;

	ZTLocale* mLocale;
	std::string mFindText;
	std::string mReplaceText;
	bool mMatchCase = false;
};

#endif // FIND_REPLACE_H
