#ifndef _CHUNKED_STORE_H
#define _CHUNKED_STORE_H

#include <cstddef>
#include <cstdint>
#include <vector>

namespace BPrivate {

// Items in chunks of a fixed size: growing never moves them, nor holds
// them twice, and finding one stays a shift and a mask.
template <typename Item> class ChunkedStore
{
public:
	static constexpr int32_t kShift = 10;
	static constexpr int32_t kChunk = 1 << kShift;

	Item& operator[](int32_t index)
	{
		return mChunks[(size_t)(index >> kShift)][(size_t)(index & (kChunk - 1))];
	}
	const Item& operator[](int32_t index) const
	{
		return mChunks[(size_t)(index >> kShift)][(size_t)(index & (kChunk - 1))];
	}
	size_t size() const { return mSize; }
	void emplace_back()
	{
		if ((mSize & (kChunk - 1)) == 0) {
			// Room for a whole chunk, so that its items never move;
			// only the items in use are made (a text field has a few).
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
	std::vector<std::vector<Item>> mChunks;
	size_t mSize = 0;
};

} // namespace BPrivate

#endif // _CHUNKED_STORE_H
