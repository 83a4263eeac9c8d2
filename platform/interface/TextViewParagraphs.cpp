#include "TextViewParagraphs.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <utility>

namespace BPrivate {

TextViewParagraphs::TextViewParagraphs() : mRandom(0x5eed)
{
	std::vector<TextParagraph> one(1);
	Reset(std::move(one));
}

template <typename Visit> void TextViewParagraphs::_InOrder(int32_t node, Visit visit) const
{
	// Without recursion, so that no tree exhausts the stack; a node's right
	// link is read before it is visited, and only its paragraph may change.
	std::vector<int32_t> stack;
	while (node >= 0 || !stack.empty()) {
		while (node >= 0) {
			stack.push_back(node);
			node = mNodes[node].left;
		}
		node = stack.back();
		stack.pop_back();
		const int32_t right = mNodes[node].right;
		visit(node);
		node = right;
	}
}

template <typename Visit>
void TextViewParagraphs::_InOrderFrom(int32_t node, int32_t first, Visit visit) const
{
	// The table lists the nodes in order: going through it asks for nodes
	// independently of each other, which the processor can fetch ahead,
	// where a walk down the tree waits for every link.
	if (mOrderValid && node >= 0) {
		const size_t end = (size_t)first + (size_t)mNodes[node].size;
		for (size_t index = (size_t)first; index < end; index++)
			visit(mOrder[index]);
		return;
	}
	_InOrder(node, visit);
}

int32_t TextViewParagraphs::Count() const
{
	return mRoot < 0 ? 0 : mNodes[mRoot].size;
}

int64_t TextViewParagraphs::Bytes() const
{
	return mRoot < 0 ? 0 : mNodes[mRoot].bytes;
}

int64_t TextViewParagraphs::Lines() const
{
	return mRoot < 0 ? 0 : mNodes[mRoot].lines;
}

int32_t TextViewParagraphs::DirtyCount() const
{
	return mRoot < 0 ? 0 : mNodes[mRoot].dirty;
}

template <TextViewParagraphs::Measure By> int64_t TextViewParagraphs::_Weight(const Node& node)
{
	if constexpr (By == Measure::kBytes)
		return node.bytes;
	else if constexpr (By == Measure::kLines)
		return node.lines;
	else
		return node.size;
}

template <TextViewParagraphs::Measure By> int64_t TextViewParagraphs::_Own(const Node& node)
{
	if constexpr (By == Measure::kBytes)
		return (int64_t)node.value.text.size() + 1;
	else if constexpr (By == Measure::kLines)
		return node.value.lines;
	else
		return 1;
}

template <TextViewParagraphs::Measure By, typename Passed>
ParagraphPlace TextViewParagraphs::_Descend(int64_t value, Passed passed) const
{
	ParagraphPlace place;
	int32_t node = mRoot;
	while (true) {
		const Node& n = mNodes[node];
		const Node* left = n.left < 0 ? nullptr : &mNodes[n.left];
		const int64_t leftWeight = left ? _Weight<By>(*left) : 0;
		if (value < leftWeight) {
			passed(node, true);
			node = n.left;
			continue;
		}
		passed(node, false);
		if (left) {
			place.index += left->size;
			place.byte += left->bytes;
			place.line += left->lines;
		}
		value -= leftWeight;
		const int64_t own = _Own<By>(n);
		if (value < own || n.right < 0) {
			place.node = node;
			return place;
		}
		value -= own;
		place.index += 1;
		place.byte += (int64_t)n.value.text.size() + 1;
		place.line += n.value.lines;
		node = n.right;
	}
}

template <TextViewParagraphs::Measure By>
ParagraphPlace TextViewParagraphs::_Find(int64_t value) const
{
	if (mRoot < 0)
		return ParagraphPlace();
	value = std::clamp<int64_t>(value, 0, _Weight<By>(mNodes[mRoot]) - 1);
	if (mLastValid) {
		const int64_t start = By == Measure::kBytes   ? mLast.byte
		                      : By == Measure::kLines ? mLast.line
		                                              : mLast.index;
		if (value >= start && value < start + _Own<By>(mNodes[mLast.node]))
			return mLast;
	}
	mLast = _Descend<By>(value);
	mLastValid = true;
	return mLast;
}

ParagraphPlace TextViewParagraphs::FindByByte(int64_t byte) const
{
	return _Find<Measure::kBytes>(byte);
}

ParagraphPlace TextViewParagraphs::FindByLine(int64_t line) const
{
	return _Find<Measure::kLines>(line);
}

ParagraphPlace TextViewParagraphs::FindByIndex(int32_t index) const
{
	return _Find<Measure::kIndex>(index);
}

bool TextViewParagraphs::_UseOrder() const
{
	if (mOrderValid)
		return true;
	if (mRoot < 0 || ++mLookups < std::max<int64_t>(mNodes[mRoot].size / 64, 256))
		return false;
	const int32_t count = mNodes[mRoot].size;
	mOrder.clear();
	mOrder.reserve((size_t)count);
	mStarts.clear();
	mStarts.reserve((size_t)count + 1);
	int64_t byte = 0;
	_InOrder(mRoot, [&](int32_t node) {
		mOrder.push_back(node);
		mStarts.push_back(byte);
		byte += (int64_t)mNodes[node].value.text.size() + 1;
	});
	mStarts.push_back(byte);
	mCursor = 0;
	mOrderValid = true;
	return true;
}

ParagraphPlace TextViewParagraphs::LocateByte(int64_t byte) const
{
	if (!_UseOrder())
		return FindByByte(byte);
	const int32_t count = (int32_t)mOrder.size();
	byte = std::clamp<int64_t>(byte, 0, mStarts[(size_t)count] - 1);
	// A walk asks for the same paragraph or one close by (the next, the
	// one after an empty line, the line feed before): those first.
	int32_t index = -1;
	for (int32_t near : {mCursor, mCursor + 1, mCursor + 2, mCursor - 1}) {
		if (near >= 0 && near < count && mStarts[(size_t)near] <= byte &&
		    byte < mStarts[(size_t)near + 1]) {
			index = near;
			break;
		}
	}
	if (index < 0) {
		index = (int32_t)(std::upper_bound(mStarts.begin(), mStarts.begin() + count, byte) -
		                  mStarts.begin()) -
		        1;
	}
	mCursor = index;
	ParagraphPlace place;
	place.index = index;
	place.byte = mStarts[(size_t)index];
	place.line = -1;
	place.node = mOrder[(size_t)index];
	return place;
}

const TextParagraph& TextViewParagraphs::At(int32_t index) const
{
	assert(mRoot >= 0);
	index = std::clamp(index, 0, mNodes[mRoot].size - 1);
	if (_UseOrder())
		return mNodes[mOrder[(size_t)index]].value;
	return mNodes[_Descend<Measure::kIndex>(index).node].value;
}

namespace {

// Items may show bytes of the index itself, which the replacement frees
// before it takes the items: their texts are copied into bytes first, and
// the items borrow them from there.
void lend_own_copies(std::vector<TextParagraph>& items, std::string& bytes)
{
	size_t total = 0;
	for (const TextParagraph& item : items)
		total += item.text.size();
	bytes.clear();
	bytes.reserve(total);
	for (const TextParagraph& item : items)
		bytes.append(item.text.View());
	size_t at = 0;
	for (TextParagraph& item : items) {
		const size_t size = item.text.size();
		item.text = ParagraphText::Borrow(std::string_view(bytes).substr(at, size));
		at += size;
	}
}

} // namespace

void TextViewParagraphs::Replace(int32_t first, int32_t count, std::vector<TextParagraph>&& items)
{
	std::string bytes;
	lend_own_copies(items, bytes);
	Replace(first, count, items.size(), [&items](size_t index, TextParagraph& paragraph) {
		paragraph = std::move(items[index]);
	});
}

void TextViewParagraphs::Replace(int32_t first, int32_t count, size_t made,
                                 const std::function<void(size_t, TextParagraph&)>& make)
{
	const int32_t total = Count();
	first = std::clamp(first, 0, total);
	count = std::clamp(count, 0, total - first);
	int32_t head = -1, rest = -1, middle = -1, tail = -1;
	_Split(mRoot, first, &head, &rest);
	_Split(rest, count, &middle, &tail);
	mLastValid = false;
	// The in-order table is brought along through a change of a large part
	// of the text (a whole file loaded or replaced), which walks follow;
	// after a small one it is simply dropped.
	const bool keepOrder = mOrderValid && (int64_t)made + count >= total / 8;
	_FreeTree(middle, first);
	if (!keepOrder)
		_DropOrder();
	std::vector<int32_t> made_nodes;
	if (keepOrder)
		made_nodes.reserve(made);
	mRoot = _Merge(_Merge(head, _Build(made, make, keepOrder ? &made_nodes : nullptr)), tail);
	if (keepOrder)
		_SpliceOrder(first, count, made_nodes);
	_CompactBlocksIfSparse();
}

bool TextViewParagraphs::EditInPlace(int32_t index, size_t at, size_t removed,
                                     std::string_view inserted,
                                     const std::function<void(TextParagraph&)>& update)
{
	if (mRoot < 0 || index < 0 || index >= Count())
		return false;
	// Down to the paragraph, keeping the way: the sums along it change.
	std::vector<int32_t> path;
	const int32_t node = _Descend<Measure::kIndex>(index, [&path](int32_t passed, bool) {
		                     path.push_back(passed);
	                     }).node;
	TextParagraph& paragraph = mNodes[node].value;
	if (!mBlocks.EditInPlace(paragraph.text, at, removed, inserted))
		return false;
	update(paragraph);
	for (auto step = path.rbegin(); step != path.rend(); ++step)
		_Pull(*step);
	mLastValid = false;
	_DropOrder();
	return true;
}

void TextViewParagraphs::_CompactBlocksIfSparse()
{
	if (mBlocks.Bytes() <= 1024 * 1024 || mBlocks.Bytes() <= 2 * mBlocks.LiveBytes())
		return;
	// The old blocks stay until every text has been copied out of them.
	const ParagraphBlocks old = std::exchange(mBlocks, ParagraphBlocks());
	_InOrderFrom(mRoot, 0, [this](int32_t node) {
		ParagraphText& text = mNodes[node].value.text;
		text.mBlock = ParagraphText::kBorrowed;
		mBlocks.Keep(text);
	});
}

void TextViewParagraphs::_SpliceOrder(int32_t first, int32_t count,
                                      const std::vector<int32_t>& made)
{
	const size_t from = (size_t)first;
	const size_t removedEnd = from + (size_t)count;
	std::vector<int32_t> order;
	order.reserve(mOrder.size() - (size_t)count + made.size());
	order.insert(order.end(), mOrder.begin(), mOrder.begin() + (ptrdiff_t)from);
	order.insert(order.end(), made.begin(), made.end());
	order.insert(order.end(), mOrder.begin() + (ptrdiff_t)removedEnd, mOrder.end());

	std::vector<int64_t> starts;
	starts.reserve(order.size() + 1);
	starts.insert(starts.end(), mStarts.begin(), mStarts.begin() + (ptrdiff_t)from + 1);
	int64_t byte = mStarts[from];
	for (int32_t node : made) {
		byte += (int64_t)mNodes[node].value.text.size() + 1;
		starts.push_back(byte);
	}
	// The paragraphs after keep their bytes: their starts move as one.
	const int64_t shift = byte - mStarts[removedEnd];
	for (size_t i = removedEnd + 1; i < mStarts.size(); i++)
		starts.push_back(mStarts[i] + shift);
	mOrder.swap(order);
	mStarts.swap(starts);
	mCursor = std::min<int32_t>(first, (int32_t)mOrder.size() - 1);
}

void TextViewParagraphs::Reset(std::vector<TextParagraph>&& items)
{
	std::string bytes;
	lend_own_copies(items, bytes);
	mLastValid = false;
	_DropOrder();
	mNodes.clear();
	mBlocks = ParagraphBlocks();
	mFree.clear();
	mRoot = _Build(
	    items.size(),
	    [&items](size_t index, TextParagraph& paragraph) { paragraph = std::move(items[index]); },
	    nullptr);
}

void TextViewParagraphs::FlushDirty(const std::function<void(TextParagraph&, int32_t)>& count)
{
	if (mRoot >= 0 && mNodes[mRoot].dirty > 0) {
		mLastValid = false;
		_Flush(mRoot, 0, count);
	}
}

void TextViewParagraphs::CopyBytes(int64_t from, int64_t count, char* out) const
{
	if (mRoot < 0 || count <= 0)
		return;
	// Copies from paragraph node on, inside bytes into it; returns false
	// once count is used up.
	auto copy = [&](int32_t node, int64_t inside) {
		const ParagraphText& text = mNodes[node].value.text;
		size_t at = (size_t)inside;
		if (at < text.size()) {
			const size_t take = (size_t)std::min<int64_t>((int64_t)(text.size() - at), count);
			memcpy(out, text.data() + at, take);
			out += take;
			count -= (int64_t)take;
			at += take;
		}
		if (count > 0 && at >= text.size()) {
			*out++ = '\n';
			count--;
		}
		return count > 0;
	};
	if (mOrderValid) {
		const ParagraphPlace place = LocateByte(from);
		int64_t inside = from - place.byte;
		for (size_t index = (size_t)place.index; index < mOrder.size(); index++) {
			if (!copy(mOrder[index], inside))
				return;
			inside = 0;
		}
		return;
	}
	// Down to the paragraph holding from; the nodes passed on the way to
	// a left child are the ones that follow it, nearest last.
	std::vector<int32_t> stack;
	stack.reserve(64);
	from = std::clamp<int64_t>(from, 0, mNodes[mRoot].bytes - 1);
	const ParagraphPlace place =
	    _Descend<Measure::kBytes>(from, [&stack](int32_t passed, bool wentLeft) {
		    if (wentLeft)
			    stack.push_back(passed);
	    });
	int32_t node = place.node;
	int64_t inside = from - place.byte;
	while (node >= 0 && copy(node, inside)) {
		inside = 0;
		if (mNodes[node].right >= 0) {
			node = mNodes[node].right;
			while (mNodes[node].left >= 0) {
				stack.push_back(node);
				node = mNodes[node].left;
			}
		} else if (!stack.empty()) {
			node = stack.back();
			stack.pop_back();
		} else {
			node = -1;
		}
	}
}

void TextViewParagraphs::Collect(std::string* out) const
{
	out->clear();
	if (mRoot < 0)
		return;
	out->reserve(mNodes[mRoot].bytes);
	bool first = true;
	_InOrderFrom(mRoot, 0, [&](int32_t node) {
		if (!first)
			out->push_back('\n');
		first = false;
		out->append(mNodes[node].value.text.View());
	});
}

void TextViewParagraphs::MarkAllDirty()
{
	mLastValid = false;
	if (mRoot >= 0)
		_MarkDirty(mRoot);
}

int32_t TextViewParagraphs::_NewNode()
{
	int32_t index;
	if (!mFree.empty()) {
		index = mFree.back();
		mFree.pop_back();
		Node& node = mNodes[index];
		node.left = node.right = -1;
		node.size = 1;
	} else {
		index = (int32_t)mNodes.size();
		mNodes.emplace_back();
	}
	mNodes[index].priority = (uint32_t)mRandom();
	return index;
}

void TextViewParagraphs::_FreeTree(int32_t node, int32_t first)
{
	// In order, which is mostly the order of the nodes in memory.
	_InOrderFrom(node, first, [this](int32_t n) {
		mBlocks.Release(mNodes[n].value.text);
		mNodes[n].value = TextParagraph();
		mFree.push_back(n);
	});
}

void TextViewParagraphs::_Pull(int32_t index)
{
	Node& n = mNodes[index];
	n.size = 1;
	n.bytes = (int64_t)n.value.text.size() + 1;
	n.lines = n.value.lines;
	n.dirty = n.value.dirty ? 1 : 0;
	for (int32_t child : {n.left, n.right}) {
		if (child < 0)
			continue;
		const Node& c = mNodes[child];
		n.size += c.size;
		n.bytes += c.bytes;
		n.lines += c.lines;
		n.dirty += c.dirty;
	}
}

int32_t TextViewParagraphs::_Merge(int32_t a, int32_t b)
{
	if (a < 0)
		return b;
	if (b < 0)
		return a;
	if (mNodes[a].priority >= mNodes[b].priority) {
		int32_t merged = _Merge(mNodes[a].right, b);
		mNodes[a].right = merged;
		_Pull(a);
		return a;
	}
	int32_t merged = _Merge(a, mNodes[b].left);
	mNodes[b].left = merged;
	_Pull(b);
	return b;
}

void TextViewParagraphs::_Split(int32_t node, int32_t count, int32_t* left, int32_t* right)
{
	if (node < 0) {
		*left = *right = -1;
		return;
	}
	const int32_t leftSize = mNodes[node].left < 0 ? 0 : mNodes[mNodes[node].left].size;
	if (count <= leftSize) {
		int32_t a, b;
		_Split(mNodes[node].left, count, &a, &b);
		mNodes[node].left = b;
		_Pull(node);
		*left = a;
		*right = node;
	} else {
		int32_t a, b;
		_Split(mNodes[node].right, count - leftSize - 1, &a, &b);
		mNodes[node].right = a;
		_Pull(node);
		*left = node;
		*right = b;
	}
}

int32_t TextViewParagraphs::_Build(size_t made,
                                   const std::function<void(size_t, TextParagraph&)>& make,
                                   std::vector<int32_t>* nodes)
{
	if (made >= 1024 && mFree.size() >= 1024) {
		// Many paragraphs at once (a whole file): take the free nodes in
		// the order they lie in, so that walks over the text in order go
		// through memory in order too, instead of jumping around.
		std::vector<bool> isFree(mNodes.size(), false);
		for (int32_t index : mFree)
			isFree[(size_t)index] = true;
		mFree.clear();
		for (size_t index = isFree.size(); index-- > 0;) {
			if (isFree[index])
				mFree.push_back((int32_t)index);
		}
	}
	// Cartesian tree over random priorities, in linear time.
	std::vector<int32_t> spine;
	for (size_t index = 0; index < made; index++) {
		// Made in place: a free node's paragraph is empty, a new one fresh.
		const int32_t node = _NewNode();
		TextParagraph& value = mNodes[node].value;
		make(index, value);
		mBlocks.Keep(value.text);
		value.lines = std::max<int32_t>(value.lines, 1);
		_Pull(node);
		if (nodes != nullptr)
			nodes->push_back(node);
		int32_t last = -1;
		while (!spine.empty() && mNodes[spine.back()].priority < mNodes[node].priority) {
			last = spine.back();
			spine.pop_back();
			_Pull(last);
		}
		mNodes[node].left = last;
		if (!spine.empty())
			mNodes[spine.back()].right = node;
		spine.push_back(node);
	}
	while (spine.size() > 1) {
		_Pull(spine.back());
		spine.pop_back();
	}
	if (spine.empty())
		return -1;
	_Pull(spine.back());
	return spine.back();
}

void TextViewParagraphs::_Flush(int32_t node, int32_t first,
                                const std::function<void(TextParagraph&, int32_t)>& count)
{
	Node& n = mNodes[node];
	if (n.dirty == 0)
		return;
	const int32_t leftSize = n.left < 0 ? 0 : mNodes[n.left].size;
	if (n.left >= 0)
		_Flush(n.left, first, count);
	if (n.right >= 0)
		_Flush(n.right, first + leftSize + 1, count);
	TextParagraph& value = mNodes[node].value;
	if (value.dirty) {
		count(value, first + leftSize);
		value.lines = std::max<int32_t>(value.lines, 1);
		value.dirty = false;
	}
	_Pull(node);
}

void TextViewParagraphs::_MarkDirty(int32_t node)
{
	Node& n = mNodes[node];
	if (n.left >= 0)
		_MarkDirty(n.left);
	if (n.right >= 0)
		_MarkDirty(mNodes[node].right);
	mNodes[node].value.dirty = true;
	_Pull(node);
}

} // namespace BPrivate
