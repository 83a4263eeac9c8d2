#ifndef _PARAGRAPH_BLOCKS_H
#define _PARAGRAPH_BLOCKS_H

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "ParagraphText.h"

namespace BPrivate {

// The blocks the paragraphs' bytes lie in. Bytes are added at the end
// of the newest block; a block is given back once none of its bytes
// are in use (the newest is then filled again from its start).
class ParagraphBlocks
{
public:
	// Copies a borrowed text into the blocks.
	void Keep(ParagraphText& text);
	void Release(ParagraphText& text);
	// Bytes at..at + removed of a text become inserted, where the text
	// lies, when its block holds it alone with room enough; false, with
	// nothing changed, otherwise.
	bool EditInPlace(ParagraphText& text, size_t at, size_t removed, std::string_view inserted);
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

} // namespace BPrivate

#endif // _PARAGRAPH_BLOCKS_H
