// What the status line under the locale text shows, and what gives way to
// what. The window feeds it what happens (the text edited, the status
// timer's tick with the caret, the counts and the caret's entry it read, a
// message, an application being asked) and it hands the line's text to its
// display whenever that changes. It reads no text itself: a tick says what
// the window should read, so a keystroke in a large text costs no walk.
#ifndef STATUS_LINE_H
#define STATUS_LINE_H

#include <functional>
#include <string>

#include "SupportDefs.h"

#include "EntryBlocks.h"
#include "InterfaceText.h"

class StatusLine
{
public:
	typedef std::function<const char*(InterfaceText)> Texts;
	typedef std::function<void(const std::string&)> Display;

	StatusLine(Texts texts, Display display);

	// What a tick asks the window to read from the text.
	enum Work {
		kNothing,    // nothing changed since the last tick
		kTyping,     // edited since the last tick: the entry at the caret now,
		             // the counts once the text rests
		kRested,     // edited before the last tick, not since: count again,
		             // then the entry at the caret
		kCaretMoved, // the entry at the caret
	};

	// The text changed: a message gives way to the progress.
	void TextEdited();
	// The status timer's tick, with where the caret is now. The first place
	// told after a message is where the message was given (a find moves the
	// caret and speaks at once); leaving it ends the message.
	Work Tick(int32 caret);
	// The window put the caret somewhere: the next tick reads the entry there.
	void CaretPut();
	// What the window read: the text's counts (which takes in every edit so
	// far), and the entry at caret with what the checker warns of it ("" for
	// nothing; entry 0 for none).
	void Counted(const EntryBlocks::Progress& progress);
	void EntryAt(int32 caret, long entry, const std::string& warnings);

	// Shown instead of the progress until the next edit, the next move of
	// the caret or the next message; an empty text ends the message now.
	void ShowMessage(const std::string& text);
	// What the window waits for ("Asking ..."), shown over everything else
	// until it ends.
	void ActivityStarted(const std::string& text);
	void ActivityEnded();

	// What the line shows now.
	const std::string& Text() const { return mShown; }

private:
	std::string _Progress() const;
	void _Show();

	Texts mTexts;
	Display mDisplay;

	bool mEditedSinceTick = false;
	bool mCountsStale = true;
	int32 mLastCaret = -1;
	EntryBlocks::Progress mProgress;
	long mCaretEntry = 0;
	std::string mCaretWarnings;

	std::string mMessage;
	int32 mMessageCaret = -1;
	std::string mActivity;
	std::string mShown;
};

#endif // STATUS_LINE_H
