#include "LocaleMerge.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>

// The load merge as a sequence of line records.
//
// The literal load searches the whole text for each entry's marker and
// counts lines from the start, which is quadratic. Here the text is a
// sequence of line records (slices of the original text or of an entry)
// held in an implicit treap, so that "the line at index i", "the index of
// this line", "insert lines at i" and "remove line i" each cost O(log n).
// Markers are found once: in the original text up front, and in each entry
// as it goes in. An insert or delete never reorders surviving lines, so the
// first occurrence of a marker is the live candidate with the smallest
// (line index, column); each candidate is looked at once, when its entry
// comes up.

namespace LocaleMerge {

namespace {

bool IsBlank(unsigned char byte)
{
	return byte <= 0x20;
}

struct LineRecord
{
	const char* data;
	uint32_t length; // bytes, without the line feed
	bool hasFeed;
	bool addedFeed; // the merge added the missing line feed of the last line
	bool alive;
};

// An implicit treap over node ids; node ids are the line records' indices.
class LineSequence
{
public:
	int32_t Count() const { return _Size(mRoot); }

	void AddNode()
	{
		Node node;
		node.priority = (uint32_t)mRandom();
		mNodes.push_back(node);
	}

	// Builds the tree for nodes [first, first + count) in order, in linear
	// time (a Cartesian tree over the random priorities).
	int32_t BuildRun(int32_t first, int32_t count)
	{
		std::vector<int32_t>& stack = mStack;
		stack.clear();
		for (int32_t id = first; id < first + count; id++) {
			int32_t last = -1;
			while (!stack.empty() && mNodes[stack.back()].priority < mNodes[id].priority) {
				last = stack.back();
				stack.pop_back();
				_Update(last);
			}
			mNodes[id].left = last;
			if (last >= 0)
				mNodes[last].parent = id;
			if (!stack.empty()) {
				mNodes[stack.back()].right = id;
				mNodes[id].parent = stack.back();
			}
			stack.push_back(id);
		}
		while (!stack.empty()) {
			_Update(stack.back());
			if (stack.size() == 1)
				break;
			stack.pop_back();
		}
		const int32_t root = stack.empty() ? -1 : stack.front();
		if (root >= 0) {
			// Sizes along the right spine were updated bottom-up above.
			mNodes[root].parent = -1;
		}
		return root;
	}

	void SetRoot(int32_t root) { mRoot = root; }

	int32_t At(int32_t index) const
	{
		int32_t node = mRoot;
		while (node >= 0) {
			const int32_t leftSize = _Size(mNodes[node].left);
			if (index < leftSize) {
				node = mNodes[node].left;
			} else if (index == leftSize) {
				return node;
			} else {
				index -= leftSize + 1;
				node = mNodes[node].right;
			}
		}
		return -1;
	}

	int32_t IndexOf(int32_t node) const
	{
		int32_t index = _Size(mNodes[node].left);
		while (mNodes[node].parent >= 0) {
			const int32_t parent = mNodes[node].parent;
			if (mNodes[parent].right == node)
				index += _Size(mNodes[parent].left) + 1;
			node = parent;
		}
		return index;
	}

	void InsertRun(int32_t index, int32_t runRoot)
	{
		int32_t before, after;
		_Split(mRoot, index, before, after);
		mRoot = _Merge(_Merge(before, runRoot), after);
		mNodes[mRoot].parent = -1;
	}

	void Erase(int32_t index)
	{
		int32_t before, rest, middle, after;
		_Split(mRoot, index, before, rest);
		_Split(rest, 1, middle, after);
		mRoot = _Merge(before, after);
		if (mRoot >= 0)
			mNodes[mRoot].parent = -1;
	}

	// Node ids in sequence order.
	std::vector<int32_t> InOrder() const
	{
		std::vector<int32_t> order;
		order.reserve((size_t)Count());
		std::vector<int32_t> stack;
		int32_t node = mRoot;
		while (node >= 0 || !stack.empty()) {
			while (node >= 0) {
				stack.push_back(node);
				node = mNodes[node].left;
			}
			node = stack.back();
			stack.pop_back();
			order.push_back(node);
			node = mNodes[node].right;
		}
		return order;
	}

private:
	struct Node
	{
		int32_t left = -1;
		int32_t right = -1;
		int32_t parent = -1;
		int32_t size = 1;
		uint32_t priority = 0;
	};

	int32_t _Size(int32_t node) const { return node < 0 ? 0 : mNodes[node].size; }

