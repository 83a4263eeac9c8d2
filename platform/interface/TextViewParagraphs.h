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
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <new>
#include <random>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace BPrivate {

// An array of plain values that costs one pointer while empty, as most
// paragraphs' line starts and style runs are.
template <typename T> class CompactArray
{
	static_assert(std::is_trivially_copyable_v<T>);

public:
	CompactArray() = default;
	CompactArray(const CompactArray& other) { _Assign(other.begin(), other.size()); }
	CompactArray(CompactArray&& other) noexcept : mBlock(other.mBlock) { other.mBlock = nullptr; }
	~CompactArray() { std::free(mBlock); }
	CompactArray& operator=(const CompactArray& other)
	{
		if (this != &other)
			_Assign(other.begin(), other.size());
		return *this;
	}
	CompactArray& operator=(CompactArray&& other) noexcept
	{
		std::swap(mBlock, other.mBlock);
		return *this;
	}
	CompactArray& operator=(const std::vector<T>& items)
	{
		_Assign(items.data(), items.size());
		return *this;
	}

	size_t size() const { return mBlock != nullptr ? mBlock->size : 0; }
	bool empty() const { return size() == 0; }
	const T* begin() const { return mBlock != nullptr ? _Items() : nullptr; }
	const T* end() const { return begin() + size(); }
	const T& operator[](size_t index) const { return _Items()[index]; }
	T& operator[](size_t index) { return _Items()[index]; }
	const T& front() const { return _Items()[0]; }
	const T& back() const { return _Items()[size() - 1]; }
	void clear()
	{
		std::free(mBlock);
		mBlock = nullptr;
	}
	void push_back(const T& item)
	{
		const size_t count = size();
		if (mBlock == nullptr || count == mBlock->capacity)
			_Reserve(count < 4 ? 4 : count * 2);
		_Items()[count] = item;
		mBlock->size = (uint32_t)(count + 1);
	}
	std::vector<T> ToVector() const { return std::vector<T>(begin(), end()); }

private:
	struct Block
	{
		uint32_t size;
		uint32_t capacity;
	};
	static constexpr size_t kItems = (sizeof(Block) + alignof(T) - 1) / alignof(T) * alignof(T);

	T* _Items() const { return reinterpret_cast<T*>(reinterpret_cast<char*>(mBlock) + kItems); }
	void _Reserve(size_t capacity)
	{
		const size_t count = size();
		void* grown = std::realloc(mBlock, kItems + capacity * sizeof(T));
		if (grown == nullptr)
			throw std::bad_alloc();
		mBlock = static_cast<Block*>(grown);
		mBlock->size = (uint32_t)count;
		mBlock->capacity = (uint32_t)capacity;
	}
	void _Assign(const T* items, size_t count)
	{
		clear();
		if (count == 0)
			return;
		_Reserve(count);
		std::memcpy(_Items(), items, count * sizeof(T));
		mBlock->size = (uint32_t)count;
	}

	Block* mBlock = nullptr;
};

// A change of style inside a paragraph: from byte start on, style.
struct StyleRun
{
	int32_t start = 0;
	uint16_t style = 0;
};

// The UTF-8 bytes of a paragraph. Inside the index they lie in its blocks
// (see TextViewParagraphs), in the order they were made, so that a walk over
// the text reads memory in order and replacing a whole text costs no
// allocation per paragraph. A paragraph being made may borrow bytes
// (Borrow); the index copies them into its blocks as it takes the
// paragraph. Copies of a text are views of the same bytes.
class ParagraphText
{
public:
	ParagraphText() = default;
	// A view of bytes the caller keeps until the index has taken them.
	static ParagraphText Borrow(std::string_view bytes)
	{
		ParagraphText text;
		text.mData = bytes.data();
		text.mSize = (uint32_t)bytes.size();
		return text;
	}

	size_t size() const { return mSize; }
	bool empty() const { return mSize == 0; }
	const char* data() const { return mData; }
	std::string_view View() const { return std::string_view(mData, mSize); }
	operator std::string_view() const { return View(); }

private:
	friend class TextViewParagraphs;
	static constexpr uint32_t kBorrowed = UINT32_MAX;

	const char* mData = "";
	uint32_t mSize = 0;
	uint32_t mBlock = kBorrowed; // or the index's block holding the bytes
};

struct TextParagraph
{
	ParagraphText text;               // UTF-8, without its line feed
	CompactArray<int32_t> lineStarts; // byte offsets in text of visual lines 2, 3, ...
	CompactArray<StyleRun> runs;      // empty: the whole paragraph in style
	int32_t lines = 1;                // visual lines, at least 1
	uint16_t style = 0;               // index into the view's style table
	bool dirty = true;                // lines need counting again
};

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

	// The blocks the paragraphs' bytes lie in. Bytes are added at the end
	// of the newest block; a block is given back once none of its bytes
	// are in use (the newest is then filled again from its start).
	class TextBlocks
	{
	public:
		// Copies a borrowed text into the blocks.
		void Keep(ParagraphText& text);
		void Release(ParagraphText& text);
		int64_t Bytes() const { return mBytes; }
		int64_t LiveBytes() const { return mLiveBytes; }

	private:
		struct Block
		{
			std::unique_ptr<char[]> bytes;
			uint32_t capacity = 0;
			uint32_t used = 0;
			uint32_t live = 0;
		};
		static constexpr uint32_t kBlockSize = 64 * 1024;

		std::vector<Block> mBlocks;
		std::vector<uint32_t> mEmpty; // entries of mBlocks without bytes
		uint32_t mNewest = ParagraphText::kBorrowed;
		int64_t mBytes = 0;     // capacity of the blocks
		int64_t mLiveBytes = 0; // bytes in use
	};
	// Once the blocks (past 1 MiB) hold more than twice the bytes in use (a
	// text thinned out here and there keeps every block with a paragraph
	// left in it), the texts move into fresh blocks, in order.
	void _CompactBlocksIfSparse();
	TextBlocks mBlocks;

	// Descends by one of the two sums; which = 0 bytes, 2 lines.
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

	// Nodes in chunks of a fixed size: growing never moves them, nor holds
	// them twice, and finding one stays a shift and a mask.
	class NodeStore
	{
	public:
		static constexpr int32_t kShift = 10;
		static constexpr int32_t kChunk = 1 << kShift;

		Node& operator[](int32_t index)
		{
			return mChunks[(size_t)(index >> kShift)][(size_t)(index & (kChunk - 1))];
		}
		const Node& operator[](int32_t index) const
		{
			return mChunks[(size_t)(index >> kShift)][(size_t)(index & (kChunk - 1))];
		}
		size_t size() const { return mSize; }
		void emplace_back()
		{
			if ((mSize & (kChunk - 1)) == 0) {
				// Room for a whole chunk, so that its nodes never move;
				// only the nodes in use are made (a text field has a few).
				mChunks.emplace_back();
				mChunks.back().reserve(kChunk);
			}
			mChunks.back().emplace_back();
			mSize++;
		}
		void clear()
		{
			mChunks.clear();
			mSize = 0;
		}

	private:
		std::vector<std::vector<Node>> mChunks;
		size_t mSize = 0;
	};
	NodeStore mNodes;
	std::vector<int32_t> mFree;
	int32_t mRoot = -1;
	std::minstd_rand mRandom;
};

} // namespace BPrivate

#endif // _TEXT_VIEW_PARAGRAPHS_H
