// Helpers shared by the text view tests.
#ifndef _TEXT_VIEW_TEST_SUPPORT_H
#define _TEXT_VIEW_TEST_SUPPORT_H

#include <string>
#include <vector>

#include "TextView.h"

// A text view that records every call of its change hooks, together with
// the text as it stands right after the base hook ran.
class RecordingTextView : public BTextView
{
public:
	struct Call
	{
		char kind; // 'I' insert, 'D' delete
		int32 from;
		int32 to;
		std::string bytes; // inserted bytes
		std::string textAfter;
	};

	RecordingTextView(BRect frame = BRect(0, 0, 399, 299))
	    : BTextView(frame, "recording", BRect(0, 0, 399, 299), B_FOLLOW_ALL_SIDES, B_WILL_DRAW)
	{
	}

	std::string Content() const { return std::string(Text(), (size_t)TextLength()); }

	std::vector<Call> calls;

protected:
	void InsertText(const char* text, int32 length, int32 offset,
	                const text_run_array* runs) override
	{
		BTextView::InsertText(text, length, offset, runs);
		calls.push_back(
		    {'I', offset, offset + length, std::string(text, (size_t)length), Content()});
	}

	void DeleteText(int32 from, int32 to) override
	{
		BTextView::DeleteText(from, to);
		calls.push_back({'D', from, to, std::string(), Content()});
	}
};

#endif // _TEXT_VIEW_TEST_SUPPORT_H