	void _Update(int32_t node)
	{
		Node& n = mNodes[node];
		n.size = 1 + _Size(n.left) + _Size(n.right);
		if (n.left >= 0)
			mNodes[n.left].parent = node;
		if (n.right >= 0)
			mNodes[n.right].parent = node;
	}

	int32_t _Merge(int32_t a, int32_t b)
	{
		if (a < 0)
			return b;
		if (b < 0)
			return a;
		if (mNodes[a].priority > mNodes[b].priority) {
			mNodes[a].right = _Merge(mNodes[a].right, b);
			_Update(a);
			return a;
		}
		mNodes[b].left = _Merge(a, mNodes[b].left);
		_Update(b);
		return b;
	}

	// The first count nodes of the tree go to before, the rest to after.
	void _Split(int32_t node, int32_t count, int32_t& before, int32_t& after)
	{
		if (node < 0) {
			before = after = -1;
			return;
		}
		const int32_t leftSize = _Size(mNodes[node].left);
		if (count <= leftSize) {
			int32_t leftAfter;
			_Split(mNodes[node].left, count, before, leftAfter);
			mNodes[node].left = leftAfter;
			_Update(node);
			after = node;
		} else {
			int32_t rightBefore;
			_Split(mNodes[node].right, count - leftSize - 1, rightBefore, after);
			mNodes[node].right = rightBefore;
			_Update(node);
			before = node;
		}
		if (before >= 0)
			mNodes[before].parent = -1;
		if (after >= 0)
			mNodes[after].parent = -1;
	}

	std::vector<Node> mNodes;
	std::vector<int32_t> mStack;
	int32_t mRoot = -1;
	std::mt19937 mRandom{0x5eed};
};

struct Occurrence
{
	int32_t line;
	uint32_t column;
	int32_t next; // next occurrence of the same marker, -1 at the end
};

// Calls found(entry, column) for every marker "; #ID<n>:" in the line with
// 1 <= n <= maxEntry. Markers cannot overlap: ';' only starts them.
template <typename Found>
void FindMarkers(const char* data, size_t length, long maxEntry, Found found)
{
	const std::string_view line(data, length);
	size_t at = line.find(kEntryMarkerStart);
	while (at != std::string_view::npos) {
		size_t digit = at + kEntryMarkerStartLength;
		long value = 0;
		size_t digits = 0;
		while (digit < length && data[digit] >= '0' && data[digit] <= '9' && digits < 12) {
			value = value * 10 + (data[digit] - '0');
			digit++;
			digits++;
		}
		if (digits > 0 && data[at + kEntryMarkerStartLength] != '0' && digit < length &&
		    data[digit] == ':' && value <= maxEntry)
			found(value, (uint32_t)at);
		at = line.find(kEntryMarkerStart, at + 1);
	}
}

} // namespace

std::string EntryMarker(long entry)
{
	return kEntryMarkerStart + std::to_string(entry) + ":";
}

namespace {

// The lines of a merge, the text's and those of every entry put in, with
// the markers found in them. Records point into the text and the entries,
// which outlive the merge; an entry's line feed is the record's own.
class LineTable
{
public:
	// Room is made for the records of the text (its line feeds counted) and
	// of an entry each, so that a large merge does not copy its table as it
	// grows.
	LineTable(std::string_view text, std::span<const std::string_view> entries)
	    : mEntries(entries), mEntryCount((long)entries.size())
	{
		mFirstOccurrence.assign((size_t)mEntryCount + 1, -1);
		const size_t textLines = (size_t)std::count(text.begin(), text.end(), '\n') + 1;
		lines.reserve(textLines + (size_t)mEntryCount);
		mOccurrences.reserve((size_t)mEntryCount);
	}

	long EntryCount() const { return mEntryCount; }
	size_t ReservedLines() const { return lines.capacity(); }

	// Splits data into line records, calling added(id) for each, and notes
	// the markers of entries from firstEntry on. Every line of an entry
	// ends with a line feed, its last one too (even when empty).
	template <typename Added>
	void AddLines(const char* data, size_t length, long firstEntry, bool entry, Added added)
	{
		size_t start = 0;
		while (start < length || (entry && start == length)) {
			const char* feed = (const char*)memchr(data + start, '\n', length - start);
			const size_t end = feed == nullptr ? length : (size_t)(feed - data);
			const int32_t id = (int32_t)lines.size();
			lines.push_back(
			    {data + start, (uint32_t)(end - start), entry || feed != nullptr, false, true});
			added(id);
			FindMarkers(
			    data + start, end - start, mEntryCount, [&](long entryFound, uint32_t column) {
				    if (entryFound >= firstEntry) {
					    mOccurrences.push_back({id, column, mFirstOccurrence[(size_t)entryFound]});
					    mFirstOccurrence[(size_t)entryFound] = (int32_t)mOccurrences.size() - 1;
				    }
			    });
			if (feed == nullptr)
				break;
			start = end + 1;
		}
	}

