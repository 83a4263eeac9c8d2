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
		// A paragraph larger than a block gets a block of its own.
		Block block;
		block.capacity = std::max(kBlockSize, size);
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

} // namespace BPrivate
