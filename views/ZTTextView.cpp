#include "ZTTextView.h"

ZTTextView::ZTTextView(BRect frame, const char* name, BRect textRect, uint32 resizingMode,
                       uint32 flags)
    : BTextView(frame, name, textRect, resizingMode, flags)
{
}

ZTTextView::~ZTTextView() {}

void ZTTextView::FrameResized(float width, float height)
{
	BTextView::FrameResized(width, height);
	if (!DoesWordWrap())
		return;
	// Wrap at the visible width, whatever the scroll position.
	BRect textRect = Bounds();
	textRect.OffsetTo(B_ORIGIN);
	textRect.InsetBy(3, 3);
	SetTextRect(textRect);
}

int32 ZTTextView::NextLineOffset(int32 line)
{
	const int32 start = OffsetAt(line);
	const int32 lines = CountLines();
	for (int32 next = line + 1; next < lines; next++) {
		const int32 offset = OffsetAt(next);
		if (offset <= start)
			break;
		if (ByteAt(offset - 1) == '\n')
			return offset;
		// A soft wrap inside the same line: go on.
	}
	return TextLength();
}
