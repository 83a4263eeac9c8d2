// The text view's own index of its paragraphs: the UTF-8 bytes of each
// paragraph, its style runs and its count of visual lines, in a tree that
// sums bytes and lines. Finding the paragraph of a byte offset or a visual
// line, and replacing a run of paragraphs, cost O(log n); nothing here walks
// the whole text.
//
// Weights: every paragraph weighs text.size() + 1 bytes (its line feed, or
// the end of the text after the last one), so the byte length of the text is
// Bytes() - 1.
#ifndef _TEXT_VIEW_PARAGRAPHS_H
#define _TEXT_VIEW_PARAGRAPHS_H

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "ChunkedStore.h"
#include "ParagraphBlocks.h"
#include "TextParagraph.h"

namespace BPrivate {

// Where a paragraph starts: its index and the sums of everything before it.
struct ParagraphPlace
{
	int32_t index = 0;
	int64_t byte = 0;
	int64_t line = 0;
	int32_t node = -1; // valid until the next change of the index
};

class TextViewParagraphs
{
public:
	TextViewParagraphs();
	TextViewParagraphs(const TextViewParagraphs&) = delete;
	TextViewParagraphs& operator=(const TextViewParagraphs&) = delete;

	int32_t Count() const;
	int64_t Bytes() const;
	int64_t Lines() const;
	int32_t DirtyCount() const;

	// The paragraph holding the byte offset / document position / visual
	// line; the value is clamped into the text first.
	ParagraphPlace FindByByte(int64_t byte) const;
	ParagraphPlace FindByLine(int64_t line) const;
	ParagraphPlace FindByIndex(int32_t index) const;
	// The paragraph holding the byte offset, for callers that need only its
	// index, start and text: line is left at -1. Long runs of
	// lookups with no change in between (a walk over a large text) are
	// served from an in-order table built for them.
	ParagraphPlace LocateByte(int64_t byte) const;

	const TextParagraph& At(int32_t index) const;
	// For changes that keep the paragraph's weights (its styles).
	TextParagraph& StyleAccess(int32_t index) { return const_cast<TextParagraph&>(At(index)); }
	// The paragraph a Find... call just found, without a second search.
	const TextParagraph& Paragraph(const ParagraphPlace& place) const
	{
		return place.node >= 0 ? mNodes[place.node].value : At(place.index);
	}

	// Replaces count paragraphs from first by items (which may be empty);
	// their texts are copied in.
	void Replace(int32_t first, int32_t count, std::vector<TextParagraph>&& items);
	// The same with made paragraphs, filled in place by make(index,
	// paragraph) in order, each starting out as a default paragraph. A text
	// make borrows needs to stay only until make is called again, and is
	// not one of the paragraphs replaced (they are gone by then).
	void Replace(int32_t first, int32_t count, size_t made,
	             const std::function<void(size_t, TextParagraph&)>& make);
	// Edits the bytes of one paragraph where they lie (bytes at..at +
	// removed become inserted, no line feed among them) when its block
	// holds it alone with room enough, then calls update with it to set
	// its styles and lines; a long paragraph being typed in is then not
	// copied per keystroke. False, with nothing changed, otherwise.
	bool EditInPlace(int32_t index, size_t at, size_t removed, std::string_view inserted,
	                 const std::function<void(TextParagraph&)>& update);
	// Everything, as one call of Replace.
	void Reset(std::vector<TextParagraph>&& items);

	// Calls count with every dirty paragraph and its index; count sets its
	// lines and lineStarts, and the paragraph is clean afterwards.
	void FlushDirty(const std::function<void(TextParagraph&, int32_t)>& count);
	void MarkAllDirty();

	// count bytes of the text from byte from on (line feeds between the
	// paragraphs), into out; the range must lie inside the text.
	void CopyBytes(int64_t from, int64_t count, char* out) const;

	// The whole text: the paragraphs joined by line feeds.
	void Collect(std::string* out) const;

	// The bytes held for the paragraphs' texts, in use or not.
	int64_t BlockBytes() const { return mBlocks.Bytes(); }

private:
	struct Node
	{
		TextParagraph value;
		uint32_t priority = 0;
		int32_t left = -1;
		int32_t right = -1;
		int32_t size = 1;
		int64_t bytes = 0;
		int64_t lines = 0;
		int32_t dirty = 0;
	};

	// Calls visit(node) for the nodes of the tree at node, in order.
	template <typename Visit> void _InOrder(int32_t node, Visit visit) const;
	// The same for the subtree of the paragraphs from index first on (as
	// the tree stood when the in-order table was last right).
	template <typename Visit> void _InOrderFrom(int32_t node, int32_t first, Visit visit) const;

	int32_t _NewNode();
	// Frees the subtree at node, the paragraphs from index first on.
	void _FreeTree(int32_t node, int32_t first);
	void _Pull(int32_t node);
	int32_t _Merge(int32_t a, int32_t b);
	void _Split(int32_t node, int32_t count, int32_t* left, int32_t* right);
	// Builds a tree of made paragraphs; their nodes in order go to nodes
	// when given.
	int32_t _Build(size_t made, const std::function<void(size_t, TextParagraph&)>& make,
	               std::vector<int32_t>* nodes);
	// The in-order table after count paragraphs from first became made.
	void _SpliceOrder(int32_t first, int32_t count, const std::vector<int32_t>& made);
	void _Flush(int32_t node, int32_t first,
	            const std::function<void(TextParagraph&, int32_t)>& count);
	void _MarkDirty(int32_t node);

	// Once the blocks (past 1 MiB) hold more than twice the bytes in use (a
	// text thinned out here and there keeps every block with a paragraph
	// left in it), the texts move into fresh blocks, in order.
	void _CompactBlocksIfSparse();
	ParagraphBlocks mBlocks;

	// What a walk down the tree counts: each node sums one of these over
	// its subtree, and a paragraph weighs its bytes (with the line feed),
	// its visual lines or one.
	enum class Measure { kBytes, kLines, kIndex };
	template <Measure By> static int64_t _Weight(const Node& node);
	template <Measure By> static int64_t _Own(const Node& node);
	// The one walk down the tree: to the paragraph holding value (in the
	// measure By, inside the text), with the sums of all before it. Calls
	// passed(node, wentLeft) for every node on the way, the one found
	// last, for callers that need the way (the sums along it, or the
	// paragraphs that follow). A paragraph of no weight is passed over,
	// except the last one.
	template <Measure By, typename Passed>
	ParagraphPlace _Descend(int64_t value, Passed passed) const;
	template <Measure By> ParagraphPlace _Descend(int64_t value) const
	{
		return _Descend<By>(value, [](int32_t, bool) {});
	}
	// The last paragraph found, when it holds value; the cached place
	// otherwise goes through a walk.
	template <Measure By> ParagraphPlace _Find(int64_t value) const;

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

	ChunkedStore<Node> mNodes;
	std::vector<int32_t> mFree;
	int32_t mRoot = -1;
	std::minstd_rand mRandom;
};

} // namespace BPrivate

#endif // _TEXT_VIEW_PARAGRAPHS_H
