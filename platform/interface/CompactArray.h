#ifndef _COMPACT_ARRAY_H
#define _COMPACT_ARRAY_H

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>
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
	void Assign(const T* items, size_t count) { _Assign(items, count); }
	// count items from from on become the n items (which must not lie in
	// this array): the items after them move once, nothing else is copied.
	void Splice(size_t from, size_t count, const T* items, size_t n)
	{
		const size_t was = size();
		const size_t now = was - count + n;
		if (now > (mBlock != nullptr ? mBlock->capacity : 0))
			_Reserve(std::max(now, was * 2));
		if (mBlock == nullptr)
			return;
		T* at = _Items() + from;
		std::memmove(at + n, at + count, (was - from - count) * sizeof(T));
		if (n > 0)
			std::memcpy(at, items, n * sizeof(T));
		mBlock->size = (uint32_t)now;
	}

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

} // namespace BPrivate

#endif // _COMPACT_ARRAY_H