	// Entry k (from 1) with its line feed, split into lines; an entry may
	// itself hold markers, which only later entries look for.
	template <typename Added> void AddEntry(long k, Added added)
	{
		const std::string_view entry = mEntries[(size_t)k - 1];
		AddLines(entry.data(), entry.size(), k + 1, true, added);
	}

	// The line index of the first live occurrence of entry k's marker (the
	// smallest index, then column), with indexOf(line) telling where a line
	// stands now; -1 when there is none.
	template <typename IndexOf> int64_t FirstOccurrence(long k, IndexOf indexOf) const
	{
		int64_t bestIndex = -1;
		uint32_t bestColumn = 0;
		for (int32_t at = mFirstOccurrence[(size_t)k]; at >= 0;
		     at = mOccurrences[(size_t)at].next) {
			const Occurrence& occurrence = mOccurrences[(size_t)at];
			if (!lines[(size_t)occurrence.line].alive)
				continue;
			const int64_t index = indexOf(occurrence.line);
			if (bestIndex < 0 || index < bestIndex ||
			    (index == bestIndex && occurrence.column < bestColumn)) {
				bestIndex = index;
				bestColumn = occurrence.column;
			}
		}
		return bestIndex;
	}

	// Whether an entry placed on this line replaces it: a translation that
	// starts in the first column, or, for an entry placed by its marker, a
	// blank line (the slot the reference left for it).
	bool IsReplaced(int32_t id, bool byMarker) const
	{
		const LineRecord& line = lines[(size_t)id];
		if (line.length == 0)
			return byMarker;
		const unsigned char first = (unsigned char)line.data[0];
		if (!IsBlank(first))
			return first != ';';
		if (!byMarker)
			return false;
		for (uint32_t i = 1; i < line.length; i++) {
			if (!IsBlank((unsigned char)line.data[i]))
				return false;
		}
		return true;
	}

	// The lines forEach(visit) visits, in the order it visits them, joined.
	template <typename ForEach> std::string Join(ForEach forEach) const
	{
		size_t size = 0;
		forEach([&](int32_t id) {
			const LineRecord& line = lines[(size_t)id];
			size += line.length + (line.hasFeed || line.addedFeed ? 1 : 0);
		});
		std::string joined;
		joined.reserve(size);
		forEach([&](int32_t id) {
			const LineRecord& line = lines[(size_t)id];
			joined.append(line.data, line.length);
			if (line.hasFeed || line.addedFeed)
				joined += '\n';
		});
		return joined;
	}

