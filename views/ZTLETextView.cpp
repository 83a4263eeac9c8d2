#include "ZTLETextView.h"

#include <algorithm>
#include <vector>

const rgb_color ZTLETextView::Black = {0, 0, 0, 255};
const rgb_color ZTLETextView::Red = {255, 0, 0, 255};


ZTLETextView::ZTLETextView(BRect frame, const char* name, BRect textRect, uint32 resizingMode,
	uint32 flags)
	:
	ZTTextView(frame, name, textRect, resizingMode, flags)
{
}


ZTLETextView::~ZTLETextView()
{
}


void
ZTLETextView::InsertText(const char* text, int32 length, int32 offset,
	const text_run_array* runs)
{
	BTextView::InsertText(text, length, offset, runs);
	// Whole lines: a comment wrapped over several visual lines keeps one
	// colour however it is edited.
	SyntaxHighlighting(_LineStart(offset), _LineEnd(offset + length));
}


void
ZTLETextView::DeleteText(int32 from, int32 to)
{
	BTextView::DeleteText(from, to);
	SyntaxHighlighting(_LineStart(from), _LineEnd(from));
}


void
ZTLETextView::SyntaxHighlighting(int32 start, int32 end)
{
	const bool editable = IsEditable();
	if (editable)
		MakeEditable(false);

	int32 i = _LineStart(start);
	end = std::min(end, TextLength());
	if (i < end) {
		// One copy of the range instead of a lookup per byte.
		std::vector<char> bytes((size_t)(end - i) + 1);
		GetText(i, end - i, bytes.data());
		const int32 base = i;
		while (i < end) {
			int32 j = i;
			while (j < end && bytes[(size_t)(j - base)] != ';')
				j++;
			if (j > i)
				SetFontAndColor(i, j, NULL, 0, &Black);
			i = j;
			while (i < end && bytes[(size_t)(i - base)] != '\n')
				i++;
			if (i > j)
				SetFontAndColor(j, i, NULL, 0, &Red);
		}
	}

	if (editable)
		MakeEditable(true);
}


int32
ZTLETextView::_LineStart(int32 offset)
{
	int32 line = LineAt(offset);
	while (line > 0) {
		const int32 start = OffsetAt(line);
		if (start == 0 || ByteAt(start - 1) == '\n')
			return start;
		line--;
	}
	return 0;
}


int32
ZTLETextView::_LineEnd(int32 offset)
{
	return NextLineOffset(LineAt(offset));
}
