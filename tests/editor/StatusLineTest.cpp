// The status line's rules, without a window: what each event makes it show,
// what gives way to what, and what a tick asks the window to read.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "InterfaceTexts.h"
#include "StatusLine.h"

namespace {

EntryBlocks::Progress Counts(bool markers, int32 entries, int32 translated, int32 warnings)
{
	EntryBlocks::Progress progress;
	progress.markers = markers;
	progress.counts.entries = entries;
	progress.counts.translated = translated;
	progress.counts.warnings = warnings;
	return progress;
}

const std::string kDot = " \xc2\xb7 ";
const std::string kProgress = "1 of 3 translated" + kDot + "0 warnings" + kDot + "entry 2";

// A line counted over three entries with the caret (at 10) in entry 2.
struct Line
{
	Line()
	    : status([](InterfaceText text) { return mText[text]; },
	             [this](const std::string& text) { displayed.push_back(text); })
	{
		status.Counted(Counts(true, 3, 1, 0));
		status.EntryAt(10, 2, "");
	}

	std::vector<std::string> displayed;
	StatusLine status;
};

} // namespace

TEST(StatusLine, WhatItShowsAfterEachRunOfEvents)
{
	using S = StatusLine;
	struct Case
	{
		const char* what;
		std::function<void(S&)> events;
		std::string shown;
	} cases[] = {
	    {"the progress", [](S&) {}, kProgress},
	    {"the caret's warnings", [](S& s) { s.EntryAt(10, 2, "%s missing"); },
	     kProgress + ": %s missing"},
	    {"no entry at the caret", [](S& s) { s.EntryAt(0, 0, ""); },
	     "1 of 3 translated" + kDot + "0 warnings"},
	    {"a text without markers", [](S& s) { s.Counted(Counts(false, 3, 0, 0)); }, "3 entries"},
	    {"a message", [](S& s) { s.ShowMessage("Saved x"); }, "Saved x"},
	    {"an empty message ends one",
	     [](S& s) {
		     s.ShowMessage("Saved x");
		     s.ShowMessage("");
	     },
	     kProgress},
	    {"a message gives way to an edit",
	     [](S& s) {
		     s.ShowMessage("Saved x");
		     s.TextEdited();
	     },
	     kProgress},
	    {"a message stays while the caret stays where it was given",
	     [](S& s) {
		     s.ShowMessage("Found");
		     s.Tick(40);
		     s.Tick(40);
	     },
	     "Found"},
	    {"a message gives way when the caret leaves",
	     [](S& s) {
		     s.ShowMessage("Found");
		     s.Tick(40);
		     s.Tick(41);
	     },
	     kProgress},
	    {"a newer message replaces an older",
	     [](S& s) {
		     s.ShowMessage("Found");
		     s.Tick(40);
		     s.ShowMessage("Not found");
		     s.Tick(41);
	     },
	     "Not found"},
	    {"the activity over a message",
	     [](S& s) {
		     s.ShowMessage("Saved x");
		     s.ActivityStarted("Asking Peer…");
	     },
	     "Asking Peer…"},
	    {"the activity outlives edits, moves and messages",
	     [](S& s) {
		     s.ActivityStarted("Asking Peer…");
		     s.TextEdited();
		     s.Tick(3);
		     s.ShowMessage("Found");
		     s.Tick(4);
	     },
	     "Asking Peer…"},
	    {"what the activity covered shows when it ends",
	     [](S& s) {
		     s.ShowMessage("Saved x");
		     s.ActivityStarted("Asking Peer…");
		     s.ActivityEnded();
	     },
	     "Saved x"},
	};
	for (const Case& test : cases) {
		SCOPED_TRACE(test.what);
		Line line;
		test.events(line.status);
		EXPECT_EQ(line.status.Text(), test.shown);
		ASSERT_FALSE(line.displayed.empty());
		EXPECT_EQ(line.displayed.back(), test.shown) << "the display is told";
	}
}

TEST(StatusLine, ATickAsksTheWindowToReadOnlyWhatMayHaveChanged)
{
	using S = StatusLine;
	struct Case
	{
		const char* what;
		std::function<void(S&)> events;
		int32 caret;
		S::Work work;
	} cases[] = {
	    {"nothing happened", [](S&) {}, 10, S::kNothing},
	    {"the caret moved", [](S&) {}, 11, S::kCaretMoved},
	    {"the caret was put where it already was", [](S& s) { s.CaretPut(); }, 10, S::kCaretMoved},
	    {"keys were typed",
	     [](S& s) {
		     s.TextEdited();
		     s.TextEdited();
	     },
	     10, S::kTyping},
	    {"the text rested a tick after typing",
	     [](S& s) {
		     s.TextEdited();
		     s.Tick(10);
	     },
	     10, S::kRested},
	    {"typing goes on",
	     [](S& s) {
		     s.TextEdited();
		     s.Tick(10);
		     s.TextEdited();
	     },
	     11, S::kTyping},
	    {"counted after resting",
	     [](S& s) {
		     s.TextEdited();
		     s.Tick(10);
		     s.Counted(Counts(true, 3, 2, 0));
	     },
	     10, S::kNothing},
	    {"counted while typing, as a full update does",
	     [](S& s) {
		     s.TextEdited();
		     s.Counted(Counts(true, 3, 2, 0));
	     },
	     10, S::kNothing},
	    {"a message does not need the text",
	     [](S& s) {
		     s.ShowMessage("Found");
		     s.ActivityStarted("Asking Peer…");
	     },
	     10, S::kNothing},
	};
	for (const Case& test : cases) {
		SCOPED_TRACE(test.what);
		Line line;
		test.events(line.status);
		EXPECT_EQ(line.status.Tick(test.caret), test.work);
	}

	// A line never counted reads the text at its first tick.
	StatusLine fresh([](InterfaceText text) { return mText[text]; }, nullptr);
	EXPECT_EQ(fresh.Tick(0), S::kRested);
}