	std::vector<LineRecord> lines;

private:
	std::span<const std::string_view> mEntries;
	long mEntryCount;
	// Occurrences of each entry's marker, as lists threaded through one
	// array (most entries have one occurrence, many none).
	std::vector<Occurrence> mOccurrences;
	std::vector<int32_t> mFirstOccurrence;
};

std::vector<std::string_view> Views(const std::vector<std::string>& entries)
{
	return std::vector<std::string_view>(entries.begin(), entries.end());
}

} // namespace

namespace Detail {

bool MergeEntriesInOrder(std::string_view text, std::span<const std::string_view> entries,
                         std::string* merged)
{
	LineTable table(text, entries);
	if (table.EntryCount() == 0) {
		merged->assign(text);
		return true;
	}
	std::vector<LineRecord>& lines = table.lines;

	// The text as two parts: the lines passed (done, final from then on)
	// and the original lines not reached yet (from front on). Every entry
	// goes in at the border, after the passage has moved up to its place;
	// an entry that would go above the border ends this pass.
	std::vector<int32_t> done;
	std::vector<int32_t> position; // of each line in done, or -1
	position.reserve(table.ReservedLines());
	table.AddLines(text.data(), text.size(), 1, false, [&](int32_t) { position.push_back(-1); });
	const int32_t originalCount = (int32_t)lines.size();
	done.reserve((size_t)originalCount + (size_t)table.EntryCount());
	int32_t front = 0;
	auto pass = [&](int64_t upTo) { // moves the border to position upTo
		while ((int64_t)done.size() < upTo) {
			position[(size_t)front] = (int32_t)done.size();
			done.push_back(front++);
		}
	};

	int64_t lineV = 0;
	for (long k = 1; k <= table.EntryCount(); k++) {
		const int64_t best = table.FirstOccurrence(k, [&](int32_t line) {
			return position[(size_t)line] >= 0 ? (int64_t)position[(size_t)line]
			                                   : (int64_t)done.size() + (line - front);
		});
		if (best >= 0)
			lineV = best + 1;

		const int64_t count = (int64_t)done.size() + (originalCount - front);
		const int64_t target = lineV + 1;
		int64_t insertAt;
		if (target < count) {
			insertAt = target;
			if (insertAt < (int64_t)done.size())
				return false; // above the border: the general merge takes it
			pass(insertAt);
			if (table.IsReplaced(front, best >= 0)) {
				lines[(size_t)front].alive = false;
				front++;
			}
		} else {
			insertAt = count;
			pass(count);
			if (count > 0 && !lines[(size_t)done.back()].hasFeed)
				lines[(size_t)done.back()].addedFeed = true;
		}
		table.AddEntry(k, [&](int32_t id) {
			position.push_back((int32_t)done.size());
			done.push_back(id);
		});
		lineV = insertAt + 1;
	}

	*merged = table.Join([&](auto visit) {
		for (int32_t id : done)
			visit(id);
		for (int32_t id = front; id < originalCount; id++)
			visit(id);
	});
	return true;
}

std::string MergeEntriesInTree(std::string_view text, std::span<const std::string_view> entries)
{
	LineTable table(text, entries);
	if (table.EntryCount() == 0)
		return std::string(text);
	std::vector<LineRecord>& lines = table.lines;

	LineSequence sequence;
	// The records added since first, as a tree to insert.
	auto runFrom = [&](int32_t first) {
		return sequence.BuildRun(first, (int32_t)lines.size() - first);
	};
	table.AddLines(text.data(), text.size(), 1, false, [&](int32_t) { sequence.AddNode(); });
	sequence.SetRoot(runFrom(0));

	// V of the load: the line index the next entry is placed after.
	int64_t lineV = 0;
	for (long k = 1; k <= table.EntryCount(); k++) {
		const int64_t best =
		    table.FirstOccurrence(k, [&](int32_t line) { return sequence.IndexOf(line); });
		if (best >= 0)
			lineV = best + 1;

		const int32_t count = sequence.Count();
		const int64_t target = lineV + 1;
		int32_t insertAt;
		if (target < count) {
			insertAt = (int32_t)target;
			const int32_t node = sequence.At(insertAt);
			if (table.IsReplaced(node, best >= 0)) {
				sequence.Erase(insertAt);
				lines[(size_t)node].alive = false;
			}
		} else {
			// At the end of the text. A last line without its line feed
			// gets one, as if the text had ended with it.
			insertAt = count;
			if (count > 0) {
				LineRecord& last = lines[(size_t)sequence.At(count - 1)];
				if (!last.hasFeed)
					last.addedFeed = true;
			}
		}
		const int32_t first = (int32_t)lines.size();
		table.AddEntry(k, [&](int32_t) { sequence.AddNode(); });
		sequence.InsertRun(insertAt, runFrom(first));
		lineV = (int64_t)insertAt + 1;
	}

	const std::vector<int32_t> order = sequence.InOrder();
	return table.Join([&](auto visit) {
		for (int32_t node : order)
			visit(node);
	});
}

bool MergeEntriesInOrder(std::string_view text, const std::vector<std::string>& entries,
                         std::string* merged)
{
	return MergeEntriesInOrder(text, Views(entries), merged);
}

std::string MergeEntriesInTree(std::string_view text, const std::vector<std::string>& entries)
{
	return MergeEntriesInTree(text, Views(entries));
}

} // namespace Detail

std::string MergeEntries(std::string_view text, const std::vector<std::string>& entries)
{
	return MergeEntries(text, Views(entries));
}

std::string MergeEntries(std::string_view text, std::span<const std::string_view> entries)
{
	// Texts whose markers come in the order of their entries, as every
	// locale text made by the editor, take one pass; others the general
	// merge.
	std::string merged;
	if (Detail::MergeEntriesInOrder(text, entries, &merged))
		return merged;
	return Detail::MergeEntriesInTree(text, entries);
}

} // namespace LocaleMerge
