#include "ZTLETextView.h"

#include <algorithm>
#include <cstring>
#include <memory>

const rgb_color ZTLETextView::Black = {0, 0, 0, 255};
const rgb_color ZTLETextView::Red = {255, 0, 0, 255};

ZTLETextView::ZTLETextView(BRect frame, const char* name, BRect textRect, uint32 resizingMode,
                           uint32 flags)
    : ZTTextView(frame, name, textRect, resizingMode, flags)
{
}

ZTLETextView::~ZTLETextView() {}

void ZTLETextView::InsertText(const char* text, int32 length, int32 offset,
                              const text_run_array* runs)
{
	BTextView::InsertText(text, length, offset, runs);
	if (length > 0 && memchr(text, ';', (size_t)length) == nullptr &&
	    memchr(text, '\n', (size_t)length) == nullptr) {
		// No comment begins or ends here: the new bytes take the colour of
		// the byte before them, and the line keeps its colours, however
		// long it is.
		const bool red = _RedBefore(offset);
		_Colour(offset, offset + length, red ? Red : Black);
	} else {
		// Whole lines: a comment wrapped over several visual lines keeps one
		// colour however it is edited.
		SyntaxHighlighting(_LineStart(offset), _LineEnd(offset + length));
	}
	if (mChangeHook)
		mChangeHook(offset);
}

void ZTLETextView::DeleteText(int32 from, int32 to)
{
	BTextView::DeleteText(from, to);
	// The bytes after the gap kept their colours; only a ';' or a line feed
	// taken out leaves them wrong, which the first of them shows: then the
	// rest of the line is coloured again from there.
	if (from < TextLength() && ByteAt(from) != '\n') {
		const bool red = ByteAt(from) == ';' || _RedBefore(from);
		rgb_color now;
		GetFontAndColor(from, nullptr, &now);
		if (now != (red ? Red : Black)) {
			int32 end = _LineEnd(from);
			if (ByteAt(end - 1) == '\n')
				end--;
			if (red)
				_Colour(from, end, Red);
			else
				_Highlight(from, end);
		}
	}
	if (mChangeHook)
		mChangeHook(from);
}

void ZTLETextView::SyntaxHighlighting(int32 start, int32 end)
{
	_Highlight(_LineStart(start), end);
}

bool ZTLETextView::_RedBefore(int32 offset)
{
	if (offset <= 0 || ByteAt(offset - 1) == '\n')
		return false;
	rgb_color before;
	GetFontAndColor(offset - 1, nullptr, &before);
	return before == Red;
}

void ZTLETextView::_Colour(int32 from, int32 to, const rgb_color& color)
{
	const bool editable = IsEditable();
	if (editable)
		MakeEditable(false);
	SetFontAndColor(from, to, nullptr, 0, &color);
	if (editable)
		MakeEditable(true);
}

void ZTLETextView::_Highlight(int32 i, int32 end)
{
	const bool editable = IsEditable();
	if (editable)
		MakeEditable(false);

	end = std::min(end, TextLength());
	if (i < end) {
		// One copy of the range instead of a lookup per byte.
		std::unique_ptr<char[]> bytes =
		    std::make_unique_for_overwrite<char[]>((size_t)(end - i) + 1);
		GetText(i, end - i, bytes.get());
		const int32 base = i;
		while (i < end) {
			int32 j = i;
			while (j < end && bytes[(size_t)(j - base)] != ';')
				j++;
			if (j > i)
				SetFontAndColor(i, j, nullptr, 0, &Black);
			i = j;
			while (i < end && bytes[(size_t)(i - base)] != '\n')
				i++;
			if (i > j)
				SetFontAndColor(j, i, nullptr, 0, &Red);
		}
	}

	if (editable)
		MakeEditable(true);
}

// Paragraph bounds are read from the bytes, in small pieces: asking the view
// for visual lines would first lay out every changed paragraph to count its
// wrapped lines, which on a large insertion costs more than the rest of it.
int32 ZTLETextView::_LineStart(int32 offset)
{
	const int32 kPiece = 256;
	char piece[kPiece + 1];
	int32 end = std::clamp<int32>(offset, 0, TextLength());
	while (end > 0) {
		const int32 from = std::max<int32>(0, end - kPiece);
		GetText(from, end - from, piece);
		for (int32 i = end - from; i > 0; i--) {
			if (piece[i - 1] == '\n')
				return from + i;
		}
		end = from;
	}
	return 0;
}

int32 ZTLETextView::_LineEnd(int32 offset)
{
	const int32 kPiece = 256;
	char piece[kPiece + 1];
	const int32 length = TextLength();
	int32 from = std::clamp<int32>(offset, 0, length);
	while (from < length) {
		const int32 count = std::min<int32>(kPiece, length - from);
		GetText(from, count, piece);
		const void* found = memchr(piece, '\n', (size_t)count);
		if (found != nullptr)
			return from + (int32)((const char*)found - piece) + 1;
		from += count;
	}
	return length;
}
