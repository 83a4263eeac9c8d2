#include "ParagraphBlocks.h"

#include <algorithm>
#include <cstring>

namespace BPrivate {

void ParagraphBlocks::Keep(ParagraphText& text)
{
	if (text.mBlock != ParagraphText::kBorrowed)
		return;
	if (text.mSize == 0) {
		text = ParagraphText();
		return;
	}
	const uint32_t size = text.mSize;
	if (mNewest == ParagraphText::kBorrowed ||
	    mBlocks[mNewest].capacity - mBlocks[mNewest].used < size) {
		// The newest block, once emptied, goes back rather than staying
		// behind unused until the blocks are compacted.
		if (mNewest != ParagraphText::kBorrowed && mBlocks[mNewest].live == 0) {
			mBytes -= mBlocks[mNewest].capacity;
			mBlocks[mNewest] = Block();
			mEmpty.push_back(mNewest);
		}
		// A paragraph larger than a block gets a block of its own, with
		// room to grow: a long paragraph being typed in is copied back into
		// the block it came from, without a new allocation per keystroke.
		Block block;
		block.capacity = size > kBlockSize ? size + size / 16 : kBlockSize;
		block.bytes.reset(new char[block.capacity]);
		mBytes += block.capacity;
		if (!mEmpty.empty()) {
			mNewest = mEmpty.back();
			mEmpty.pop_back();
			mBlocks[mNewest] = std::move(block);
		} else {
			mNewest = (uint32_t)mBlocks.size();
			mBlocks.push_back(std::move(block));
		}
	}
	Block& block = mBlocks[mNewest];
	char* bytes = block.bytes.get() + block.used;
	memcpy(bytes, text.mData, size);
	block.used += size;
	block.live += size;
	mLiveBytes += size;
	text.mData = bytes;
	text.mBlock = mNewest;
}

void ParagraphBlocks::Release(ParagraphText& text)
{
	if (text.mBlock != ParagraphText::kBorrowed) {
		Block& block = mBlocks[text.mBlock];
		block.live -= text.mSize;
		mLiveBytes -= text.mSize;
		if (block.live == 0) {
			if (text.mBlock == mNewest) {
				block.used = 0;
			} else {
				mBytes -= block.capacity;
				block = Block();
				mEmpty.push_back(text.mBlock);
			}
		}
	}
	text = ParagraphText();
}

bool ParagraphBlocks::EditInPlace(ParagraphText& text, size_t at, size_t removed,
                                  std::string_view inserted)
{
	if (text.mBlock == ParagraphText::kBorrowed || at + removed > text.mSize)
		return false;
	Block& block = mBlocks[text.mBlock];
	const size_t size = text.mSize - removed + inserted.size();
	if (block.live != text.mSize || text.mData != block.bytes.get() || size > block.capacity)
		return false;
	char* bytes = block.bytes.get();
	memmove(bytes + at + inserted.size(), bytes + at + removed, text.mSize - at - removed);
	memcpy(bytes + at, inserted.data(), inserted.size());
	mLiveBytes += (int64_t)size - (int64_t)text.mSize;
	block.used = block.live = (uint32_t)size;
	text.mSize = (uint32_t)size;
	return true;
}

} // namespace BPrivate
