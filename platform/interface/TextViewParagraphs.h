// The text view's own index of its paragraphs: the UTF-8 bytes of each
// paragraph, its length in document characters (UTF-16 units) and its count
// of visual lines, in a tree that sums all three. Finding the paragraph of a
// byte offset, a document position or a visual line, and replacing a run of
// paragraphs, cost O(log n); nothing here walks the whole text.
//
// Weights: every paragraph weighs text.size() + 1 bytes (its line feed, or
// the end of the text after the last one) and chars UTF-16 units (its block
// separator included), so the byte length of the text is Bytes() - 1.
#ifndef _TEXT_VIEW_PARAGRAPHS_H
#define _TEXT_VIEW_PARAGRAPHS_H

#include <cstdint>
#include <deque>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace BPrivate {

// A change of style inside a paragraph: from byte start on, style.
struct StyleRun {
	int32_t start = 0;
	uint16_t style = 0;
};

struct TextParagraph {
	std::string text;				 // UTF-8, without its line feed
	int32_t chars = 1;				 // document characters, separator included
	int32_t lines = 1;				 // visual lines, at least 1
	std::vector<int32_t> lineStarts; // byte offsets in text of visual lines 2, 3, ...
	std::vector<StyleRun> runs;		 // empty: the whole paragraph in style
	uint16_t style = 0;				 // index into the view's style table
	bool dirty = true;				 // lines need counting again
};

// Where a paragraph starts: its index and the sums of everything before it.
struct ParagraphPlace {
	int32_t index = 0;
	int64_t byte = 0;
	int64_t chr = 0;
	int64_t line = 0;
	int32_t node = -1; // valid until the next change of the index
};

class TextViewParagraphs {
public:
	TextViewParagraphs();

	int32_t Count() const;
	int64_t Bytes() const;
	int64_t Chars() const;
	int64_t Lines() const;
	int32_t DirtyCount() const;

	// The paragraph holding the byte offset / document position / visual
	// line; the value is clamped into the text first.
	ParagraphPlace FindByByte(int64_t byte) const;
	ParagraphPlace FindByChar(int64_t chr) const;
	ParagraphPlace FindByLine(int64_t line) const;
	ParagraphPlace FindByIndex(int32_t index) const;
	// The paragraph holding the byte offset, for callers that need only its
	// index, start and text: line and chr are left at -1. Long runs of
	// lookups with no change in between (a walk over a large text) are
	// served from an in-order table built for them.
	ParagraphPlace LocateByte(int64_t byte) const;

	const TextParagraph& At(int32_t index) const;
	// For changes that keep the paragraph's weights (its styles).
	TextParagraph& StyleAccess(int32_t index)
	{
		return const_cast<TextParagraph&>(At(index));
	}
	// The paragraph a Find... call just found, without a second search.
	const TextParagraph& Paragraph(const ParagraphPlace& place) const
	{
		return place.node >= 0 ? mNodes[place.node].value : At(place.index);
	}

	// Replaces count paragraphs from first by items (which may be empty).
	void Replace(int32_t first, int32_t count, std::vector<TextParagraph>&& items);
	// Everything, as one call of Replace.
	void Reset(std::vector<TextParagraph>&& items);

	// Calls count with every dirty paragraph and its index; count sets its
	// lines and lineStarts, and the paragraph is clean afterwards.
	void FlushDirty(const std::function<void(TextParagraph&, int32_t)>& count);
	void MarkAllDirty();

	// The whole text: the paragraphs joined by line feeds.
	void Collect(std::string* out) const;

private:
	struct Node {
		TextParagraph value;
		uint32_t priority = 0;
		int32_t left = -1;
		int32_t right = -1;
		int32_t size = 1;
		int64_t bytes = 0;
		int64_t chars = 0;
		int64_t lines = 0;
		int32_t dirty = 0;
	};

	int32_t _NewNode(TextParagraph&& value);
	void _FreeTree(int32_t node);
	void _Pull(int32_t node);
	int32_t _Merge(int32_t a, int32_t b);
	void _Split(int32_t node, int32_t count, int32_t* left, int32_t* right);
	int32_t _Build(std::vector<TextParagraph>&& items);
	void _Flush(int32_t node, int32_t first,
		const std::function<void(TextParagraph&, int32_t)>& count);
	void _MarkDirty(int32_t node);

	// Descends by one of the three sums; which = 0 bytes, 1 chars, 2 lines.
	ParagraphPlace _Find(int64_t value, int which) const;

	// The in-order table: built once lookups since the last change
	// outnumber a 64th of the paragraphs, so that typing never pays for it.
	bool _UseOrder() const;
	void _DropOrder()
	{
		mOrderValid = false;
		mLookups = 0;
	}
	mutable std::vector<int32_t> mOrder;  // node of each paragraph
	mutable std::vector<int64_t> mStarts; // byte offset of each paragraph
	mutable bool mOrderValid = false;
	mutable int64_t mLookups = 0;
	mutable int32_t mCursor = 0;

	// The last paragraph found: edits and the hooks look up the same one
	// many times in a row. Dropped on every change of the index.
	mutable ParagraphPlace mLast;
	mutable bool mLastValid = false;

	// A deque: growing never moves the nodes, nor holds them twice.
	std::deque<Node> mNodes;
	std::vector<int32_t> mFree;
	int32_t mRoot = -1;
	std::minstd_rand mRandom;
};

} // namespace BPrivate

#endif // _TEXT_VIEW_PARAGRAPHS_H
